#include "program/headless.h"

#include <filesystem>
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
    return rng_.next();
}

VirtualHost::VirtualHost(HeadlessPlatform& platform)
    : program(platform), clock_(program, *this, 1) {}

bool VirtualHost::runEvent(const std::function<bool()>& dispatch, std::int64_t moment) {
    // A tick runs at its deadline: the virtual clock stands there while it runs.
    now_ = moment;
    return dispatch();
}

void VirtualHost::eventDone(bool) {
    if (onEvent) onEvent();
}

void VirtualHost::advance(std::int64_t ms) {
    const std::int64_t until = now_ + ms;
    clock_.wake(until);
    if (!program.ended()) now_ = until;
}

}  // namespace gombocok
