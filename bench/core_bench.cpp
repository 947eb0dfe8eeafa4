// Speed of the rules: whole games on the headless host with the virtual clock, as virtual
// seconds of play per second of wall time.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <stdexcept>

#include "bench/bench.h"
#include "program/headless.h"
#include "tests/support/bot.h"
#include "tests/support/test_support.h"

namespace gombocok::bench {
namespace {

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

struct HeadlessGame {
    testing::TempProgramDir dir;
    HeadlessPlatform platform;
    VirtualHost host{platform};
    testing::Bot bot{host.program, [this](int code) {
                         host.run([&] { host.program.boardRules()->keyDown(code); });
                     }};

    explicit HeadlessGame(std::uint64_t seed) : platform(dir.path(), seed) {
        host.start();
        host.run([&] { host.program.board(); });
        host.run([&] { host.program.boardRules()->indit_Click(); });
    }
    // Plays until `level` is reached; returns the virtual ms it took.
    std::int64_t climbTo(int level) {
        const std::int64_t from = host.now();
        while (host.program.vars.szint < level) {
            if (host.now() - from > 3'600'000) throw std::runtime_error("the bot got stuck");
            bot.climbAndHold(level);
            host.advance(10);
        }
        return host.now() - from;
    }
    // Plays on holding the level for at most `ms` of virtual time, or until the wave has passed
    // the spacecraft; returns the wall seconds it took.
    double hold(int level, std::int64_t ms) {
        const auto t0 = std::chrono::steady_clock::now();
        const double cpu0 = threadCpuSeconds();
        const std::int64_t until = host.now() + ms;
        while (host.now() < until && !passed()) {
            bot.climbAndHold(level);
            host.advance(10);
        }
        cpu += threadCpuSeconds() - cpu0;
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    double cpu = 0;  // CPU seconds spent in hold
    bool passed() {
        const BoardForm& f = *host.program.boardIfLoaded();
        return f.ellen[0].visible && f.ellen[0].Left < f.urhajo.Left + f.urhajo.Width;
    }
};

}  // namespace

void coreSpeed(Report& report) {
    // Each figure sums many games: one game's stretch passes too fast to time alone. At level
    // 13 the UFO crosses the field in well under a second.
    for (int level : {1, 13}) {
        const int games = level == 1 ? 10 : 400;
        double wall = 0, climbWall = 0, cpu = 0;
        std::int64_t climbed = 0, played = 0;
        long ticks = 0;
        for (int n = 0; n < games; ++n) {
            HeadlessGame g(20261206 + n);
            const auto t0 = std::chrono::steady_clock::now();
            climbed += g.climbTo(level);
            climbWall +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            const auto ticks0 = g.host.ticks();
            const std::int64_t from = g.host.now();
            wall += g.hold(level, 300'000);
            cpu += g.cpu;
            played += g.host.now() - from;
            if (g.host.program.vars.szint != level) throw std::runtime_error("the level moved on");
            for (const auto& [name, k] : g.host.ticks())
                ticks += k - (ticks0.count(name) ? ticks0.at(name) : 0);
        }
        const std::string name = "level " + std::to_string(level);
        if (level > 1)
            report.note("climbing to " + name + ": " + std::to_string(climbed / games / 1000) +
                        " s of play per game, at " +
                        Report::number(climbed / 1000.0 / climbWall, 0) + "x real time");
        report.note(name + ": " + Report::number(played / 1000.0, 1) + " s of play in " +
                    std::to_string(games) + " games, " + std::to_string(ticks * 1000 / played) +
                    " timer ticks per second, " + Report::number(played / 1000.0 / cpu, 0) +
                    "x on CPU time");
        report.figure("core_speed_level" + std::to_string(level), played / 1000.0 / wall, 0, "x",
                      Goal::atLeast(20000));
    }
}

}  // namespace gombocok::bench
