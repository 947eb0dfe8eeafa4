#include "ui/qt/qt_host.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <iostream>

#include "ui/qt/qt_platform.h"

namespace gombocok {

struct QtHost::Slot {
    explicit Slot(QObject* owner) : timer(*new QTimer(owner)) {}
    // A timer may go while its own timeout runs (its window unloaded): it is deleted later.
    ~Slot() {
        timer.stop();
        timer.deleteLater();
    }
    QTimer& timer;
    std::uint64_t generation = 0;
    int interval = 0;    // the model's interval the QTimer was last armed with
    int remaining = -1;  // while held: time left until the next tick, -1 when it was not running
    std::function<void()> tick;
};

QtHost::QtHost(Program& program, QtPlatform& platform) : program_(program), platform_(platform) {
    platform_.attach(this);
}

QtHost::~QtHost() {
    platform_.attach(nullptr);
}

bool QtHost::run(const std::function<void()>& event) {
    return deliver([&] { return program_.dispatch(event); });
}

void QtHost::start() {
    // Program::start goes through the dispatch point itself.
    deliver([this] {
        program_.start();
        return true;
    });
}

bool QtHost::deliver(const std::function<bool()>& dispatch) {
    if (exitCode_) return false;
    bool ran = false;
    try {
        ran = dispatch();
        // An end asked for while this event held a message box open follows it at once.
        if (endRequested_ && !program_.ended() && !program_.inEvent())
            program_.dispatch([this] { programvege(program_.vars, program_); });
    } catch (const MissingPicture& e) {
        fail(e.path());
        return false;
    }
    if (program_.ended()) {
        finish(0);
        return ran;
    }
    rearm();
    syncViews();
    return ran;
}

void QtHost::requestEnd() {
    if (exitCode_ || program_.ended()) return;
    endRequested_ = true;
    if (program_.inEvent()) {
        platform_.dismissMessageBoxes();
        return;
    }
    run([this] { programvege(program_.vars, program_); });
}

void QtHost::saveSettings() {
    run([this] {
        if (Opciok* rules = program_.opciokRules()) rules->mentes();
    });
}

void QtHost::finish(int code) {
    exitCode_ = code;
    for (auto& [timer, slot] : slots_) slot->timer.stop();
    // The windows mirror the unloaded forms: syncing closes them.
    syncViews();
    // Queued, so that an end reached before the event loop runs still quits it.
    QMetaObject::invokeMethod(
        qApp, [code] { QCoreApplication::exit(code); }, Qt::QueuedConnection);
}

void QtHost::fail(const std::string& path) {
    std::cerr << "gombocok: cannot load picture file: " << path << std::endl;
    for (auto& [timer, slot] : slots_) slot->timer.stop();
    exitCode_ = 1;
    QMessageBox::critical(
        QApplication::activeWindow(), QStringLiteral("Gombócok"),
        QStringLiteral("A képfájl nem tölthető be / Cannot load picture file:\n") +
            QFile::decodeName(QByteArray::fromStdString(path)));
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

void QtHost::rearm() {
    auto bindings = program_.timers();
    // Timers of windows unloaded meanwhile are gone; their slots go with them.
    for (auto it = slots_.begin(); it != slots_.end();) {
        bool listed = false;
        for (const auto& b : bindings) listed = listed || b.timer == it->first;
        it = listed ? std::next(it) : slots_.erase(it);
    }
    for (auto& b : bindings) {
        auto& slot = slots_[b.timer];
        if (!slot) {
            slot = std::make_unique<Slot>(this);
            slot->timer.setTimerType(Qt::PreciseTimer);
            Slot* s = slot.get();
            QObject::connect(&slot->timer, &QTimer::timeout, this, [this, s] {
                // A tick resumed after a hold ran on the remaining time; back to the interval.
                if (s->timer.interval() != s->interval) s->timer.setInterval(s->interval);
                auto tick = s->tick;
                run(tick);
            });
        }
        slot->tick = b.tick;
        const Timer& t = *b.timer;
        if (slot->generation == t.generation() && slot->timer.isActive() == (t.interval() != 0))
            continue;
        slot->generation = t.generation();
        slot->interval = t.interval();
        slot->remaining = -1;
        if (t.interval() == 0 || held_ > 0) {
            slot->timer.stop();
            if (held_ > 0 && t.interval() != 0) slot->remaining = t.interval();
        } else {
            slot->timer.start(t.interval());
        }
    }
}

void QtHost::holdTimers() {
    if (held_++ > 0) return;
    for (auto& [timer, slot] : slots_) {
        slot->remaining = slot->timer.isActive() ? std::max(0, slot->timer.remainingTime()) : -1;
        slot->timer.stop();
    }
}

void QtHost::resumeTimers() {
    if (held_ == 0 || --held_ > 0) return;
    if (exitCode_) return;
    for (auto& [timer, slot] : slots_) {
        if (slot->remaining >= 0) slot->timer.start(slot->remaining);
        slot->remaining = -1;
    }
}

}  // namespace gombocok
