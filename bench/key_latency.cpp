// Key to pixel: a key sent through XTEST to the first changed pixels of the spacecraft's place
// on the field, as the X server reports them (XDamage, raw rectangles). Up and Down alternate so
// the spacecraft stays put; a damage report of the whole field (the scrolling background) before
// the spacecraft's own makes that press undecided, and it is pressed again later.
// Qt before Xlib, whose macros (Status, ...) Qt's headers cannot stand.
// clang-format off
#include "base/forms.h"
#include "qt/qt_convert.h"
// clang-format on

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench.h"

namespace gombocok::bench {
namespace {

using Clock = std::chrono::steady_clock;

double percentileOf(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const auto k = static_cast<std::size_t>(std::ceil(p * v.size())) - 1;
    return v[std::min(k, v.size() - 1)];
}

}  // namespace

void keyLatency(Report& report, unsigned long window, int presses) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) throw std::runtime_error("no X display");
    int damageEvent, damageError, xtestEvent, xtestError, major, minor;
    if (!XDamageQueryExtension(d, &damageEvent, &damageError) ||
        !XTestQueryExtension(d, &xtestEvent, &xtestError, &major, &minor))
        throw std::runtime_error("the X server lacks DAMAGE or XTEST");
    const Damage damage = XDamageCreate(d, window, XDamageReportRawRectangles);
    const KeyCode up = XKeysymToKeycode(d, XK_Up), down = XKeysymToKeycode(d, XK_Down);
    // The field and the spacecraft's column in it, in the window's pixels, from the design.
    const BoardForm design;
    const int kFieldX = px(design.jmezo.Left), kFieldWidth = px(design.jmezo.Width),
              kCraftLeft = kFieldX + px(design.urhajo.Left),
              kCraftRight = kCraftLeft + px(design.urhajo.Width);
    const int fd = ConnectionNumber(d);

    // Waits for the next damage rectangle until `limit`; false on time-out.
    auto nextDamage = [&](Clock::time_point limit, XRectangle& area, Clock::time_point& at) {
        for (;;) {
            while (XPending(d)) {
                XEvent e;
                XNextEvent(d, &e);
                if (e.type == damageEvent + XDamageNotify) {
                    at = Clock::now();
                    area = reinterpret_cast<XDamageNotifyEvent&>(e).area;
                    return true;
                }
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(limit - Clock::now());
            if (left.count() <= 0) return false;
            pollfd p{fd, POLLIN, 0};
            poll(&p, 1, static_cast<int>(left.count()) + 1);
        }
    };
    auto drain = [&](int ms) {
        XRectangle a;
        Clock::time_point at;
        while (nextDamage(Clock::now() + std::chrono::milliseconds(ms), a, at)) {
        }
    };

    std::vector<double> latencies;
    int undecided = 0;
    XSync(d, False);
    drain(100);
    for (int k = 0; static_cast<int>(latencies.size()) < presses && k < presses * 4; ++k) {
        const KeyCode key = k % 2 ? down : up;
        const auto t0 = Clock::now();
        XTestFakeKeyEvent(d, key, True, 0);
        XTestFakeKeyEvent(d, key, False, 0);
        XFlush(d);
        XRectangle a;
        Clock::time_point at;
        bool decided = false;
        while (nextDamage(t0 + std::chrono::milliseconds(500), a, at)) {
            const bool wholeField = a.width >= kFieldWidth;
            const bool craft = a.x >= kCraftLeft - 4 && a.x + a.width <= kCraftRight + 4;
            if (wholeField) break;
            if (craft) {
                latencies.push_back(std::chrono::duration<double, std::milli>(at - t0).count());
                decided = true;
                break;
            }
        }
        if (!decided) ++undecided;
        // The rest of this press's repaint, then a pause at another phase of the field's timers.
        std::this_thread::sleep_for(std::chrono::milliseconds(30 + (k * 7) % 40));
        drain(1);
    }
    XDamageDestroy(d, damage);
    XCloseDisplay(d);
    if (latencies.size() < 10) throw std::runtime_error("the spacecraft's moves were not seen");
    report.note("key to pixel: " + std::to_string(latencies.size()) + " presses (" +
                std::to_string(undecided) + " more left undecided by a background repaint), min " +
                Report::number(*std::min_element(latencies.begin(), latencies.end()), 2) + " ms");
    report.figure("key_to_pixel_median", percentileOf(latencies, 0.5), 2, "ms", Goal{});
    report.figure("key_to_pixel_p99", percentileOf(latencies, 0.99), 2, "ms", Goal::atMost(2));
}

}  // namespace gombocok::bench
