// The interface texts of the three windows in Hungarian and English.
#pragma once

#include "game/vars.h"
#include "ui/shell.h"

namespace gombocok {

// Sets every language-dependent caption of the three windows from `programnyelv`; a value
// outside the four language words changes nothing.
void szovegkez(Vars& vars, Shell& shell);

}  // namespace gombocok
