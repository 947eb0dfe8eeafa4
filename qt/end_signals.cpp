#include "qt/end_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <iostream>

#include "qt/qt_host.h"

namespace gombocok {
namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};

// What the handler may touch: plain integers, and one lock-free atomic. Two end signals may be
// handled at once on two threads (each thread blocks only the signal it is handling), so the
// first is told from the second by one exchange, not by a read and a write.
int endPipe[2] = {-1, -1};
std::atomic<int> endRequested{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void onEndSignal(int signal) {
    if (endRequested.exchange(signal) != 0) {
        // Default action, then the signal again: it is delivered as soon as this handler returns.
        struct sigaction fallback {};
        fallback.sa_handler = SIG_DFL;
        sigemptyset(&fallback.sa_mask);
        sigaction(signal, &fallback, nullptr);
        raise(signal);
        return;
    }
    const int saved = errno;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(endPipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

EndSignals::EndSignals(std::function<void()> onEnd, QObject* parent)
    : QObject(parent), onEnd_(std::move(onEnd)) {
    endRequested = 0;
    if (::pipe2(endPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::cerr << "gombocok: no pipe for the end signals; they end the program at once\n";
        endPipe[0] = endPipe[1] = -1;
        return;
    }
    notifier_ = new QSocketNotifier(endPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { drain(); });
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    for (int s : kEndSignals) sigaddset(&action.sa_mask, s);
    action.sa_flags = SA_RESTART;
    for (int s : kEndSignals) {
        struct sigaction old {};
        if (sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        sigaction(s, &action, nullptr);
    }
}

EndSignals::~EndSignals() {
    if (endPipe[0] < 0) return;
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    for (int s : kEndSignals) {
        struct sigaction current {};
        if (sigaction(s, nullptr, &current) == 0 && current.sa_handler == onEndSignal)
            sigaction(s, &fallback, nullptr);
    }
    ::close(endPipe[0]);
    ::close(endPipe[1]);
    endPipe[0] = endPipe[1] = -1;
}

void endWithTheSession(QGuiApplication& app, QtHost& host) {
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &host,
                     [&host](QSessionManager&) { host.saveSettings(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &host, [&host] { host.requestEnd(); });
}

void EndSignals::drain() {
    char bytes[16];
    bool any = false;
    while (::read(endPipe[0], bytes, sizeof bytes) > 0) any = true;
    if (any && onEnd_) onEnd_();
}

}  // namespace gombocok
