// The rules of the title screen `splash`.
#pragma once

#include "game/vars.h"
#include "ui/forms.h"
#include "ui/shell.h"

namespace gombocok {

class Splash {
public:
    Splash(Vars& vars, SplashForm& form, Shell& shell);

    void Form_Load();
    void cimscroll_Timer();
    void zeneindit_Timer();
    void hkep_Click();
    void mozgat();

private:
    Vars& v;
    SplashForm& f;
    Shell& shell;
};

}  // namespace gombocok
