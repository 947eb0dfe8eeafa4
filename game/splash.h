// The rules of the title screen `splash`.
#pragma once

#include "base/forms.h"
#include "base/shell.h"
#include "base/vars.h"

namespace gombocok {

class Splash {
public:
    Splash(Vars& vars, SplashForm& form, Shell& shell);

    void Form_Load();
    void cimscroll_Timer();
    void zeneindit_Timer();
    void hkep_Click();
    // Appends the four blits that draw the UFO and the spacecraft at their current places onto
    // the title picture (what the title screen's procedure `mozgat` does).
    void drawSprites();

private:
    Vars& v;
    SplashForm& f;
    Shell& shell;
};

}  // namespace gombocok
