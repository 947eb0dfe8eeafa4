// Start-up: from the fork of the real program to the first paint of its first window, seen from
// outside through the X server: the window is found by its _NET_WM_PID once it is viewable, and
// its pixels are read until they are no longer the black of the unpainted window.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench.h"

namespace gombocok::bench {
namespace {

using Clock = std::chrono::steady_clock;

long windowPid(Display* d, Window w, Atom pidAtom) {
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(d, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &n, &after,
                           &data) == Success &&
        data && n == 1)
        pid = *reinterpret_cast<long*>(data);
    if (data) XFree(data);
    return pid;
}

// A viewable window of `pid` anywhere below `root` (the window manager reparents it).
Window findWindow(Display* d, Window root, long pid, Atom pidAtom) {
    Window r, parent, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d, root, &r, &parent, &children, &n)) return 0;
    Window found = 0;
    for (unsigned k = 0; k < n && !found; ++k) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(d, children[k], &a) || a.map_state != IsViewable) continue;
        if (windowPid(d, children[k], pidAtom) == pid)
            found = children[k];
        else
            found = findWindow(d, children[k], pid, pidAtom);
    }
    if (children) XFree(children);
    return found;
}

int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}

// Whether any of a grid of pixels of `w` is no longer black.
bool painted(Display* d, Window w) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w, &a) || a.width < 8 || a.height < 8) return false;
    XImage* img = XGetImage(d, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (!img) return false;
    bool any = false;
    for (int y = 2; y < a.height && !any; y += a.height / 16 + 1)
        for (int x = 2; x < a.width && !any; x += a.width / 16 + 1)
            any = (XGetPixel(img, x, y) & 0xffffff) != 0;
    XDestroyImage(img);
    return any;
}

struct Run {
    double mapped, painted;  // ms after the fork
};

Run startOnce(Display* d, const std::string& program, const std::string& dir) {
    const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", False);
    const auto t0 = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(127);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    auto ms = [&] { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); };
    Run run{-1, -1};
    Window w = 0;
    while (ms() < 10'000) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) throw std::runtime_error("the program ended");
        if (!w) {
            w = findWindow(d, DefaultRootWindow(d), pid, pidAtom);
            if (w) run.mapped = ms();
        }
        if (w && painted(d, w)) {
            run.painted = ms();
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    if (run.painted < 0) throw std::runtime_error("no painted window within 10 s");
    return run;
}

}  // namespace

void startup(Report& report, const std::string& program, const std::string& dir, int runs) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) throw std::runtime_error("no X display");
    XSetErrorHandler(ignoreErrors);
    std::vector<double> mapped, paint;
    startOnce(d, program, dir);  // warms the file cache, as a player's second start would
    for (int k = 0; k < runs; ++k) {
        const Run r = startOnce(d, program, dir);
        mapped.push_back(r.mapped);
        paint.push_back(r.painted);
    }
    XCloseDisplay(d);
    std::sort(mapped.begin(), mapped.end());
    std::sort(paint.begin(), paint.end());
    report.note("start-up over " + std::to_string(runs) + " runs: window viewable after " +
                Report::number(mapped.front(), 0) + " ms (min), " +
                Report::number(mapped[runs / 2], 0) + " ms (median)");
    report.figure("startup_first_paint_min", paint.front(), 0, "ms", Goal{});
    report.figure("startup_first_paint_median", paint[runs / 2], 0, "ms", Goal::atMost(120));
}

}  // namespace gombocok::bench
