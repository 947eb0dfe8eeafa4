#include "ui/headless.h"

#include <filesystem>
#include <limits>
#include <stdexcept>

namespace gombocok {

HeadlessPlatform::HeadlessPlatform(std::string programDirectory, std::uint64_t seed)
    : configFolder(programDirectory + "/config/gombocok"),
      directory_(std::move(programDirectory)),
      rng_(seed) {}

void HeadlessPlatform::playSound(const std::string& path) {
    sounds.push_back(path);
}

void HeadlessPlatform::loadPicture(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec) || std::filesystem::file_size(path, ec) == 0)
        throw MissingPicture(path);
}

void HeadlessPlatform::loadCursor(const std::string& path) {
    loadPicture(path);
}

MsgAnswer HeadlessPlatform::messageBox(const std::string& text, const std::string& title,
                                       MsgIcon icon, MsgButtons buttons, MsgLanguage language) {
    boxes.push_back({text, title, icon, buttons, language});
    if (onBox) onBox(boxes.back());
    if (answers.empty()) throw std::logic_error("unscripted message box: " + text);
    MsgAnswer a = answers.front();
    answers.pop_front();
    return a;
}

double HeadlessPlatform::random() {
    return std::uniform_real_distribution<double>(0.0, 1.0)(rng_);
}

VirtualHost::VirtualHost(HeadlessPlatform& platform) : program(platform) {}

void VirtualHost::start() {
    program.start();
    rearm();
    if (onEvent) onEvent();
}

bool VirtualHost::run(const std::function<void()>& event) {
    bool ran = program.dispatch(event);
    rearm();
    if (onEvent) onEvent();
    return ran;
}

void VirtualHost::rearm() {
    refreshBindings();
    for (std::size_t k = 0; k < bindings_.size(); ++k) {
        const Timer& t = *bindings_[k].timer;
        Armed& a = *slots_[k];
        if (t.interval() == 0) {
            a.due = -1;
            a.generation = t.generation();
        } else if (a.generation != t.generation() || a.due < 0) {
            a.generation = t.generation();
            a.due = now_ + t.interval();
        }
    }
}

void VirtualHost::refreshBindings() {
    auto fresh = program.timers();
    // The list rarely changes; map nodes stay put, so a slot is looked up only for a new timer.
    slots_.resize(fresh.size(), nullptr);
    for (std::size_t k = 0; k < fresh.size(); ++k)
        if (k >= bindings_.size() || bindings_[k].timer != fresh[k].timer || !slots_[k])
            slots_[k] = &armed_[fresh[k].timer];
    bindings_ = std::move(fresh);
}

void VirtualHost::advance(std::int64_t ms) {
    const std::int64_t until = now_ + ms;
    refreshBindings();
    while (!program.ended()) {
        std::int64_t best = std::numeric_limits<std::int64_t>::max();
        std::size_t next = bindings_.size();
        for (std::size_t k = 0; k < bindings_.size(); ++k) {
            const std::int64_t due = slots_[k]->due;
            if (due >= 0 && due < best) {
                best = due;
                next = k;
            }
        }
        if (next == bindings_.size() || best > until) break;
        now_ = best;
        slots_[next]->due += bindings_[next].timer->interval();
        ++ticks_[bindings_[next].name];
        const auto tick = bindings_[next].tick;  // the list is renewed inside run
        run(tick);
    }
    if (!program.ended()) now_ = until;
}

}  // namespace gombocok
