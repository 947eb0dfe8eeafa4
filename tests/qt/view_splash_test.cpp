// The title screen on the offscreen platform: the sprite composition with the AND and OR raster
// operations, the labels at their model positions, and the click on the picture.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QTest>

#include "qt/splash_window.h"
#include "tests/qt/view_support.h"

namespace gombocok {
namespace {

const QColor kTitle(0, 0, 200);
const QColor kSprite(255, 40, 0);

class SplashView : public ::testing::Test, protected testing::QtProgram {
protected:
    void SetUp() override {
        host.addView(&window);
        // The animation would redraw the picture under the test: the timers stand still.
        host.run([this] {
            program.show(WindowId::splash);
            program.splash().cimscroll.setInterval(0);
            program.splash().zeneindit.setInterval(0);
        });
    }

    SplashForm& form() { return *program.splashIfLoaded(); }

    // A picture of one colour with an optional square of another at (10, 10), 20 by 20.
    std::string picture(const char* name, QSize size, QColor ground, QColor square) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(ground);
        for (int y = 10; y < 30; ++y)
            for (int x = 10; x < 30; ++x) image.setPixelColor(x, y, square);
        const std::string path = dir.file(name);
        image.save(QString::fromStdString(path));
        return path;
    }

    // A pixel of the title picture as the window shows it.
    QColor shown(int x, int y) {
        const QWidget* p = window.picture();
        const QPixmap shot = window.grab();
        const qreal r = shot.devicePixelRatio();  // logical pixels at any ratio
        return QColor(
            shot.toImage().pixel(qRound((p->x() + 2 + x) * r), qRound((p->y() + 2 + y) * r)));
    }

    SplashWindow window{host};
};

// The mask blackens the sprite's opaque area and keeps the picture elsewhere; the sprite is then
// painted into the black. A mask or sprite applied with the wrong operation shows here.
TEST_F(SplashView, SpritesAreComposedWithAndThenOr) {
    const std::string title = picture("title.png", {550, 413}, kTitle, kTitle);
    const std::string mask = picture("mask.png", {49, 50}, Qt::white, Qt::black);
    const std::string sprite = picture("sprite.png", {49, 50}, Qt::black, kSprite);
    host.run([&] {
        form().hkep.picture = title;
        form().hkepDrawing = {{mask, 400, 340, 49, 50, Blit::Op::srcAnd},
                              {sprite, 400, 340, 49, 50, Blit::Op::srcPaint}};
    });
    const struct {
        int x, y;
        QColor expected;
        const char* where;
    } pixels[] = {
        {420, 360, kSprite, "opaque area of the sprite"},
        {410, 350, kSprite, "opaque corner"},
        {402, 342, kTitle, "transparent area of the sprite"},
        {448, 389, kTitle, "last pixel of the block"},
        {449, 390, kTitle, "outside the block"},
        {100, 100, kTitle, "far from the sprite"},
    };
    for (const auto& p : pixels) EXPECT_EQ(shown(p.x, p.y), p.expected) << p.where;

    // Cleared back to its own picture, the title shows no trace of the sprite.
    host.run([&] { form().hkepDrawing.clear(); });
    EXPECT_EQ(shown(420, 360), kTitle);
}

TEST_F(SplashView, LabelsStandWhereTheModelPutsThem) {
    EXPECT_LT(window.title()->geometry().bottom(), 0);  // above the top edge at the start
    EXPECT_GT(window.credit()->geometry().top(), window.height());
    host.run([&] {
        form().cim.Top = 100;
        form().cim.visible = true;
        form().szerzo.Top = 5300;
    });
    EXPECT_EQ(window.title()->y(), 7);
    EXPECT_EQ(window.credit()->y(), 353);
    EXPECT_TRUE(window.title()->isVisible());
    EXPECT_EQ(window.title()->text(), QString::fromStdString(form().cim.caption));
    for (QLabel* l : {window.title(), window.credit()}) {
        EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
        EXPECT_TRUE(window.rect().contains(l->geometry())) << l->text().toStdString();
    }
}

TEST_F(SplashView, ClickOnThePictureMovesOnToTheGame) {
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    host.run([&] {
        form().cim.Top = 100;
        form().cim.visible = true;
    });
    // A click on the title, which lies over the picture, is a click on the picture.
    const QPoint onTitle = window.title()->geometry().center();
    ASSERT_EQ(window.childAt(onTitle), window.picture());
    QTest::mouseClick(window.picture(), Qt::LeftButton, {},
                      window.picture()->mapFrom(&window, onTitle));
    EXPECT_FALSE(window.isVisible());
    ASSERT_NE(program.boardIfLoaded(), nullptr);
    EXPECT_TRUE(program.boardIfLoaded()->window.visible);
}

}  // namespace
}  // namespace gombocok
