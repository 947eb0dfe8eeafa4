#include "base/scheduler.h"

#include <algorithm>

namespace gombocok {

void TimerScheduler::watch(std::vector<TimerBinding> timers) {
    // The list changes only when a window loads or unloads.
    bool same = timers.size() == entries_.size();
    for (std::size_t k = 0; same && k < timers.size(); ++k)
        same = timers[k].timer == entries_[k].binding.timer;
    if (same) return;
    std::vector<Entry> fresh;
    fresh.reserve(timers.size());
    for (TimerBinding& b : timers) {
        auto old = std::find_if(entries_.begin(), entries_.end(),
                                [&](const Entry& e) { return e.binding.timer == b.timer; });
        Entry e = old != entries_.end() ? std::move(*old) : Entry{};
        e.binding = std::move(b);
        fresh.push_back(std::move(e));
    }
    entries_ = std::move(fresh);
}

void TimerScheduler::rearm(std::int64_t moment) {
    for (Entry& e : entries_) {
        const Timer& t = *e.binding.timer;
        if (e.known && e.generation == t.generation()) continue;
        e.known = true;
        e.generation = t.generation();
        e.period = std::int64_t{t.interval()} * unit_;
        e.due = kNone;
        e.remaining = kNone;
        if (e.period == 0) continue;
        if (held_ > 0)
            e.remaining = e.period;
        else
            e.due = moment + e.period;
    }
}

std::optional<std::int64_t> TimerScheduler::nextDeadline() const {
    std::optional<std::int64_t> best;
    for (const Entry& e : entries_)
        if (e.due != kNone && (!best || e.due < *best)) best = e.due;
    return best;
}

std::optional<TimerScheduler::Due> TimerScheduler::takeDue(std::int64_t now) {
    Entry* next = nullptr;
    for (Entry& e : entries_)
        if (e.due != kNone && e.due <= now && (!next || e.due < next->due)) next = &e;
    if (!next) return std::nullopt;
    Due d{next->due, next->binding.tick, next->binding.name};
    next->due += next->period;
    if (maxLag_ != kNone && next->due < now - maxLag_) {
        const std::int64_t behind = now - maxLag_ - next->due;
        next->due += (behind + next->period - 1) / next->period * next->period;
    }
    return d;
}

void TimerScheduler::hold(std::int64_t now) {
    if (held_++ > 0) return;
    heldSince_ = now;
    for (Entry& e : entries_) {
        e.remaining = e.due == kNone ? kNone : std::max<std::int64_t>(0, e.due - now);
        e.due = kNone;
    }
}

void TimerScheduler::resume(std::int64_t now) {
    if (held_ == 0 || --held_ > 0) return;
    heldTime_ += std::max<std::int64_t>(0, now - heldSince_);
    for (Entry& e : entries_) {
        if (e.remaining != kNone) e.due = now + e.remaining;
        e.remaining = kNone;
    }
}

}  // namespace gombocok
