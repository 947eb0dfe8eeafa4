#include "ui/splash.h"

namespace gombocok {

Splash::Splash(Vars& vars, SplashForm& form, Shell& shell) : v(vars), f(form), shell(shell) {}

void Splash::Form_Load() {}
void Splash::cimscroll_Timer() {}
void Splash::zeneindit_Timer() {}
void Splash::hkep_Click() {}
void Splash::mozgat() {}

}  // namespace gombocok
