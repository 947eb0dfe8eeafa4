// The deadline scheduler on its own: which timer fires when, as a host drives it.
#include "base/scheduler.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace gombocok {
namespace {

// Three timers A, B, C (watched in that order) and a host that drives the scheduler as both real
// hosts do: after each event it re-arms from the event's moment. `log` gets "A@20" per tick.
struct Rig {
    std::array<Timer, 3> timers;
    std::array<std::function<void(std::int64_t)>, 3> onTick;  // inside a tick, given its deadline
    TimerScheduler s;
    std::string log;

    Rig() { watch("ABC"); }
    // The timers of the windows loaded now, as a load or an unload tells the scheduler.
    void watch(const std::string& names) {
        std::vector<TimerBinding> list;
        for (char n : names)
            list.push_back({&timers[n - 'A'], [] {}, n == 'A' ? "A" : n == 'B' ? "B" : "C"});
        s.watch(std::move(list));
    }
    void note(const std::string& what) { log += (log.empty() ? "" : " ") + what; }
    Timer& operator[](char name) { return timers[name - 'A']; }
    // A key or a click at `moment`.
    void event(std::int64_t moment, const std::function<void()>& change) {
        change();
        s.rearm(moment);
    }
    // The host woke at `now`: every due tick runs, each as its own event at its deadline.
    void wake(std::int64_t now) {
        while (auto d = s.takeDue(now)) {
            note(std::string(d->name) + "@" + std::to_string(d->deadline));
            if (auto& f = onTick[d->name[0] - 'A']) f(d->deadline);
            s.rearm(d->deadline);
        }
    }
    // Wakes exactly at each deadline until `until`, as a punctual host would.
    void runUntil(std::int64_t until) {
        for (auto next = s.nextDeadline(); next && *next <= until; next = s.nextDeadline())
            wake(*next);
    }
};

// Plays a script on the rig, steps separated by blanks: "0:A10,B20" an event at 0 that sets A's
// interval to 10 and B's to 20; "run:T", "wake:T", "hold:T", "resume:T", "lag:MS"; "watch:AC"
// only A and C are loaded; "held:" logs the time held so far; "A>B15" each tick of A sets B to
// 15, "B@30>B0" B's tick at 30 sets B to 0.
void play(Rig& r, const std::string& script) {
    std::istringstream in(script);
    for (std::string step; in >> step;) {
        if (const auto arrow = step.find('>'); arrow != std::string::npos) {
            const long at = step[1] == '@' ? std::stol(step.substr(2)) : -1;
            const char timer = step[arrow + 1];
            const int ms = std::stoi(step.substr(arrow + 2));
            r.onTick[step[0] - 'A'] = [&r, at, timer, ms](std::int64_t deadline) {
                if (at < 0 || deadline == at) r[timer].setInterval(ms);
            };
            continue;
        }
        const std::string verb = step.substr(0, step.find(':'));
        const std::string arg = step.substr(step.find(':') + 1);
        const std::map<std::string, std::function<void(const std::string&)>> verbs = {
            {"run", [&](auto& t) { r.runUntil(std::stol(t)); }},
            {"wake", [&](auto& t) { r.wake(std::stol(t)); }},
            {"hold", [&](auto& t) { r.s.hold(std::stol(t)); }},
            {"resume", [&](auto& t) { r.s.resume(std::stol(t)); }},
            {"lag", [&](auto& t) { r.s.setMaxLag(std::stol(t)); }},
            {"watch", [&](auto& t) { r.watch(t); }},
            {"held", [&](auto&) { r.note("held=" + std::to_string(r.s.heldTime())); }}};
        if (const auto v = verbs.find(verb); v != verbs.end())
            v->second(arg);
        else
            r.event(std::stol(verb), [&] {
                std::istringstream sets(arg);
                for (std::string set; std::getline(sets, set, ',');)
                    r[set[0]].setInterval(std::stoi(set.substr(1)));
            });
    }
}

TEST(Scheduler, FiresInOrder) {
    const struct {
        const char *what, *script, *expected;
    } cases[] = {
        {"deadline order; coinciding deadlines in watch order", "0:C50,B20,A30 run:100",
         "B@20 A@30 B@40 C@50 A@60 B@60 B@80 A@90 B@100 C@100"},
        {"a tie goes by watch order, not by which was armed first", "0:B10 5:A5 run:10",
         "A@10 B@10"},
        {"a late host still fires every tick on its own deadline, in order",
         "0:A10,B15 wake:37 wake:40", "A@10 B@15 A@20 A@30 B@30 A@40"},
        {"a key restarts a running timer from when it arrived", "0:A10 run:10 13:A10 run:40",
         "A@10 A@23 A@33"},
        {"a tick restarts another timer from the tick's deadline, however late it ran",
         "A>B15 0:A20 wake:27 run:39", "A@20 B@35"},
        {"a timer restarting itself at each tick keeps its period", "A>A10 0:A10 wake:25 run:40",
         "A@10 A@20 A@30 A@40"},
        {"setting 0 stops a timer; the others go on", "0:A10,B10 run:20 25:A0 run:50",
         "A@10 B@10 A@20 B@20 B@30 B@40 B@50"},
        {"a tick that stops its own timer is its last", "B@30>B0 0:B10 run:100", "B@10 B@20 B@30"},
        {"a new interval set while running counts afresh from the change",
         "0:A10 run:20 25:A30 run:90", "A@10 A@20 A@55 A@85"},
        {"stopping and starting in one event restarts", "0:C40 30:C0,C40 run:80", "C@70"},
        // A had 6 ms left at the hold, C 86; nothing is due while held.
        {"held timers keep the time they had left; one set meanwhile gets its full interval",
         "0:A10,C100 run:10 hold:14 wake:500 50:B20 resume:1000 run:1090",
         "A@10 A@1006 A@1016 B@1020 A@1026 A@1036 B@1040 A@1046 A@1056 B@1060 A@1066 A@1076 "
         "B@1080 A@1086 C@1086"},
        {"a timer stopped while held stays stopped; holds nest",
         "0:A10,B10 hold:5 hold:6 7:A0 resume:100 wake:200 resume:300 run:315", "B@305 B@315"},
        {"held time adds up the outermost holds; a resume without a hold changes nothing",
         "hold:100 resume:250 held: hold:300 hold:320 resume:400 held: resume:460 held: resume:500 "
         "held:",
         "held=150 held=150 held=310 held=310"},
        {"an unloaded window's timer is forgotten; loaded again it is armed from that event",
         "0:A30,B10 watch:A 5: run:20 watch:AB 21: run:31", "A@30 B@31"},
        {"a stalled host drops ticks beyond the lag but keeps the phase",
         "lag:50 0:A10 wake:1003 run:1010", "A@10 A@960 A@970 A@980 A@990 A@1000 A@1010"},
    };
    for (const auto& c : cases) {
        Rig r;
        play(r, c.script);
        EXPECT_EQ(r.log, c.expected) << c.what;
    }
}

}  // namespace
}  // namespace gombocok
