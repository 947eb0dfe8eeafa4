#include "program/clock.h"

namespace gombocok {

ProgramClock::ProgramClock(Program& program, ClockHost& host, std::int64_t unitsPerMs)
    : program_(program), host_(host), scheduler_(unitsPerMs) {}

void ProgramClock::start() {
    // Program::start goes through the dispatch point itself.
    deliver(
        [this] {
            program_.start();
            return true;
        },
        host_.now());
}

bool ProgramClock::run(const std::function<void()>& event) {
    return deliver([&] { return program_.dispatch(event); }, host_.now());
}

bool ProgramClock::deliver(const std::function<bool()>& dispatch, std::int64_t moment) {
    if (stopped_) return false;
    const std::int64_t heldBefore = scheduler_.heldTime();
    const bool ran = host_.runEvent(dispatch, moment);
    if (stopped_) return false;
    if (program_.ended()) {
        host_.eventDone(true);
        return ran;
    }
    // The timer list is taken afresh, as an event may load or unload a window.
    scheduler_.watch(program_.timers());
    scheduler_.rearm(moment + (scheduler_.heldTime() - heldBefore));
    if (!waking_) armWakeup();
    host_.eventDone(false);
    return ran;
}

void ProgramClock::wake(std::int64_t now) {
    if (waking_ || stopped_) return;
    waking_ = true;
    // Coinciding deadlines, and any that fell due while the others ran late, go in one wake-up.
    while (!stopped_ && !program_.ended()) {
        auto due = scheduler_.takeDue(now);
        if (!due) break;
        if (auto it = ticks_.find(due->name); it != ticks_.end())
            ++it->second;
        else
            ticks_.emplace(due->name, 1);
        deliver([&] { return program_.dispatch(due->tick); }, due->deadline);
    }
    waking_ = false;
    armWakeup();
}

void ProgramClock::hold() {
    scheduler_.hold(host_.now());
    armWakeup();
}

void ProgramClock::resume() {
    if (stopped_) return;
    scheduler_.resume(host_.now());
    armWakeup();
}

void ProgramClock::stop() {
    stopped_ = true;
    armWakeup();
}

void ProgramClock::armWakeup() {
    host_.wakeAt(stopped_ ? std::nullopt : scheduler_.nextDeadline());
}

}  // namespace gombocok
