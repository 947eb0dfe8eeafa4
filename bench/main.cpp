// The benchmark program: `gombocok_bench <part>...` runs the named parts and prints their
// figures; without arguments it runs those that need no display.
#include <cstring>
#include <exception>
#include <iostream>

#include "bench/bench.h"

int main(int argc, char** argv) {
    using namespace gombocok::bench;
    Report report;
    try {
        for (int k = 1; k < argc; ++k) {
            if (!std::strcmp(argv[k], "core"))
                coreSpeed(report);
            else {
                std::cerr << "unknown part: " << argv[k] << "\n";
                return 2;
            }
        }
        if (argc == 1) coreSpeed(report);
    } catch (const std::exception& e) {
        std::cerr << "bench failed: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
