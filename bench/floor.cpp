// The floor for the cost of play: a bare Qt program with one window of the game window's size
// that repaints the same small rectangles at the rates of play at level 13 from precise timers,
// and does nothing else. Prints its own CPU share over the given seconds.
//
// usage: gombocok_floor [seconds]
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "base/forms.h"
#include "qt/qt_convert.h"

namespace {

double cpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}
double wallSeconds() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// The sizes of the game window's design, in pixels.
const gombocok::BoardForm kDesign;

// The field: a background picture and what moves on it.
class Field : public QWidget {
public:
    explicit Field(QWidget* parent)
        : QWidget(parent),
          background_(gombocok::px(kDesign.jhatter.Width), gombocok::px(kDesign.jmezo.Height)) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        QPainter p(&background_);
        for (int x = 0; x < background_.width(); x += 8)
            p.fillRect(x, 0, 8, background_.height(), QColor(x % 64, 0, 40 + x % 32));
    }
    int scroll = 0;
    QRect shot{100, 200, 81, 3}, ufoShot1{400, 100, 81, 3}, ufoShot2{400, 300, 81, 3};
    QRect ufo{QPoint(450, 180), gombocok::pxRect(kDesign.ellen[0]).size()};

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawPixmap(0, 0, background_, scroll, 0, width(), height());
        p.fillRect(ufo, QColor(200, 180, 120));
        p.fillRect(
            gombocok::pxRect(kDesign.urhajo).translated(0, 180 - gombocok::px(kDesign.urhajo.Top)),
            QColor(120, 160, 200));
        for (const QRect& r : {shot, ufoShot1, ufoShot2}) p.fillRect(r, Qt::green);
    }

private:
    QPixmap background_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    QWidget window;
    window.setFixedSize(gombocok::px(kDesign.window.Width), gombocok::px(kDesign.window.Height));
    auto* field = new Field(&window);
    field->setGeometry(gombocok::pxRect(kDesign.jmezo));
    auto* clock = new QWidget(&window);
    clock->setGeometry(560, 150, 60, 15);
    window.show();

    auto every = [&](int ms, auto step) {
        auto* t = new QTimer(&window);
        t->setTimerType(Qt::PreciseTimer);
        QObject::connect(t, &QTimer::timeout, step);
        t->start(ms);
    };
    // Moves a rectangle and repaints where it was and where it is.
    auto move = [field](QRect& r, int dx, int wrapFrom, int wrapTo) {
        const QRect old = r;
        r.translate(dx, 0);
        if ((dx > 0 && r.x() > wrapFrom) || (dx < 0 && r.x() < wrapFrom)) r.moveLeft(wrapTo);
        field->update(old);
        field->update(r);
    };
    every(10, [&] { move(field->shot, 80, 520, 114); });
    every(20, [&] {
        move(field->ufoShot1, -80, 40, 450);
        move(field->ufoShot2, -80, 40, 450);
    });
    every(90, [&] { move(field->ufo, -61, 40, 450); });
    every(100, [&] {
        field->scroll = (field->scroll + 7) % 473;
        field->update();
    });
    every(1000, [&] { clock->update(); });

    double cpu0 = 0, wall0 = 0;
    QTimer::singleShot(1000, [&] {
        cpu0 = cpuSeconds();
        wall0 = wallSeconds();
    });
    QTimer::singleShot(1000 + seconds * 1000, [&] {
        const double share = 100 * (cpuSeconds() - cpu0) / (wallSeconds() - wall0);
        std::printf("cpu_floor: %.2f %% (-)\n", share);
        app.quit();
    });
    return app.exec();
}
