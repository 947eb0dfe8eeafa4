#include "qt/qt_host.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <iostream>
#include <limits>

#include "base/catalogue.h"
#include "qt/qt_convert.h"
#include "settings/opciok.h"

namespace gombocok {
namespace {

// Nanoseconds on the monotonic clock: the clock the timerfd and Qt's timers count on.
std::int64_t monotonicNow() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A process that was stopped (suspended, debugged, starved) skips what fell further behind.
constexpr std::int64_t kMaxLagNs = 1'000'000'000;

}  // namespace

QtHost::QtHost(Program& program, QtPlatform& platform)
    : program_(program), platform_(platform), clock_(program, *this, 1'000'000) {
    platform_.attach(this);
    clock_.setMaxLag(kMaxLagNs);
    wakeFd_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (wakeFd_ >= 0) {
        wakeNotifier_ = new QSocketNotifier(wakeFd_, QSocketNotifier::Read, this);
        connect(wakeNotifier_, &QSocketNotifier::activated, this, [this] {
            std::uint64_t expirations;
            while (::read(wakeFd_, &expirations, sizeof expirations) > 0) {
            }
            armedFor_ = -1;
            clock_.wake(monotonicNow());
        });
    } else {
        wakeTimer_ = new QTimer(this);
        wakeTimer_->setSingleShot(true);
        wakeTimer_->setTimerType(Qt::PreciseTimer);
        connect(wakeTimer_, &QTimer::timeout, this, [this] {
            armedFor_ = -1;
            clock_.wake(monotonicNow());
        });
    }
}

QtHost::~QtHost() {
    platform_.attach(nullptr);
    delete wakeNotifier_;
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

bool QtHost::run(const std::function<void()>& event) {
    return clock_.run(event);
}

void QtHost::start() {
    clock_.start();
}

std::int64_t QtHost::now() {
    return monotonicNow();
}

bool QtHost::runEvent(const std::function<bool()>& dispatch, std::int64_t) {
    try {
        const bool ran = dispatch();
        // An end asked for while this event held a message box open follows it at once.
        if (endRequested_ && !program_.ended() && !program_.inEvent())
            program_.dispatch([this] { program_.programvege(); });
        return ran;
    } catch (const MissingPicture& e) {
        fail(e.path());
        return false;
    }
}

void QtHost::eventDone(bool ended) {
    if (ended)
        finish(0);
    else
        syncViews();
}

void QtHost::wakeAt(std::optional<std::int64_t> next) {
    const std::int64_t target = next ? *next : -1;
    if (target == armedFor_) return;
    armedFor_ = target;
    if (wakeFd_ >= 0) {
        itimerspec wake{};  // all zero: disarmed
        if (next) {
            // 0 would disarm: a deadline at the clock's origin is long past anyway.
            const std::int64_t at = std::max<std::int64_t>(*next, 1);
            wake.it_value.tv_sec = at / 1'000'000'000;
            wake.it_value.tv_nsec = at % 1'000'000'000;
        }
        ::timerfd_settime(wakeFd_, TFD_TIMER_ABSTIME, &wake, nullptr);
        return;
    }
    if (!next) {
        wakeTimer_->stop();
        return;
    }
    const std::int64_t left = std::max<std::int64_t>(0, *next - monotonicNow());
    wakeTimer_->start(static_cast<int>(
        std::min<std::int64_t>((left + 999'999) / 1'000'000, std::numeric_limits<int>::max())));
}

void QtHost::requestEnd() {
    if (fatalBox_) {
        // The failure's own exit code stands; the box only stops waiting for a player.
        fatalBox_->done(QMessageBox::Ok);
        return;
    }
    if (exitCode_ || program_.ended()) return;
    endRequested_ = true;
    if (program_.inEvent()) {
        platform_.dismissMessageBoxes();
        return;
    }
    run([this] { program_.programvege(); });
}

void QtHost::saveSettings() {
    run([this] {
        if (Opciok* rules = program_.opciokRules()) rules->mentes();
    });
}

void QtHost::finish(int code) {
    exitCode_ = code;
    clock_.stop();
    // The windows mirror the unloaded forms: syncing closes them.
    syncViews();
    // Queued, so that an end reached before the event loop runs still quits it.
    QMetaObject::invokeMethod(
        qApp, [code] { QCoreApplication::exit(code); }, Qt::QueuedConnection);
}

void QtHost::fail(const std::string& path) {
    std::cerr << "gombocok: cannot load picture file: " << path << std::endl;
    exitCode_ = 1;
    clock_.stop();
    if (!endRequested_) {
        // Before any language is known: the game's Hungarian name, the text in both languages.
        QMessageBox box(QMessageBox::Critical, qs(std::string(text::gameName.hu)),
                        qs(std::string(text::pictureNotLoaded))
                            .arg(QFile::decodeName(QByteArray::fromStdString(path))),
                        QMessageBox::Ok, QApplication::activeWindow());
        fatalBox_ = &box;
        box.exec();
        fatalBox_ = nullptr;
    }
    finish(1);
}

void QtHost::addView(View* view) {
    views_.push_back(view);
}

void QtHost::syncViews() {
    platform_.followInterfaceLanguage(program_.vars.programnyelv);
    for (View* v : views_) v->sync();
}

const QPixmap& QtHost::pixmap(const std::string& picture) {
    return platform_.pixmap(picture);
}

QCursor QtHost::cursor(const std::string& path) {
    return platform_.cursor(path);
}

void QtHost::holdTimers() {
    clock_.hold();
}

void QtHost::resumeTimers() {
    clock_.resume();
}

}  // namespace gombocok
