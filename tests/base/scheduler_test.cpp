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

    Rig() {
        std::vector<TimerBinding> list;
        for (int k = 0; k < 3; ++k)
            list.push_back({&timers[k], [] {}, k == 0 ? "A" : k == 1 ? "B" : "C"});
        s.watch(std::move(list));
    }
    Timer& operator[](char name) { return timers[name - 'A']; }
    // A key or a click at `moment`.
    void event(std::int64_t moment, const std::function<void()>& change) {
        change();
        s.rearm(moment);
    }
    // The host woke at `now`: every due tick runs, each as its own event at its deadline.
    void wake(std::int64_t now) {
        while (auto d = s.takeDue(now)) {
            log +=
                (log.empty() ? "" : " ") + std::string(d->name) + "@" + std::to_string(d->deadline);
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
// interval to 10 and B's to 20; "run:T", "wake:T", "hold:T", "resume:T"; "A>B15" each tick of A
// sets B to 15, "B@30>B0" B's tick at 30 sets B to 0.
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
        const std::map<std::string, std::function<void(long)>> verbs = {
            {"run", [&](long t) { r.runUntil(t); }},
            {"wake", [&](long t) { r.wake(t); }},
            {"hold", [&](long t) { r.s.hold(t); }},
            {"resume", [&](long t) { r.s.resume(t); }}};
        if (const auto v = verbs.find(verb); v != verbs.end())
            v->second(std::stol(arg));
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
    };
    for (const auto& c : cases) {
        Rig r;
        play(r, c.script);
        EXPECT_EQ(r.log, c.expected) << c.what;
    }
}

TEST(Scheduler, ReloadedWindowKeepsOthersAndRearmsItsOwn) {
    Timer stays, goes;
    TimerScheduler s;
    s.watch({{&stays, [] {}, "stays"}, {&goes, [] {}, "goes"}});
    stays.setInterval(30);
    goes.setInterval(10);
    s.rearm(0);
    // The second window unloads: its timer is forgotten.
    s.watch({{&stays, [] {}, "stays"}});
    s.rearm(5);
    EXPECT_EQ(s.nextDeadline(), 30);
    // Loaded again with the timer running from its design: armed from the moment of that event.
    s.watch({{&stays, [] {}, "stays"}, {&goes, [] {}, "goes"}});
    s.rearm(12);
    auto d = s.takeDue(22);
    ASSERT_TRUE(d);
    EXPECT_STREQ(d->name, "goes");
    EXPECT_EQ(d->deadline, 22);
}

TEST(Scheduler, HeldTimeAddsUpTheOutermostHolds) {
    TimerScheduler s;
    const struct {
        bool hold;
        std::int64_t at, heldAfter;
    } steps[] = {
        {true, 100, 0},    {false, 250, 150},  // one box for 150
        {true, 300, 150},  {true, 320, 150},   // a box over a box
        {false, 400, 150}, {false, 460, 310},  // counted once, 300 to 460
        {false, 500, 310},                     // a resume without a hold changes nothing
    };
    for (const auto& st : steps) {
        st.hold ? s.hold(st.at) : s.resume(st.at);
        EXPECT_EQ(s.heldTime(), st.heldAfter) << "at " << st.at;
    }
}

TEST(Scheduler, StalledHostDropsTicksBeyondTheLagButKeepsThePhase) {
    Timer t;
    TimerScheduler s;
    s.watch({{&t, [] {}, "t"}});
    s.setMaxLag(50);
    t.setInterval(10);
    s.rearm(0);
    std::vector<std::int64_t> fired;
    while (auto d = s.takeDue(1003)) fired.push_back(d->deadline);
    // The first overdue tick, then only those within 50 ms of the clock, on the old grid.
    const std::vector<std::int64_t> expected = {10, 960, 970, 980, 990, 1000};
    EXPECT_EQ(fired, expected);
    EXPECT_EQ(s.nextDeadline(), 1010);
}

}  // namespace
}  // namespace gombocok
