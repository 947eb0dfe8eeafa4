// The program as a whole: the shared variables, the three windows with their rules, loading and
// unloading them, and the one dispatch point through which every event enters.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/forms.h"
#include "base/scheduler.h"
#include "base/shell.h"
#include "base/vars.h"

namespace gombocok {

// The rules of the three windows: a view that calls a handler includes its rules' header.
class Board;
class Opciok;
class Splash;

class Program : public Shell {
public:
    explicit Program(Platform& platform);
    ~Program() override;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Loads the title screen, which loads the options dialog (and with it the settings and the
    // game window), then shows it. Runs as one event.
    void start();

    // The one dispatch point. Runs `event` unless another event is running (a nested event loop
    // under a modal message box) or the program has ended; returns whether it ran. The program
    // end thrown inside it is caught here. A MissingPicture passes through to the host.
    bool dispatch(const std::function<void()>& event);

    bool ended() const { return ended_; }
    bool inEvent() const { return inEvent_; }
    // Events refused because another was running: the host's timers must make this stay 0.
    int refusedEvents() const { return refused_; }

    Vars vars;

    // The windows and their rules without loading them: nullptr while not loaded.
    BoardForm* boardIfLoaded();
    OpciokForm* opciokIfLoaded();
    SplashForm* splashIfLoaded() override;
    Board* boardRules();
    Opciok* opciokRules();
    Splash* splashRules();

    // Every timer of the loaded windows with its handler, in a fixed order: the order in which
    // timers due at the same moment fire.
    using TimerBinding = gombocok::TimerBinding;
    std::vector<TimerBinding> timers();

    // Shell
    Platform& platform() override { return platform_; }
    BoardForm& board() override;
    OpciokForm& opciok() override;
    SplashForm& splash() override;
    void show(WindowId w) override;
    void hide(WindowId w) override;
    void unload(WindowId w) override;

protected:
    void closeForEnd() override;

private:
    // A loaded window: its form and its rules (program.cpp).
    struct LoadedBoard;
    struct LoadedOpciok;
    struct LoadedSplash;

    Window* windowIfLoaded(WindowId w);

    Platform& platform_;
    std::unique_ptr<LoadedBoard> board_;
    std::unique_ptr<LoadedOpciok> opciok_;
    std::unique_ptr<LoadedSplash> splash_;
    // Unloaded windows whose rules may still be on the call stack; released after the event.
    std::vector<std::shared_ptr<void>> retired_;
    bool inEvent_ = false;
    bool ended_ = false;
    int refused_ = 0;
};

}  // namespace gombocok
