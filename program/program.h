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
#include "game/board.h"
#include "game/splash.h"
#include "settings/opciok.h"

namespace gombocok {

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
    BoardForm* boardIfLoaded() { return board_ ? &board_->form : nullptr; }
    OpciokForm* opciokIfLoaded() { return opciok_ ? &opciok_->form : nullptr; }
    SplashForm* splashIfLoaded() override { return splash_ ? &splash_->form : nullptr; }
    Board* boardRules() { return board_ ? &board_->rules : nullptr; }
    Opciok* opciokRules() { return opciok_ ? &opciok_->rules : nullptr; }
    Splash* splashRules() { return splash_ ? &splash_->rules : nullptr; }

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

private:
    template <class Form, class Rules>
    struct Loaded {
        Loaded(Vars& v, Shell& s) : rules(v, form, s) {}
        Form form;
        Rules rules;
    };
    using LoadedBoard = Loaded<BoardForm, Board>;
    using LoadedOpciok = Loaded<OpciokForm, Opciok>;
    using LoadedSplash = Loaded<SplashForm, Splash>;

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
