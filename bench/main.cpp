// The benchmark program: `gombocok_bench <part> [arguments]` runs one part and prints its
// figures. Parts: core; startup <program> <directory> <runs>.
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "bench/bench.h"

int main(int argc, char** argv) {
    using namespace gombocok::bench;
    Report report;
    try {
        const std::string part = argc > 1 ? argv[1] : "core";
        if (part == "core") {
            coreSpeed(report);
        } else if (part == "startup" && argc == 5) {
            startup(report, argv[2], argv[3], std::atoi(argv[4]));
        } else {
            std::cerr << "usage: gombocok_bench core | startup <program> <directory> <runs>\n";
            return 2;
        }
    } catch (const std::exception& e) {
        std::cerr << "bench failed: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
