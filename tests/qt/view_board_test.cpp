// The game window on the offscreen platform with the real Qt platform: what it paints, keys and
// clicks reaching the rules, minimising, closing, repaint economy, and message boxes holding the
// timers and speaking the language of their text.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <set>

#include "base/catalogue.h"
#include "game/board.h"
#include "qt/board_window.h"
#include "tests/support/view_support.h"

namespace gombocok {
namespace {

// Closes the message box that the code under test is about to open, after `inspect` looked at
// the world while it was open.
void answerNextBox(std::function<void()> inspect = {}) {
    QTimer::singleShot(0, [inspect] {
        if (inspect) inspect();
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
}

std::string colourAt(const QImage& img, QPoint p) {
    return img.pixelColor(p).name().toStdString();
}

class BoardView : public ::testing::Test, protected testing::QtProgram {
protected:
    BoardView() : QtProgram(true) {}
    void SetUp() override {
        QApplication::setQuitOnLastWindowClosed(false);
        host.addView(&window);
        host.run([this] { program.show(WindowId::board); });
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
    std::int64_t ticks(const char* name) {
        auto it = host.ticks().find(name);
        return it == host.ticks().end() ? std::int64_t{0} : it->second;
    }
    // How many picture pixels differ from what the image shows from `at` on, at `scale`; the
    // picture's black is left out over the background.
    static int differences(const QImage& picture, const QImage& img, QPoint at, int scale = 1) {
        int diff = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb c = picture.pixel(x, y);
                if (std::max({qRed(c), qGreen(c), qBlue(c)}) <= 24) continue;
                for (int d = 0; d < scale * scale; ++d)
                    diff += img.pixel(scale * (at.x() + x) + d % scale,
                                      scale * (at.y() + y) + d / scale) != c;
            }
        return diff;
    }

    BoardWindow window{host};
};

TEST_F(BoardView, PaintsBarsSpritesAndShotsWhereTheModelSaysCrispAtPixelRatioTwo) {
    QImage img = shot();
    const QPoint panel = child<QWidget>("statusPanel")->pos();
    // The ends of the condition bar (clear of the centred percentage).
    const QPoint barLeft = panel + QPoint(27, 36), barRight = panel + QPoint(114, 36);
    const auto fill = form().allapot.fill;
    EXPECT_EQ(colourAt(img, barLeft), QColor(fill.r, fill.g, fill.b).name().toStdString());
    EXPECT_EQ(colourAt(img, barRight), colourAt(img, barLeft));
    const QImage ufo =
        platform.pixmap(form().ellen[0].picture).toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(ufo.isNull());
    EXPECT_GT(differences(ufo, img, fieldPixel(3000, 1500)), 0);

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
    EXPECT_EQ(differences(ufo, img, fieldPixel(3000, 1500)), 0);
    EXPECT_EQ(colourAt(img, fieldPixel(1600, 4500)), "#008000");
    EXPECT_EQ(colourAt(img, fieldPixel(4600, 600)), "#c00000");
    // Hidden shots are not drawn: where lov3 was designed there is something else.
    EXPECT_NE(colourAt(img, fieldPixel(5900, 840)), "#ffff00");

    // At pixel ratio 2 every picture pixel becomes a 2 by 2 block of exactly its colour.
    QImage sharp(window.field()->size() * 2, QImage::Format_RGB32);
    sharp.setDevicePixelRatio(2);
    window.field()->render(&sharp);
    EXPECT_EQ(differences(ufo, sharp, {200, 100}, 2), 0);

    // The UFO moves with the model and leaves no trace behind.
    change([](BoardForm& f) {
        f.ellen[0].Left = 4500;
        f.lov3.visible = true;
        f.lov3.X1 = 5760;
        f.lov3.X2 = 5960;
        f.lov3.Y1 = f.lov3.Y2 = 840;
    });
    img = shot();
    EXPECT_EQ(differences(ufo, img, fieldPixel(4500, 1500)), 0);
    EXPECT_GT(differences(ufo, img, fieldPixel(3000, 1500)), 0);
    EXPECT_EQ(colourAt(img, fieldPixel(5900, 840)), "#ffff00");
}

TEST_F(BoardView, KeysOnTheFieldReachTheSpacecraftAndItTakesTheFocusBackFromAButton) {
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
    child<QPushButton>("szunet")->click();
    EXPECT_EQ(form().focus, &form().szunet);
    change([](BoardForm& f) { f.focus = &f.urhajo; });
    window.activateWindow();
    QApplication::processEvents();
    EXPECT_TRUE(window.field()->hasFocus());
}

// Minimising the window pauses a game in play through the Pause button's rule; before Start it
// changes nothing, and back in front the game stays paused.
TEST_F(BoardView, MinimisingAGameInPlayPausesIt) {
    host.run([this] { program.vars.programnyelv = "magyar"; });
    for (bool started : {false, true}) {
        if (started) host.run([this] { program.boardRules()->indit_Click(); });
        window.showMinimized();
        QApplication::processEvents();
        EXPECT_EQ(program.vars.szunetel, started);
        EXPECT_EQ(child<QPushButton>("szunet")->text().toStdString(),
                  (started ? text::continueButton : text::pauseButton).hu);
        window.showNormal();
        QApplication::processEvents();
    }
    EXPECT_TRUE(program.vars.szunetel);
    EXPECT_EQ(program.refusedEvents(), 0);
}

// Records which labels of the window paint.
class PaintCounter : public QObject {
public:
    std::set<std::string> painted;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted.insert(o->objectName().toStdString());
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
    const std::pair<std::function<void(BoardForm&)>, std::set<std::string>> steps[] = {
        {[](BoardForm& f) {
             f.mundb.caption = "199";
             f.municio.Width -= 150;
         },
         {"mundb"}},
        // The caption above the clock reaches a pixel into its box.
        {[](BoardForm& f) { f.ido.caption = "00:01"; }, {"ido", "timeCaption"}},
        {[](BoardForm&) {}, {}},
    };
    for (const auto& [edit, expected] : steps) {
        counter.painted.clear();
        change(edit);
        settle();
        EXPECT_EQ(counter.painted, expected);
    }
}

TEST_F(BoardView, AMissingPictureIsReportedAndEndsWithAnError) {
    answerNextBox();
    ::testing::internal::CaptureStderr();
    host.run([this] { platform.loadPicture(dir.file("nincs_ilyen.gif")); });
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("nincs_ilyen.gif"), std::string::npos);
    EXPECT_EQ(host.exitCode(), 1);
    EXPECT_FALSE(host.run([] {}));
}

// No game timer ticks while a box is open; a timer started by the event after the answer counts
// from the answer, not from the event's arrival (that would come out as a burst of ticks).
TEST_F(BoardView, TimersAreHeldWhileAMessageBoxIsOpen) {
    change([](BoardForm& f) { f.hatterhez.setInterval(100); });
    auto ticksDuring = [&](const char* name, int ms) {
        const auto before = ticks(name);
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 5);
        return ticks(name) - before;
    };
    EXPECT_GE(ticksDuring("hatterhez", 450), 2);
    std::int64_t duringBox = -1;
    answerNextBox([&] { duringBox = ticksDuring("hatterhez", 350); });
    MsgAnswer answer = MsgAnswer::yes;
    host.run([&] {
        answer =
            platform.messageBox("Új játék?\rIgen vagy nem", std::string(text::gameName.hu),
                                MsgIcon::exclamation, MsgButtons::yesNo, MsgLanguage::hungarian);
        form().idozit.setInterval(100);
    });
    EXPECT_EQ(duringBox, 0);
    EXPECT_EQ(answer, MsgAnswer::no);  // a Yes/No box closed without a choice says no
    EXPECT_EQ(ticksDuring("idozit", 50), 0);
    EXPECT_GE(ticksDuring("hatterhez", 400), 2);
    EXPECT_GE(ticks("idozit"), 1);
    EXPECT_EQ(program.refusedEvents(), 0);
}

// A box's buttons speak the language of its text, which may differ from the captions' (the loss
// question is English under "hungarian"); afterwards Qt's texts follow the captions again.
TEST_F(BoardView, MessageBoxButtonsSpeakTheLanguageOfTheirText) {
    ASSERT_TRUE(platform.translations().hungarianFound());
    const struct {
        const char* programnyelv;
        bool hungarianCaptions;
        MsgLanguage box;
        MsgButtons buttons;
        QStringList texts;
    } cases[] = {
        {"magyar", true, MsgLanguage::hungarian, MsgButtons::yesNo, {"Igen", "Nem"}},
        {"hungarian", true, MsgLanguage::english, MsgButtons::yesNo, {"No", "Yes"}},
        {"angol", false, MsgLanguage::hungarian, MsgButtons::yesNo, {"Igen", "Nem"}},
        {"hungarian", true, MsgLanguage::english, MsgButtons::ok, {"OK"}},
    };
    for (const auto& c : cases) {
        host.run([&] { program.vars.programnyelv = c.programnyelv; });
        QStringList texts;
        answerNextBox([&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                for (QAbstractButton* b : box->buttons()) texts << b->text().remove(u'&');
        });
        host.run([&] {
            platform.messageBox("?", std::string(text::gameName.hu), MsgIcon::exclamation,
                                c.buttons, c.box);
        });
        texts.sort();
        EXPECT_EQ(texts, c.texts) << c.programnyelv;
        EXPECT_EQ(platform.translations().hungarian(), c.hungarianCaptions) << c.programnyelv;
    }
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
