// The program on Qt: QTimers stand for the model's timers, every event goes through the one
// dispatch point, and after each event the timers are re-armed and every view is synced.
#pragma once

#include <QCursor>
#include <QObject>
#include <QPixmap>
#include <functional>
#include <map>
#include <memory>
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
    void rearm();
    struct Slot;
    Program& program_;
    QtPlatform& platform_;
    std::vector<View*> views_;
    std::map<const Timer*, std::unique_ptr<Slot>> slots_;
    int held_ = 0;
};

}  // namespace gombocok
