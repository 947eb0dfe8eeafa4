// The program on Qt: the program's clock runs on the monotonic clock with one precise wake-up for
// the deadline it names, every event goes through the one dispatch
// point, and after each event the timers are re-armed and every view is synced.
#pragma once

#include <QCursor>
#include <QObject>
#include <QPixmap>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "program/clock.h"
#include "program/program.h"
#include "qt/qt_platform.h"
#include "qt/view.h"

class QMessageBox;
class QSocketNotifier;
class QTimer;

namespace gombocok {

class QtHost : public QObject, public BoxHost, private ClockHost {
    Q_OBJECT
public:
    QtHost(Program& program, QtPlatform& platform);
    ~QtHost() override;

    Program& program() { return program_; }
    QtPlatform& platform() { return platform_; }

    // Runs one event through the dispatch point, then re-arms the timers and syncs every view.
    // When the event ended the program, the application is asked to quit (exit code 0).
    bool run(const std::function<void()>& event);
    // Starts the program as one event (title screen, settings, game window).
    void start();
    // Set once the program has ended (0) or failed (1): main returns it instead of entering the
    // event loop when the end came before it, and no further event runs.
    std::optional<int> exitCode() const { return exitCode_; }

    // Ends the program the way its own end does (the settings are saved), at a request from
    // outside: a signal, the session ending. While an event holds a message box open, the box is
    // dismissed and the end follows as soon as that event returns. From here on no message box
    // waits for an answer: no one may be there to give it.
    void requestEnd();
    bool endRequested() const override { return endRequested_; }
    // Saves the settings as the program end would, without ending: the session manager asks
    // this before a logout that may still be cancelled.
    void saveSettings();

    void addView(View* view);
    void syncViews() override;

    // The picture a control names: "design:<name>" from the design pictures built into the
    // program, anything else a file path. Cached per name.
    const QPixmap& pixmap(const std::string& picture);
    // The cursor of a .cur file, with the hot spot the file gives. Cached per path.
    QCursor cursor(const std::string& path);

    // While a modal message box is open no game timer may fire: the timers are held with their
    // remaining time and resume after the answer.
    void holdTimers() override;
    void resumeTimers() override;

    // Ticks so far by timer name.
    const std::map<std::string, std::int64_t, std::less<>>& ticks() const { return clock_.ticks(); }

private:
    // ClockHost, in monotonic nanoseconds. An event ends the program early when a request from
    // outside came while it ran, and a picture that cannot be loaded fails it.
    std::int64_t now() override;
    void wakeAt(std::optional<std::int64_t> deadline) override;
    bool runEvent(const std::function<bool()>& dispatch, std::int64_t moment) override;
    void eventDone(bool ended) override;
    void finish(int code);
    // A picture or cursor file that cannot be loaded: reported on stderr and in a box, exit 1.
    // An end asked for from outside closes the box at once.
    void fail(const std::string& path);
    Program& program_;
    QtPlatform& platform_;
    std::vector<View*> views_;
    ProgramClock clock_;
    // The wake-up: a timerfd with an absolute deadline on the monotonic clock, watched by the
    // event loop; where none can be had, a precise QTimer rounded up to the millisecond.
    int wakeFd_ = -1;
    QSocketNotifier* wakeNotifier_ = nullptr;
    QTimer* wakeTimer_ = nullptr;
    std::int64_t armedFor_ = -1;
    std::optional<int> exitCode_;
    bool endRequested_ = false;
    QMessageBox* fatalBox_ = nullptr;  // the failure's box while it is open
};

}  // namespace gombocok
