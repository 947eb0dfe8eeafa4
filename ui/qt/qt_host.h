// The program on Qt: QTimers stand for the model's timers, every event goes through the one
// dispatch point, and after each event the timers are re-armed and every view is synced.
#pragma once

#include <QCursor>
#include <QObject>
#include <QPixmap>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/program.h"
#include "ui/qt/view.h"

class QTimer;

namespace gombocok {

class QtPlatform;

class QtHost : public QObject {
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
    bool endRequested() const { return endRequested_; }
    // Saves the settings as the program end would, without ending: the session manager asks
    // this before a logout that may still be cancelled.
    void saveSettings();

    void addView(View* view);
    void syncViews();

    // The picture a control names: "design:<name>" from the design pictures built into the
    // program, anything else a file path. Cached per name.
    const QPixmap& pixmap(const std::string& picture);
    // The cursor of a .cur file, with the hot spot the file gives. Cached per path.
    QCursor cursor(const std::string& path);

    // While a modal message box is open no game timer may fire: the timers are held with their
    // remaining time and resume after the answer.
    void holdTimers();
    void resumeTimers();

private:
    // Runs one dispatch, then what follows every event: re-arm, sync, or quit.
    bool deliver(const std::function<bool()>& dispatch);
    void rearm();
    void finish(int code);
    // A picture or cursor file that cannot be loaded: reported on stderr and in a box, exit 1.
    void fail(const std::string& path);
    struct Slot;
    Program& program_;
    QtPlatform& platform_;
    std::vector<View*> views_;
    std::map<const Timer*, std::unique_ptr<Slot>> slots_;
    int held_ = 0;
    std::optional<int> exitCode_;
    bool endRequested_ = false;
};

}  // namespace gombocok
