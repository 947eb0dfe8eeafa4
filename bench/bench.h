// What every benchmark reports: one line per figure, `name: value unit (goal)`, which the run
// script gathers into the table.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace gombocok::bench {

struct Goal {
    enum Kind { none, min, max } kind = none;
    double bound = 0;
    static Goal atLeast(double b) { return {min, b}; }
    static Goal atMost(double b) { return {max, b}; }
};

class Report {
public:
    static std::string number(double v, int decimals) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
        return buf;
    }
    void figure(const std::string& name, double value, int decimals, const std::string& unit,
                Goal goal) {
        std::string g;
        if (goal.kind != Goal::none)
            g = std::string(goal.kind == Goal::min ? ">= " : "<= ") +
                number(goal.bound, goal.bound == static_cast<long>(goal.bound) ? 0 : 1) + " " +
                unit;
        else
            g = "-";
        std::printf("%s: %s %s (%s)\n", name.c_str(), number(value, decimals).c_str(), unit.c_str(),
                    g.c_str());
        std::fflush(stdout);
    }
    void note(const std::string& text) {
        std::printf("# %s\n", text.c_str());
        std::fflush(stdout);
    }
};

void coreSpeed(Report& report);
// Need a QApplication.
void frameCost(Report& report);
void realTimers(Report& report, int seconds);
// The sound output on a server (`pulse` or `pipewire`) with a null sink whose monitor is
// `monitor`; `jingle`, when given, is recorded there and measured as shareAboveDb does.
void soundLatency(Report& report, const std::string& server, const std::string& monitor, int plays,
                  const std::string& jingle);
// The energy above `limitHz` as a share of the whole, in dB.
double shareAboveDb(const std::vector<float>& samples, int rate, double limitHz);
// The resampling figure of every sound in `dir` at 44.1 and 48 kHz outputs.
void resampling(Report& report, const std::string& dir);
// Starts `program` in `dir` on the X display `runs` times (after one run that warms the caches).
// Presses Up and Down through XTEST in `window` (the game window, playing) and times the
// spacecraft's repaint as the X server sees it.
void keyLatency(Report& report, unsigned long window, int presses);
void startup(Report& report, const std::string& program, const std::string& dir, int runs);

}  // namespace gombocok::bench
