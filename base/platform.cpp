#include "base/platform.h"

namespace gombocok {

std::string programFile(Platform& platform, const std::string& name) {
    return platform.programDirectory() + "/" + name;
}

}  // namespace gombocok
