// The program's clock: the one loop that takes the due timer, runs its tick through the dispatch
// point, re-arms the timers and lets the host repaint. A host only says what time it is and wakes
// the clock at the deadline it names: the headless host on virtual time, the Qt host on the
// monotonic clock.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "base/scheduler.h"
#include "program/program.h"

namespace gombocok {

// What the clock asks of the host it runs on. Times are in the host's clock units.
class ClockHost {
public:
    virtual ~ClockHost() = default;
    // What time it is.
    virtual std::int64_t now() = 0;
    // Call ProgramClock::wake at `deadline`, or not at all while there is none; it replaces the
    // wake-up asked for before.
    virtual void wakeAt(std::optional<std::int64_t> deadline) = 0;
    // Runs `dispatch`, which enters the program's dispatch point, with whatever the host puts
    // around an event; `moment` is when the event happened (a tick: its deadline). Returns
    // whether the event ran.
    virtual bool runEvent(const std::function<bool()>& dispatch, std::int64_t moment) = 0;
    // After each event: the timers are re-armed, unless the program has ended with it.
    virtual void eventDone(bool ended) = 0;
};

class ProgramClock {
public:
    // `unitsPerMs`: how many units of the host's clock make a millisecond of a timer's interval.
    ProgramClock(Program& program, ClockHost& host, std::int64_t unitsPerMs);

    // Starts the program as one event (title screen, settings, game window).
    void start();
    // Runs one event, happening now, through the dispatch point.
    bool run(const std::function<void()>& event);
    // The wake-up came: every tick due by `now` runs, each as its own event at its deadline, in
    // time order (ties in the program's fixed timer order); then the next wake-up is asked for.
    void wake(std::int64_t now);

    // While a modal message box is open no game timer fires: the timers are held with their
    // remaining time and resume after the answer.
    void hold();
    void resume();
    // Ticks that fall further than `lag` behind the clock are dropped, keeping each timer's phase.
    void setMaxLag(std::int64_t lag) { scheduler_.setMaxLag(lag); }

    // No event runs and no wake-up is asked for from here on: the program has ended or failed.
    void stop();
    bool stopped() const { return stopped_; }

    // Ticks so far by timer name.
    const std::map<std::string, std::int64_t, std::less<>>& ticks() const { return ticks_; }

private:
    // One event that happened at `moment`, then what follows every event: re-arm, and tell the
    // host.
    bool deliver(const std::function<bool()>& dispatch, std::int64_t moment);
    void armWakeup();

    Program& program_;
    ClockHost& host_;
    TimerScheduler scheduler_;
    std::map<std::string, std::int64_t, std::less<>> ticks_;
    bool waking_ = false;
    bool stopped_ = false;
};

}  // namespace gombocok
