// The requests from outside to end the program: SIGTERM, SIGINT and SIGHUP. A signal handler
// may do almost nothing, so the first request is written into a pipe and read back by the event
// loop, where the program ends its own way (the settings are saved). Signals within a second of
// the first are the same request (a logout's SIGHUP and SIGTERM save exactly as one signal does);
// a later one, while the first is carried out, ends the process at once, as the signal would have
// by default. Every end signal is handled on the thread that made the EndSignals, the game's
// thread, whose save holds signals: none ends the process in the middle of a save.
#pragma once

#include <QObject>
#include <functional>

class QGuiApplication;
class QSocketNotifier;

namespace gombocok {

class QtHost;

// The desktop session ending: when the session manager asks for the data (a logout that may
// still be cancelled) the settings are saved; when the application is told to quit from outside,
// the program end runs before the event loop is left.
void endWithTheSession(QGuiApplication& app, QtHost& host);

class EndSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; `onEnd` runs in the event loop at the first request. There may be
    // one instance at a time: the handlers share the one pipe. A signal ignored at start (nohup)
    // stays ignored.
    explicit EndSignals(std::function<void()> onEnd, QObject* parent = nullptr);
    // Gives the signals their default actions back, unless a request was taken: then its
    // handlers stay for the rest of the process.
    ~EndSignals() override;

private:
    void drain();
    std::function<void()> onEnd_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace gombocok
