// The benchmark program: `gombocok_bench <part> [arguments]` runs one part and prints its
// figures. Parts: core; frame; timers [seconds]; sound pulse|pipewire <monitor source> <plays>
// [jingle]; resampling <sound directory>;
// keys <window> <presses>; startup <program> <directory> <runs>.
#include <QApplication>
#include <QFont>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>
#include <string>

#include "bench/bench.h"

int main(int argc, char** argv) {
    using namespace gombocok::bench;
    Report report;
    const std::string part = argc > 1 ? argv[1] : "core";
    // The Qt parts need an application (and a display or the offscreen platform); the others not.
    std::unique_ptr<QApplication> app;
    if (part == "frame" || part == "timers" || part == "sound") {
        app = std::make_unique<QApplication>(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));
    }
    try {
        if (part == "core") {
            coreSpeed(report);
        } else if (part == "frame") {
            frameCost(report);
        } else if (part == "timers") {
            realTimers(report, argc > 2 ? std::atoi(argv[2]) : 10);
        } else if (part == "sound" && (argc == 5 || argc == 6)) {
            soundLatency(report, argv[2], argv[3], std::atoi(argv[4]), argc == 6 ? argv[5] : "");
        } else if (part == "resampling" && argc == 3) {
            resampling(report, argv[2]);
        } else if (part == "keys" && argc == 4) {
            keyLatency(report, std::stoul(argv[2]), std::atoi(argv[3]));
        } else if (part == "startup" && argc == 5) {
            startup(report, argv[2], argv[3], std::atoi(argv[4]));
        } else {
            std::cerr
                << "usage: gombocok_bench core | frame | timers [seconds] | sound pulse|pipewire "
                   "<monitor> <plays> [jingle] | resampling <directory> |"
                   " keys <window> <presses> | startup <program> <directory> <runs>\n";
            return 2;
        }
    } catch (const std::exception& e) {
        std::cerr << "bench failed: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
