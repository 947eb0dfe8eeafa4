// A host without a screen: the platform records sounds and message boxes and answers the boxes
// from a script; the clock is virtual, so a test says "advance 990 ms" and every timer due in
// that span fires in time order.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/platform.h"
#include "program/clock.h"
#include "program/program.h"

namespace gombocok {

class HeadlessPlatform : public Platform {
public:
    explicit HeadlessPlatform(std::string programDirectory, std::uint64_t seed = 1);

    struct Box {
        std::string text, title;
        MsgIcon icon;
        MsgButtons buttons;
        MsgLanguage language;
    };

    std::vector<std::string> sounds;  // every play call, in order
    std::vector<Box> boxes;           // every message box shown, in order
    std::deque<MsgAnswer> answers;    // scripted answers; a box with none left throws
    // Called while a box is open, before it is answered (tests check what holds meanwhile).
    std::function<void(const Box&)> onBox;
    ScreenSize screen{1920 * 15.0f, 1080 * 15.0f};
    // The player's own settings folder: a folder inside the program directory unless a test
    // names another.
    std::string configFolder;

    void playSound(const std::string& path) override;
    void loadPicture(const std::string& path) override;
    void loadCursor(const std::string& path) override;
    MsgAnswer messageBox(const std::string& text, const std::string& title, MsgIcon icon,
                         MsgButtons buttons, MsgLanguage language) override;
    std::string programDirectory() override { return directory_; }
    std::string configDirectory() override { return configFolder; }
    ScreenSize screenSize() override { return screen; }
    void randomize() override {}
    double random() override;

private:
    std::string directory_;
    UniformRandom rng_;
};

// The program on a virtual clock.
class VirtualHost : private ClockHost {
public:
    explicit VirtualHost(HeadlessPlatform& platform);

    Program program;

    // Starts the program (title screen, settings, game window) as the real one does.
    void start() { clock_.start(); }
    // Runs one event through the dispatch point, then re-arms the timers.
    bool run(const std::function<void()>& event) { return clock_.run(event); }
    // Moves the clock on by `ms`, firing every timer that falls due, in time order; timers due
    // at the same moment fire in the program's fixed timer order.
    void advance(std::int64_t ms);
    std::int64_t now() override { return now_; }
    // Called after every event, timer ticks included, once the timers are re-armed.
    std::function<void()> onEvent;
    // Timer ticks so far by timer name.
    const std::map<std::string, std::int64_t, std::less<>>& ticks() const { return clock_.ticks(); }

private:
    // The clock itself: virtual time moves only in advance, which wakes the program.
    void wakeAt(std::optional<std::int64_t>) override {}
    bool runEvent(const std::function<bool()>& dispatch, std::int64_t moment) override;
    void eventDone(bool) override;

    std::int64_t now_ = 0;
    ProgramClock clock_;
};

}  // namespace gombocok
