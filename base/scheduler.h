// One clock for every timer: the deadline of each running timer, on whatever clock the host keeps
// (virtual milliseconds in the tests, monotonic nanoseconds on screen). The
// host asks for the earliest deadline, sleeps until then, and takes the due timers one by one.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "base/controls.h"

namespace gombocok {

// A timer of a loaded window with the handler its tick runs.
struct TimerBinding {
    Timer* timer;
    std::function<void()> tick;
    const char* name;
};

class TimerScheduler {
public:
    // `unitsPerMs`: how many units of the host's clock make a millisecond of a timer's interval.
    explicit TimerScheduler(std::int64_t unitsPerMs = 1) : unit_(unitsPerMs) {}

    // The timers of the loaded windows, in the fixed order in which timers due at the same moment
    // fire. A timer that stays keeps its deadline; one that left is forgotten, and one that comes
    // (back) is armed by the next rearm.
    void watch(std::vector<TimerBinding> timers);

    // Brings the deadlines in line with the timers after an event that happened at `moment` (a
    // tick: its deadline; a key or a click: when it arrived). A timer whose interval was set since
    // counts afresh from `moment`, also when it was running; one set to 0 stops.
    void rearm(std::int64_t moment);

    // The earliest deadline; none while nothing runs or the timers are held.
    std::optional<std::int64_t> nextDeadline() const;

    struct Due {
        std::int64_t deadline;  // the moment the tick stands for
        std::function<void()> tick;
        const char* name;
    };
    // The timer due first at or before `now`, ties in watch order. Its next deadline is one
    // interval after this one, not after `now`, so lateness never adds up.
    std::optional<Due> takeDue(std::int64_t now);

    // Ticks that fall further than `lag` (clock units) behind the clock are dropped, keeping each
    // timer's phase: a process stopped for a while does not replay every missed tick in one
    // burst. No limit unless set.
    void setMaxLag(std::int64_t lag) { maxLag_ = lag; }

    // While held (a modal message box is open) no timer is due: each running timer keeps the
    // time it had left and counts it down again from resume. A timer set meanwhile starts its
    // full interval at resume. Holds nest.
    void hold(std::int64_t now);
    void resume(std::int64_t now);
    bool held() const { return held_ > 0; }
    // The time spent held so far, all holds together. An event that waited for an answer counts
    // its timers from its own moment plus the time it was held: a timer set after the answer
    // starts then, and does not catch up on the time the box was open.
    std::int64_t heldTime() const { return heldTime_; }

private:
    static constexpr std::int64_t kNone = -1;
    struct Entry {
        TimerBinding binding;
        bool known = false;  // `generation` and `interval` taken from the timer
        std::uint64_t generation = 0;
        std::int64_t period = 0;  // the interval in clock units
        std::int64_t due = kNone;
        std::int64_t remaining = kNone;  // while held
    };
    std::vector<Entry> entries_;
    std::int64_t unit_;
    int held_ = 0;
    std::int64_t heldSince_ = 0, heldTime_ = 0;
    std::int64_t maxLag_ = kNone;
};

}  // namespace gombocok
