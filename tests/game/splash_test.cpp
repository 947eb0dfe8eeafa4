#include "game/splash.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/settings/settings_fixture.h"

namespace gombocok {
namespace {

using testing::kDefaultSettings;
using testing::Started;
using testing::TempProgramDir;

std::vector<Blit> sprites(int ufoX, int urhajoX) {
    using Op = Blit::Op;
    return {{"design:maszk", ufoX, 340, 49, 50, Op::srcAnd},
            {"design:kep", ufoX, 340, 49, 50, Op::srcPaint},
            {"design:umaszk", urhajoX, 335, 75, 58, Op::srcAnd},
            {"design:ukep", urhajoX, 335, 75, 58, Op::srcPaint}};
}

int jingles(const HeadlessPlatform& platform) {
    return static_cast<int>(
        std::count_if(platform.sounds.begin(), platform.sounds.end(),
                      [](const std::string& s) { return s.ends_with("/prgindit.wav"); }));
}

// The title screen over the other windows, loaded hidden; its title and sprites scroll into
// place and stop.
TEST(Splash, TitleAndSpritesScrollIntoPlaceAndStop) {
    TempProgramDir dir(kDefaultSettings);
    Started p(dir);
    EXPECT_TRUE(p.s().window.visible);
    EXPECT_FALSE(p.o().window.visible || p.b().window.visible);
    EXPECT_EQ(p.s().hkepDrawing, sprites(400, 120));
    EXPECT_EQ(p.s().hkep.cursor, dir.file("handk.cur"));
    EXPECT_EQ(p.s().cim.caption, "Gombócok");
    EXPECT_FALSE(p.s().cim.visible);
    p.host.advance(11 * 20);
    EXPECT_EQ(p.s().cim.Top, 100);
    EXPECT_EQ(p.s().szerzo.Top, 8000 - 11 * 100);
    p.host.advance(16 * 20);
    EXPECT_EQ(p.s().szerzo.Top, 5300);
    EXPECT_EQ(p.s().hkepDrawing, sprites(103, 417));
    p.host.advance(1000);
    EXPECT_EQ(p.host.ticks().at("cimscroll"), 27);
    EXPECT_TRUE(p.s().cim.visible);
    EXPECT_EQ(p.s().cim.Top, 100);
}

// The jingle at the second second, with music on only; the game at the eighteenth.
TEST(Splash, JingleAndMovingOnToTheGame) {
    for (bool music : {true, false}) {
        TempProgramDir dir(music ? kDefaultSettings : "magyar\r\n101\r\n2\r\n200\r\n2\r\n");
        Started p(dir);
        p.host.advance(1999);
        EXPECT_EQ(jingles(p.platform), 0);
        p.host.advance(1);
        EXPECT_EQ(jingles(p.platform), music ? 1 : 0);
        p.host.advance(15999);
        EXPECT_TRUE(p.s().window.visible);
        EXPECT_FALSE(p.b().window.visible);
        p.host.advance(1);
        EXPECT_FALSE(p.s().window.visible);
        EXPECT_TRUE(p.b().window.visible);
        EXPECT_EQ(p.s().zeneindit.interval(), 0);
        EXPECT_EQ(p.v().hang_zene, dir.file("prgindit.wav"));
        p.host.advance(5000);
        EXPECT_EQ(jingles(p.platform), music ? 1 : 0);
        EXPECT_EQ(p.v().zeneido, 18);
    }
}

TEST(Splash, ClickSilencesAndMovesOnAtOnce) {
    TempProgramDir dir(kDefaultSettings);
    Started p(dir);
    p.host.advance(1000);
    p.host.run([&] { p.host.program.splashRules()->hkep_Click(); });
    EXPECT_EQ(p.platform.sounds.back(), dir.file("csend.wav"));
    EXPECT_EQ(p.v().hang_zene, dir.file("urzaj.wav"));
    EXPECT_TRUE(p.b().window.visible);
    p.host.advance(20000);
    EXPECT_EQ(jingles(p.platform), 0);
    EXPECT_EQ(p.v().zeneido, 1);
}

}  // namespace
}  // namespace gombocok
