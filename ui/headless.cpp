#include "ui/headless.h"

#include <filesystem>
#include <limits>
#include <stdexcept>

namespace gombocok {

HeadlessPlatform::HeadlessPlatform(std::string programDirectory, std::uint64_t seed)
    : directory_(std::move(programDirectory)), rng_(seed) {}

void HeadlessPlatform::playSound(const std::string& path) { sounds.push_back(path); }

void HeadlessPlatform::loadPicture(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec) || std::filesystem::file_size(path, ec) == 0)
        throw MissingPicture(path);
}

void HeadlessPlatform::loadCursor(const std::string& path) { loadPicture(path); }

MsgAnswer HeadlessPlatform::messageBox(const std::string& text, const std::string& title,
                                       MsgIcon icon, MsgButtons buttons) {
    boxes.push_back({text, title, icon, buttons});
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
}

bool VirtualHost::run(const std::function<void()>& event) {
    bool ran = program.dispatch(event);
    rearm();
    return ran;
}

void VirtualHost::rearm() {
    for (auto& b : program.timers()) {
        Armed& a = armed_[b.timer];
        if (b.timer->interval() == 0) {
            a.due = -1;
            a.generation = b.timer->generation();
        } else if (a.generation != b.timer->generation() || a.due < 0) {
            a.generation = b.timer->generation();
            a.due = now_ + b.timer->interval();
        }
    }
}

void VirtualHost::advance(std::int64_t ms) {
    const std::int64_t until = now_ + ms;
    while (!program.ended()) {
        std::int64_t best = std::numeric_limits<std::int64_t>::max();
        Program::TimerBinding* next = nullptr;
        auto bindings = program.timers();
        for (auto& b : bindings) {
            auto it = armed_.find(b.timer);
            if (it == armed_.end() || it->second.due < 0) continue;
            if (it->second.due < best) {
                best = it->second.due;
                next = &b;
            }
        }
        if (!next || best > until) break;
        now_ = best;
        Armed& a = armed_[next->timer];
        a.due += next->timer->interval();
        ++ticks_[next->name];
        run(next->tick);
    }
    if (!program.ended()) now_ = until;
}

}  // namespace gombocok
