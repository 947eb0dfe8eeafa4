// The deadline scheduler on its own: which timer fires when, as a host drives it.
#include "base/scheduler.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace gombocok {
namespace {

// Three timers A, B, C (watched in that order) and a host that drives the scheduler as both real
// hosts do: after each event it re-arms from the event's moment. `log` gets "A@20" per tick.
struct Rig {
    std::array<Timer, 3> timers;
    std::array<std::function<void(std::int64_t)>, 3>
        onTick;  // run inside a tick, given its deadline
    TimerScheduler s;
    std::vector<std::string> log;

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
            log.push_back(std::string(d->name) + "@" + std::to_string(d->deadline));
            if (auto& f = onTick[d->name[0] - 'A']) f(d->deadline);
            s.rearm(d->deadline);
        }
    }
    // Wakes exactly at each deadline until `until`, as a punctual host would.
    void runUntil(std::int64_t until) {
        while (auto next = s.nextDeadline()) {
            if (*next > until) break;
            wake(*next);
        }
    }
    std::string joined() const {
        std::string out;
        for (const auto& e : log) out += (out.empty() ? "" : " ") + e;
        return out;
    }
};

struct Case {
    const char* what;
    std::function<void(Rig&)> play;
    const char* expected;
};

class SchedulerOrder : public testing::TestWithParam<Case> {};

TEST_P(SchedulerOrder, FiresAsExpected) {
    Rig r;
    GetParam().play(r);
    EXPECT_EQ(r.joined(), GetParam().expected) << GetParam().what;
}

const Case kCases[] = {
    {"deadline order; coinciding deadlines in watch order",
     [](Rig& r) {
         r.event(0, [&] {
             r['C'].setInterval(50);
             r['B'].setInterval(20);
             r['A'].setInterval(30);
         });
         r.runUntil(100);
     },
     "B@20 A@30 B@40 C@50 A@60 B@60 B@80 A@90 B@100 C@100"},
    {"a tie goes by watch order, not by which was armed first",
     [](Rig& r) {
         r.event(0, [&] { r['B'].setInterval(10); });
         r.event(5, [&] { r['A'].setInterval(5); });
         r.runUntil(10);
     },
     "A@10 B@10"},
    {"a late host still fires every tick on its own deadline, in order",
     [](Rig& r) {
         r.event(0, [&] {
             r['A'].setInterval(10);
             r['B'].setInterval(15);
         });
         r.wake(37);
         r.wake(40);
     },
     "A@10 B@15 A@20 A@30 B@30 A@40"},
    {"a key restarts a running timer from when it arrived",
     [](Rig& r) {
         r.event(0, [&] { r['A'].setInterval(10); });
         r.runUntil(10);
         r.event(13, [&] { r['A'].setInterval(10); });
         r.runUntil(40);
     },
     "A@10 A@23 A@33"},
    {"a tick restarts another timer from the tick's deadline, however late it ran",
     [](Rig& r) {
         r.onTick[0] = [&](std::int64_t) { r['B'].setInterval(15); };
         r.event(0, [&] { r['A'].setInterval(20); });
         r.wake(27);  // A's tick at 20 runs 7 late; B counts from 20
         r.runUntil(39);
     },
     "A@20 B@35"},
    {"a timer restarting itself at each tick keeps its period",
     [](Rig& r) {
         r.onTick[0] = [&](std::int64_t) { r['A'].setInterval(10); };
         r.event(0, [&] { r['A'].setInterval(10); });
         r.wake(25);
         r.runUntil(40);
     },
     "A@10 A@20 A@30 A@40"},
    {"setting 0 stops a timer; the others go on",
     [](Rig& r) {
         r.event(0, [&] {
             r['A'].setInterval(10);
             r['B'].setInterval(10);
         });
         r.runUntil(20);
         r.event(25, [&] { r['A'].setInterval(0); });
         r.runUntil(50);
     },
     "A@10 B@10 A@20 B@20 B@30 B@40 B@50"},
    {"a tick that stops its own timer is its last",
     [](Rig& r) {
         r.onTick[1] = [&](std::int64_t at) {
             if (at == 30) r['B'].setInterval(0);
         };
         r.event(0, [&] { r['B'].setInterval(10); });
         r.runUntil(100);
     },
     "B@10 B@20 B@30"},
    {"a new interval set while running counts afresh from the change",
     [](Rig& r) {
         r.event(0, [&] { r['A'].setInterval(10); });
         r.runUntil(20);
         r.event(25, [&] { r['A'].setInterval(30); });
         r.runUntil(90);
     },
     "A@10 A@20 A@55 A@85"},
    {"stopping and starting in one event restarts",
     [](Rig& r) {
         r.event(0, [&] { r['C'].setInterval(40); });
         r.event(30, [&] {
             r['C'].setInterval(0);
             r['C'].setInterval(40);
         });
         r.runUntil(80);
     },
     "C@70"},
    {"held timers keep the time they had left; one set meanwhile gets its full interval",
     [](Rig& r) {
         r.event(0, [&] {
             r['A'].setInterval(10);
             r['C'].setInterval(100);
         });
         r.runUntil(10);
         r.s.hold(14);  // A had 6 ms left, C 86
         r.wake(500);   // nothing is due while held
         r.event(50, [&] { r['B'].setInterval(20); });
         r.s.resume(1000);
         r.runUntil(1090);
     },
     "A@10 A@1006 A@1016 B@1020 A@1026 A@1036 B@1040 A@1046 A@1056 B@1060 A@1066 A@1076 "
     "B@1080 A@1086 C@1086"},
    {"a timer stopped while held stays stopped; holds nest",
     [](Rig& r) {
         r.event(0, [&] {
             r['A'].setInterval(10);
             r['B'].setInterval(10);
         });
         r.s.hold(5);
         r.s.hold(6);
         r.event(7, [&] { r['A'].setInterval(0); });
         r.s.resume(100);
         r.wake(200);  // still held by the outer hold
         r.s.resume(300);
         r.runUntil(315);
     },
     "B@305 B@315"},
};

INSTANTIATE_TEST_SUITE_P(Table, SchedulerOrder, testing::ValuesIn(kCases));

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
        if (st.hold)
            s.hold(st.at);
        else
            s.resume(st.at);
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
