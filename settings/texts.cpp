#include "settings/texts.h"

namespace gombocok {

void szovegkez(Vars&, Shell&) {}

}  // namespace gombocok
