#include "qt/end_signals.h"

#include <fcntl.h>
#include <pthread.h>
#include <time.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <iostream>

#include "qt/qt_host.h"

namespace gombocok {
namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Signals this close after the first are the same request: a logout sends the terminal's SIGHUP
// and the session's SIGTERM together, a service manager may send SIGTERM twice.
constexpr std::int64_t kTogetherNs = 1'000'000'000;

// What the handler may touch: plain integers and lock-free atomics. The pipe lives as long as
// the process, so a handler never writes into a descriptor number that was closed and reused.
int endPipe[2] = {-1, -1};
pthread_t gameThread;
std::atomic<std::int64_t> firstEndAt{0};  // monotonic nanoseconds; 0 before the first request
static_assert(std::atomic<std::int64_t>::is_always_lock_free);

std::int64_t monotonicNs() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return std::max<std::int64_t>(1, std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec);
}

extern "C" void onEndSignal(int signal) {
    const int saved = errno;
    // Handled on the game's thread alone: the save holds the signals there, so one that comes
    // during it waits until the save is done, whichever thread the kernel gave it to.
    if (!pthread_equal(pthread_self(), gameThread)) {
        pthread_kill(gameThread, signal);
        errno = saved;
        return;
    }
    const std::int64_t now = monotonicNs();
    std::int64_t first = 0;
    if (firstEndAt.compare_exchange_strong(first, now)) {
        const char byte = static_cast<char>(signal);
        [[maybe_unused]] const ssize_t written = ::write(endPipe[1], &byte, 1);
    } else if (now - first >= kTogetherNs) {
        // Default action, then the signal again: it is delivered as soon as this handler returns.
        struct sigaction fallback {};
        fallback.sa_handler = SIG_DFL;
        sigemptyset(&fallback.sa_mask);
        sigaction(signal, &fallback, nullptr);
        raise(signal);
    }
    errno = saved;
}

void restoreDefaults() {
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    for (int s : kEndSignals) {
        struct sigaction current {};
        if (sigaction(s, nullptr, &current) == 0 && current.sa_handler == onEndSignal)
            sigaction(s, &fallback, nullptr);
    }
}

}  // namespace

EndSignals::EndSignals(std::function<void()> onEnd, QObject* parent)
    : QObject(parent), onEnd_(std::move(onEnd)) {
    if (endPipe[0] < 0 && ::pipe2(endPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::cerr << "gombocok: no pipe for the end signals; they end the program at once\n";
        endPipe[0] = endPipe[1] = -1;
        return;
    }
    char stale[16];
    while (::read(endPipe[0], stale, sizeof stale) > 0) {
    }
    gameThread = pthread_self();
    firstEndAt = 0;
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
    // Once a request was taken, a signal sent together with it must not end the process while
    // it leaves: the handlers stay, and a later signal still ends it at once.
    if (firstEndAt == 0) restoreDefaults();
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
