#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "game/board.h"
#include "program/program.h"
#include "qt/board_window.h"
#include "qt/qt_host.h"
#include "qt/qt_platform.h"
#include "tests/qt/view_support.h"
#include "tests/test_support.h"

namespace gombocok {
namespace {

using testing::DirPlatform;

// Closes the message box that the code under test is about to open, after `inspect` looked at
// the world while it was open.
void answerNextBox(std::function<void()> inspect = {}) {
    QTimer::singleShot(0, [inspect] {
        if (inspect) inspect();
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
}

// The host ends the application's event loop through a queued call when the program ends. The
// tests run no such loop: the call is taken here, or it would end the nested loop of the next
// test's message box (and every one after it) at once.
void takeTheQueuedQuit() {
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(0); });
    guard.start(2000);
    QCoreApplication::exec();
}

std::string colourAt(const QImage& img, QPoint p) {
    return img.pixelColor(p).name().toStdString();
}

class BoardView : public ::testing::Test {
protected:
    void SetUp() override {
        QApplication::setQuitOnLastWindowClosed(false);
        host.addView(&window);
        host.run([this] {
            program.board();
            program.show(WindowId::board);
        });
    }
    void TearDown() override {
        // A program end queues the application's exit, which would make every later event loop
        // (a message box's) return at once: it is spent here, in a loop of its own.
        QApplication::processEvents();
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QApplication::exec();
    }
    BoardForm& form() { return *program.boardIfLoaded(); }
    // Runs a change of the model as one event, as a handler would make it.
    void change(const std::function<void(BoardForm&)>& edit) {
        host.run([&] { edit(form()); });
    }
    QImage shot() { return window.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QPoint fieldPixel(float x, float y) {
        return window.field()->geometry().topLeft() +
               QPoint(static_cast<int>(x / 15), static_cast<int>(y / 15));
    }
    template <class W>
    W* child(const char* name) {
        return window.findChild<W*>(QString::fromLatin1(name));
    }

    testing::TempProgramDir dir;
    DirPlatform platform{dir.path()};
    Program program{platform};
    QtHost host{program, platform};
    BoardWindow window{host};
};

TEST_F(BoardView, PaintsBarsSpritesAndShotsWhereTheModelSays) {
    QImage img = shot();
    const QRect panel = child<QWidget>("Frame1")->geometry();
    // Left end of the condition bar (clear of the centred percentage).
    const QPoint barLeft = panel.topLeft() + QPoint(24 + 3, 33 + 3);
    const QPoint barRight = panel.topLeft() + QPoint(24 + 90, 33 + 3);
    const std::string full =
        QColor(form().allapot.fill.r, form().allapot.fill.g, form().allapot.fill.b)
            .name()
            .toStdString();
    EXPECT_EQ(colourAt(img, barLeft), full);
    EXPECT_EQ(colourAt(img, barRight), full);

    const QImage ufo =
        platform.pixmap(form().ellen[0].picture).toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(ufo.isNull());
    // Whether the field shows the UFO picture exactly, pixel for pixel, at (left, top) twips.
    auto showsUfoAt = [&](const QImage& img, float left, float top) {
        const QPoint at = fieldPixel(left, top);
        const QImage part = img.copy(QRect(at, ufo.size()));
        int diff = 0;
        int shown = 0;
        // The picture's black is left out over the background; every other pixel shows as is.
        for (int y = 0; y < ufo.height(); ++y)
            for (int x = 0; x < ufo.width(); ++x) {
                const QRgb c = ufo.pixel(x, y);
                if (std::max({qRed(c), qGreen(c), qBlue(c)}) <= 24) continue;
                ++shown;
                diff += part.pixel(x, y) != ufo.pixel(x, y);
            }
        return shown > 0 && diff == 0;
    };
    ASSERT_FALSE(showsUfoAt(img, 3000, 1500));

    change([](BoardForm& f) {
        f.allapot.Width = 720;
        f.allapot.fill = {255, 0, 0};
        f.ellen[0].visible = true;
        f.ellen[0].Left = 3000;
        f.ellen[0].Top = 1500;
        f.lov.visible = true;
        f.lov.X1 = 1500;
        f.lov.X2 = 1700;
        f.lov.Y1 = f.lov.Y2 = 4500;
        f.lov2.visible = true;
        f.lov2.X1 = 4500;
        f.lov2.X2 = 4700;
        f.lov2.Y1 = f.lov2.Y2 = 600;
        f.lov3.visible = false;
    });
    img = shot();
    EXPECT_EQ(colourAt(img, barLeft), "#ff0000");
    EXPECT_EQ(colourAt(img, barRight), "#808080");  // the trough shows
    EXPECT_TRUE(showsUfoAt(img, 3000, 1500));
    EXPECT_EQ(colourAt(img, fieldPixel(1600, 4500)), "#008000");
    EXPECT_EQ(colourAt(img, fieldPixel(4600, 600)), "#c00000");
    // Hidden shots are not drawn: where lov3 was designed there is something else.
    EXPECT_NE(colourAt(img, fieldPixel(5900, 840)), "#ffff00");

    // The UFO moves with the model and leaves no trace behind.
    change([](BoardForm& f) {
        f.ellen[0].Left = 4500;
        f.lov3.visible = true;
        f.lov3.X1 = 5760;
        f.lov3.X2 = 5960;
        f.lov3.Y1 = f.lov3.Y2 = 840;
    });
    img = shot();
    EXPECT_TRUE(showsUfoAt(img, 4500, 1500));
    EXPECT_FALSE(showsUfoAt(img, 3000, 1500));
    EXPECT_EQ(colourAt(img, fieldPixel(5900, 840)), "#ffff00");
}

TEST_F(BoardView, PicturesStayCrispAtPixelRatioTwo) {
    change([](BoardForm& f) {
        f.ellen[0].visible = true;
        f.ellen[0].Left = 3000;
        f.ellen[0].Top = 1500;
    });
    QImage img(window.field()->size() * 2, QImage::Format_RGB32);
    img.setDevicePixelRatio(2);
    window.field()->render(&img);
    const QImage ufo =
        platform.pixmap(form().ellen[0].picture).toImage().convertToFormat(QImage::Format_RGB32);
    // Every picture pixel becomes a 2 by 2 block of exactly its colour: no blur at the edges.
    int blurred = 0;
    for (int y = 0; y < ufo.height(); ++y)
        for (int x = 0; x < ufo.width(); ++x) {
            const QRgb c = ufo.pixel(x, y);
            if (std::max({qRed(c), qGreen(c), qBlue(c)}) <= 24) continue;  // left out over the sky
            for (int d = 0; d < 4; ++d)
                blurred +=
                    img.pixel(2 * (200 + x) + d % 2, 2 * (100 + y) + d / 2) != ufo.pixel(x, y);
        }
    EXPECT_EQ(blurred, 0);
}

// Real key presses on the field reach the spacecraft's rules; keys it does not know do nothing.
TEST_F(BoardView, KeysOnTheFieldReachTheSpacecraft) {
    child<QPushButton>("indit")->click();
    const struct {
        Qt::Key key;
        float top;
        const char* ammo;
        bool cheat;
    } presses[] = {
        {Qt::Key_Down, 50, "200", false}, {Qt::Key_Up, 0, "200", false},
        {Qt::Key_Space, 0, "199", false}, {Qt::Key_Left, 0, "199", false},
        {Qt::Key_5, 0, "199", false},     {Qt::Key_G, 0, "199", true},
    };
    const float start = form().urhajo.Top;
    for (const auto& p : presses) {
        QTest::keyClick(window.field(), p.key);
        EXPECT_EQ(form().urhajo.Top - start, p.top) << p.key;
        EXPECT_EQ(form().mundb.caption, p.ammo) << p.key;
        EXPECT_EQ(form().cheatbox.visible, p.cheat) << p.key;
    }
}

TEST_F(BoardView, ClickingAButtonGivesItTheFocusAndTheSpacecraftTakesItBack) {
    change([](BoardForm& f) { f.szunet.enabled = true; });
    child<QPushButton>("szunet")->click();
    EXPECT_EQ(form().focus, &form().szunet);

    change([](BoardForm& f) { f.focus = &f.urhajo; });
    window.activateWindow();
    QApplication::processEvents();
    EXPECT_TRUE(window.field()->hasFocus());

    // A disabled button does not take a click.
    change([](BoardForm& f) { f.kilepes.enabled = false; });
    child<QPushButton>("kilepes")->click();
    EXPECT_EQ(form().focus, &form().urhajo);
}

// Minimising the window pauses a game in play through the Pause button's rule; before Start,
// or once paused, it changes nothing.
TEST_F(BoardView, MinimisingAGameInPlayPausesIt) {
    host.run([this] { program.vars.programnyelv = "magyar"; });
    auto activeTimers = [this] {
        int n = 0;
        for (const auto& b : program.timers()) n += b.timer->interval() != 0;
        return n;
    };
    QPushButton* pause = child<QPushButton>("szunet");
    for (bool started : {false, true}) {
        SCOPED_TRACE(started ? "in play" : "before Start");
        if (started) host.run([this] { program.boardRules()->indit_Click(); });
        window.showMinimized();
        QApplication::processEvents();
        EXPECT_EQ(program.vars.szunetel, started);
        EXPECT_EQ(pause->text().toStdString(), started ? "Tovább" : "Szünet");
        if (started) {
            EXPECT_EQ(activeTimers(), 0);
        }
        window.showNormal();
        QApplication::processEvents();
    }
    // Back in front the game stays paused until the player goes on with the button.
    EXPECT_TRUE(program.vars.szunetel);
    pause->click();
    EXPECT_FALSE(program.vars.szunetel);
    EXPECT_EQ(pause->text().toStdString(), "Szünet");
    EXPECT_EQ(activeTimers(), 3);  // formation, clock, background
    EXPECT_EQ(program.refusedEvents(), 0);
}

TEST_F(BoardView, ClosingByTheFrameEndsTheProgramThroughItsRules) {
    window.close();
    EXPECT_TRUE(program.ended());
    EXPECT_EQ(host.exitCode(), 0);
    EXPECT_FALSE(window.isVisible());
    // Nothing runs after the end.
    EXPECT_FALSE(host.run([] {}));
    takeTheQueuedQuit();
}

// Counts the paint events of every label of the window.
class PaintCounter : public QObject {
public:
    std::map<std::string, int> painted;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++painted[o->objectName().toStdString()];
        return false;
    }
};

TEST_F(BoardView, AShotRepaintsOnlyWhatItChanged) {
    auto settle = [] {
        for (int k = 0; k < 5; ++k) QApplication::processEvents();
    };
    settle();
    PaintCounter counter;
    for (QLabel* l : window.findChildren<QLabel*>()) l->installEventFilter(&counter);
    // A shot takes a round and shortens the ammunition bar; the clock ticks on its own.
    const std::vector<std::pair<std::function<void(BoardForm&)>, std::set<std::string>>> steps = {
        {[](BoardForm& f) {
             f.mundb.caption = "199";
             f.municio.Width -= 150;
         },
         {"mundb"}},
        // The caption above the clock reaches a pixel into its box.
        {[](BoardForm& f) { f.ido.caption = "00:01"; }, {"ido", "Label3"}},
        {[](BoardForm&) {}, {}},
    };
    for (const auto& [edit, expected] : steps) {
        counter.painted.clear();
        change(edit);
        settle();
        std::set<std::string> painted;
        for (const auto& [name, n] : counter.painted) painted.insert(name);
        EXPECT_EQ(painted, expected);
    }
}

TEST_F(BoardView, TimersAreHeldWhileAMessageBoxIsOpen) {
    auto ticks = [this](const char* name) {
        auto it = host.ticks().find(name);
        return it == host.ticks().end() ? std::int64_t{0} : it->second;
    };
    // Runs the event loop for `ms` and says how often `name` ticked meanwhile.
    auto ticksDuring = [&](const char* name, int ms) {
        const auto before = ticks(name);
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 5);
        return ticks(name) - before;
    };
    change([](BoardForm& f) {
        f.idozit.setInterval(1000);
        f.hatterhez.setInterval(100);
    });
    EXPECT_GE(ticksDuring("hatterhez", 450), 2);
    std::int64_t duringBox = -1;
    float leftDuringBox = 0;
    answerNextBox([&] {
        const float left = form().jhatter.Left;
        duringBox = ticksDuring("hatterhez", 350);
        leftDuringBox = form().jhatter.Left - left;
    });
    MsgAnswer answer = MsgAnswer::yes;
    host.run([&] {
        answer = platform.messageBox("Új játék?\rIgen vagy nem", "Gombócok", MsgIcon::exclamation,
                                     MsgButtons::yesNo, MsgLanguage::hungarian);
    });
    EXPECT_EQ(duringBox, 0);
    EXPECT_EQ(leftDuringBox, 0);
    EXPECT_EQ(answer, MsgAnswer::no);  // a Yes/No box closed without a choice says no
    EXPECT_GE(ticksDuring("hatterhez", 450), 2);
    EXPECT_EQ(program.refusedEvents(), 0);

    change([](BoardForm& f) { f.hatterhez.setInterval(0); });
    EXPECT_EQ(ticksDuring("hatterhez", 250), 0);
}

TEST_F(BoardView, ATimerStartedAfterAnAnswerCountsFromTheAnswer) {
    auto ticks = [this] {
        auto it = host.ticks().find("hatterhez");
        return it == host.ticks().end() ? std::int64_t{0} : it->second;
    };
    // The box stays open for a while; then, as after "new game?", the event starts a timer.
    answerNextBox([] {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 350) QApplication::processEvents(QEventLoop::AllEvents, 5);
    });
    host.run([&] {
        platform.messageBox("Új játék?", "Gombócok", MsgIcon::exclamation, MsgButtons::yesNo,
                            MsgLanguage::hungarian);
        form().hatterhez.setInterval(100);
    });
    const auto before = ticks();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 50) QApplication::processEvents(QEventLoop::AllEvents, 5);
    // Counted from the event's arrival, the 350 ms in the box would come out in a burst of ticks.
    EXPECT_EQ(ticks() - before, 0);
    while (t.elapsed() < 400) QApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_GE(ticks() - before, 1);
}

// A box's buttons speak the language of its text, which may differ from the captions' (the loss
// question is English under "hungarian"); afterwards Qt's texts follow the captions again.
TEST_F(BoardView, MessageBoxButtonsSpeakTheLanguageOfTheirText) {
    ASSERT_TRUE(platform.translations().hungarianFound());
    const struct {
        const char* programnyelv;
        MsgLanguage box;
        MsgButtons buttons;
        QStringList texts;
    } cases[] = {
        {"magyar", MsgLanguage::hungarian, MsgButtons::yesNo, {"Igen", "Nem"}},
        {"hungarian", MsgLanguage::english, MsgButtons::yesNo, {"Yes", "No"}},
        {"english", MsgLanguage::english, MsgButtons::yesNo, {"Yes", "No"}},
        {"angol", MsgLanguage::hungarian, MsgButtons::yesNo, {"Igen", "Nem"}},
        {"hungarian", MsgLanguage::english, MsgButtons::ok, {"OK"}},
        {"magyar", MsgLanguage::hungarian, MsgButtons::ok, {"OK"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.programnyelv);
        host.run([&] { program.vars.programnyelv = c.programnyelv; });
        const bool hungarianCaptions =
            std::string(c.programnyelv) == "magyar" || std::string(c.programnyelv) == "hungarian";
        EXPECT_EQ(platform.translations().hungarian(), hungarianCaptions);
        QStringList texts;
        answerNextBox([&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            for (QAbstractButton* b : box->buttons()) texts << b->text().remove(u'&');
        });
        host.run(
            [&] { platform.messageBox("?", "Gombócok", MsgIcon::exclamation, c.buttons, c.box); });
        texts.sort();
        QStringList expected = c.texts;
        expected.sort();
        EXPECT_EQ(texts, expected);
        EXPECT_EQ(platform.translations().hungarian(), hungarianCaptions);
    }
}

TEST_F(BoardView, AMissingPictureIsReportedAndEndsWithAnError) {
    answerNextBox();
    ::testing::internal::CaptureStderr();
    host.run([this] { platform.loadPicture(dir.file("nincs_ilyen.gif")); });
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("nincs_ilyen.gif"), std::string::npos);
    EXPECT_EQ(host.exitCode(), 1);
    EXPECT_FALSE(host.run([] {}));
    takeTheQueuedQuit();
}

TEST(QtHostStart, RunsTheProgramStartOnceThroughTheDispatchPoint) {
    testing::TempProgramDir dir;
    DirPlatform platform{dir.path()};
    Program program{platform};
    QtHost host{program, platform};
    host.start();
    ASSERT_NE(program.splashIfLoaded(), nullptr);
    EXPECT_TRUE(program.splashIfLoaded()->window.visible);
    EXPECT_EQ(program.refusedEvents(), 0);
    EXPECT_FALSE(host.exitCode().has_value());
}

TEST(QtPlatformFiles, CursorHotSpotComesFromTheFile) {
    auto cur = [](int type, int x, int y) {
        QByteArray b(6 + 16, '\0');
        b[2] = static_cast<char>(type);
        b[4] = 1;
        b[6 + 4] = static_cast<char>(x);
        b[6 + 6] = static_cast<char>(y);
        return b;
    };
    EXPECT_EQ(curHotSpot(cur(2, 5, 9)), QPoint(5, 9));
    EXPECT_EQ(curHotSpot(cur(1, 5, 9)), std::nullopt);  // an icon has no hot spot
    EXPECT_EQ(curHotSpot(cur(2, 5, 9).left(10)), std::nullopt);
}

TEST(QtPlatformSound, NeverBlocksOrFailsWithoutAnAudioDevice) {
    testing::TempProgramDir dir;
    dir.write("csonka.wav", "RIFF\x10\0\0\0WAVEfmt ");
    SoundPlayer sound;
    for (const char* name : {"uloves.wav", "nincs.wav", "csonka.wav", "ufo1.gif", "uloves.wav"})
        EXPECT_NO_THROW(sound.play(dir.file(name))) << name;
}

}  // namespace
}  // namespace gombocok
