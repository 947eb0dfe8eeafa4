// The player's shot, the formation, UFO fire, hits on the spacecraft and collisions.
#include <gtest/gtest.h>

#include <set>

#include "tests/game/game_fixture.h"

namespace gombocok {
namespace {

using testing::Game;

// Every hit test's edges. The player's shot against UFO 0 (Left 6240, Top 45, 735 by 750): its
// right and bottom edges are not the UFO's. A UFO shot against the spacecraft (Left 585, Top
// 2535, 1125 by 870): all its edges are. A UFO against the spacecraft: overlap only; the UFO is
// placed one formation step (10 at level 1) right of where it is tested.
TEST(HitTests, Edges) {
    enum Kind { shot, ufoShot, ram };
    struct Case {
        Kind kind;
        float x, y;
        bool hit;
    };
    const Case cases[] = {
        {shot, 6240, 400, true},      {shot, 6974.5f, 400, true},   {shot, 6975, 400, false},
        {shot, 6239, 400, false},     {shot, 6500, 45, true},       {shot, 6500, 794.5f, true},
        {shot, 6500, 795, false},     {shot, 6500, 44, false},      {ufoShot, 585, 3000, true},
        {ufoShot, 1710, 3000, true},  {ufoShot, 1711, 3000, false}, {ufoShot, 584, 3000, false},
        {ufoShot, 1000, 2535, true},  {ufoShot, 1000, 3405, true},  {ufoShot, 1000, 3406, false},
        {ufoShot, 1000, 2534, false}, {ram, 1710, 2700, true},      {ram, 1711, 2700, false},
        {ram, 586, 2700, true},       {ram, 585, 2700, false},      {ram, 1000, 1785, true},
        {ram, 1000, 1784, false},     {ram, 1000, 3404, true},      {ram, 1000, 3405, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.kind << ": " << c.x << "," << c.y);
        Game g(c.kind == ufoShot ? 2 : 1);
        g.v().hanghatas = true;
        if (c.kind == shot) {
            g.aim(g.f().lov, c.x, c.y);
            g.call(&Board::loveshez_Timer);
            EXPECT_TRUE(g.f().lov.visible);  // the shot flies on
        } else if (c.kind == ufoShot) {
            g.aim(g.f().lov2, c.x, c.y);
            g.call(&Board::ufoloveshez_Timer);
            EXPECT_EQ(g.f().lov2.visible, !c.hit);
            EXPECT_EQ(g.v().urhajolepes, c.hit ? 59 : 60);
        } else {
            g.place(1, c.x + 10, c.y);
            g.call(&Board::ellenmozg_Timer);
            EXPECT_EQ(g.platform.sounds.size(), c.hit ? 1u : 0u);
        }
        const bool downed = c.hit && c.kind != ufoShot;
        EXPECT_EQ(g.f().ellen[c.kind == ram ? 1 : 0].visible, !downed);
        EXPECT_EQ(g.v().ufomaradt, downed ? 3 : 4);
        EXPECT_EQ(g.f().elldb.caption, downed && c.kind == shot ? "3" : "4");
        EXPECT_EQ(g.f().lelott.caption, downed && c.kind == shot ? "1" : "0");
        const float damage[] = {0, 144, 288};
        EXPECT_EQ(g.f().allapot.Width, c.hit ? 1440 - damage[c.kind] : 1440);
    }
}

// 7685 - 200 - 1710 = 5775 = 19.25 steps of 300: the shot steps over the right margin and flies
// on; a step of 5775 lands exactly on it and ends there.
TEST(PlayerShot, FlightStepsAndTheRightEnd) {
    Game g(1);
    g.key(vk::space);
    g.host.advance(30);
    EXPECT_EQ(g.f().lov.X1, 2610);  // three steps from the nose, 1710
    EXPECT_EQ(g.f().lov.X2, 2810);
    g.host.advance(270);
    EXPECT_TRUE(g.f().lov.visible);
    EXPECT_EQ(g.f().loveshez.interval(), 10);
    EXPECT_GT(g.f().lov.X2, 7935);
    g.v().lovesseb = 5775;
    g.key(vk::space);
    g.host.advance(10);
    EXPECT_FALSE(g.f().lov.visible);
    EXPECT_EQ(g.f().loveshez.interval(), 0);
    EXPECT_EQ(g.f().lov.X2, 7685);
}

// One point on two overlapping UFOs destroys both; the last ones clear the wave, once.
TEST(PlayerShot, OnePointDestroysOverlappingUfosAndClearsTheWaveOnce) {
    Game g(1);
    g.f().ellen[1].Top = 400;
    for (int k = 2; k < 4; ++k) g.f().ellen[k].visible = false;
    g.v().ufomaradt = 2;
    g.aim(g.f().lov, 6300, 500);
    g.call(&Board::loveshez_Timer);
    EXPECT_EQ(g.v().szint, 2);
    EXPECT_EQ(g.v().lelottszam, 2);
    EXPECT_EQ(g.f().lelott.caption, "2");
    EXPECT_FALSE(g.f().lov.visible);
    EXPECT_EQ(g.f().ellenmozg.interval(), 970);
    g.call(&Board::loveshez_Timer);
    EXPECT_EQ(g.v().szint, 2);
}

// Samples at 1710 + 740 k: 6150 lies before the UFO, 6890 on its excluded right edge.
TEST(PlayerShot, NarrowUfoPassedByALongStepAndReverseFire) {
    Game g(1);
    g.v().lovesseb = 740;
    g.place(0, 6155, g.f().urhajo.Top);
    g.key(vk::space);
    g.host.advance(100);
    EXPECT_EQ(g.v().ufomaradt, 4);
    // Reverse fire: the first sample, 1410, lies on the UFO; the shot ends past the left edge.
    g.v().lovesseb = 300;
    g.key(vk::V);
    g.place(0, 1000, g.f().urhajo.Top);
    g.key(vk::space);
    g.host.advance(10);
    EXPECT_FALSE(g.f().ellen[0].visible);
    g.host.advance(60);
    EXPECT_FALSE(g.f().lov.visible);
    EXPECT_EQ(g.f().loveshez.interval(), 0);
    EXPECT_LT(g.f().lov.X2, 0);
}

TEST(PlayerShot, FromLevelTenOnlyMemberZeroIsTested) {
    Game g(10);
    Sprite& old = g.f().ellen[2];
    old.visible = true;
    g.aim(g.f().lov, old.Left + 10, old.Top + 10);
    g.call(&Board::loveshez_Timer);
    EXPECT_TRUE(old.visible);
    EXPECT_EQ(g.v().ufomaradt, 1);
}

// From level 13 the step outgrows the interval's formula: the interval stays.
TEST(Formation, StepAndIntervalByLevel) {
    struct Case {
        int level;
        float step;
        int interval;
    };
    for (const Case c : {Case{1, 10, 990}, Case{14, 1050, 90}}) {
        Game g(c.level);
        g.f().urhajo.Top = 6000;  // out of the way
        g.f().ellen[0].Top = 6000;
        const float before = g.f().ellen[0].Left;
        g.host.advance(c.interval - 1);
        EXPECT_EQ(g.f().ellen[0].Left, before) << c.level;
        g.host.advance(1);
        EXPECT_EQ(g.f().ellen[0].Left, before - c.step) << c.level;
        EXPECT_EQ(g.f().lov2.visible, c.level > 1) << "level one never fires";
    }
}

TEST(Formation, ColumnVolleyFromTheChosenUfosLeftMiddle) {
    Game g(2);
    g.v().hanghatas = true;
    std::set<int> firers;
    for (int k = 0; k < 40; ++k) {
        g.call(&Board::ellenmozg_Timer);
        const Sprite& u = g.f().ellen[g.v().lovoufo];
        EXPECT_EQ(g.f().lov2.X1, u.Left - 200);
        EXPECT_EQ(g.f().lov2.Y1, u.Top + 375);
        EXPECT_TRUE(g.f().lov2.visible);
        EXPECT_FALSE(g.f().lov3.visible);
        firers.insert(g.v().lovoufo);
    }
    EXPECT_EQ(firers, (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(g.f().ufoloveshez.interval(), 20);
    EXPECT_EQ(g.platform.sounds.back(), g.v().hang_ufoloves);
    // Only member 3 left: the chosen firer, 0, was shot down and stays silent.
    for (int k = 0; k < 3; ++k) g.f().ellen[k].visible = false;
    g.v().ufomaradt = 1;
    g.f().lov2.visible = false;
    for (int k = 0; k < 10; ++k) g.call(&Board::ellenmozg_Timer);
    EXPECT_FALSE(g.f().lov2.visible);
}

TEST(Formation, SingleUfoPursuesByHalfStepsAndFiresSilentlyFarLeft) {
    Game g(10);
    g.v().hanghatas = true;
    Sprite& u = g.f().ellen[0];
    g.f().urhajo.Top = 2535;
    u.Top = 45;
    g.call(&Board::ellenmozg_Timer);
    EXPECT_EQ(u.Left, 6240 - 550);
    EXPECT_EQ(u.Top, 45 + 275);
    u.Top = 2535;  // exactly level: up
    g.call(&Board::ellenmozg_Timer);
    EXPECT_EQ(u.Top, 2535 - 275);
    EXPECT_TRUE(g.f().lov3.visible);
    EXPECT_EQ(g.f().lov2.X1, g.f().lov3.X1);
    EXPECT_EQ(g.f().lov2.Y1, g.f().lov3.Y1);
    g.platform.sounds.clear();
    g.place(0, 750, 0);  // 200 after the step
    g.call(&Board::ellenmozg_Timer);
    EXPECT_TRUE(g.f().lov2.visible);
    EXPECT_TRUE(g.platform.sounds.empty());
}

TEST(UfoShots, DamageByLevelAndColoursTurningAtHalf) {
    struct Case {
        int damageLevel, hitsToEmpty;
        const char* firstCaption;
    };
    for (const Case& c :
         {Case{1, 10, "90%"}, Case{2, 5, "80%"}, Case{3, 3, "66.66666%"}, Case{4, 2, "50%"},
          Case{5, 2, "50%"}, Case{6, 1, "0%"}, Case{9, 1, "0%"}}) {
        Game g(2);
        g.v().serulesszint = c.damageLevel;
        g.v().serules = 10 / c.damageLevel;
        g.v().hanghatas = true;
        g.platform.answers = {MsgAnswer::no};
        g.platform.sounds.clear();
        for (int hit = 1; hit <= c.hitsToEmpty; ++hit) {
            g.aim(g.f().lov2, 1000, 3000);
            g.call(&Board::ufoloveshez_Timer);
            if (hit == 1) {
                EXPECT_EQ(g.f().szazalek.caption, c.firstCaption);
            }
            if (hit == c.hitsToEmpty) break;
            const bool half = g.f().allapot.Width <= 720;
            EXPECT_EQ(g.f().allapot.fill, (half ? Rgb{255, 0, 0} : Rgb{0, 255, 0}));
            EXPECT_EQ(g.f().szazalek.foreColor, (half ? Rgb{255, 255, 255} : Rgb{0, 0, 0}));
            EXPECT_TRUE(g.platform.boxes.empty() && g.platform.sounds.empty()) << hit;
        }
        EXPECT_EQ(g.f().allapot.Width, 0) << c.damageLevel;
        EXPECT_EQ(g.platform.boxes.size(), 1u);
        ASSERT_FALSE(g.platform.sounds.empty());
        EXPECT_EQ(g.platform.sounds.front(), g.v().hang_utkozes);
        EXPECT_EQ(g.v().urhajolepes, 60 - c.hitsToEmpty);
    }
}

// Both shots hit in one tick (it moves lov2 down 100 and lov3 up 200 first): twice the damage;
// when they empty the bar, one question.
TEST(UfoShots, BothShotsHitInOneTickAndAskOnce) {
    Game g(10);
    for (float width : {1440.0f, 100.0f}) {
        g.f().allapot.Width = width;
        g.platform.answers = {MsgAnswer::no};
        g.aim(g.f().lov2, 1000, 2900);
        g.aim(g.f().lov3, 1000, 3200);
        g.call(&Board::ufoloveshez_Timer);
    }
    EXPECT_EQ(g.platform.boxes.size(), 1u);
    EXPECT_EQ(g.v().urhajolepes, 320 - 3);
}

TEST(UfoShots, InvulnerabilityLetsShotsAndUfosPass) {
    Game g(2);
    g.key(vk::G);
    g.place(1, 1010, 2600);
    g.call(&Board::ellenmozg_Timer);
    EXPECT_TRUE(g.f().ellen[1].visible);
    g.aim(g.f().lov2, 1000, 3000);
    g.call(&Board::ufoloveshez_Timer);
    EXPECT_TRUE(g.f().lov2.visible);
    EXPECT_EQ(g.f().allapot.Width, 1440);
    EXPECT_EQ(g.v().urhajolepes, 60);
    g.host.advance(100);
    EXPECT_FALSE(g.f().lov2.visible);
    EXPECT_EQ(g.f().ufoloveshez.interval(), 0);
}

// lov2 alone leaves at the bottom; with lov3 too the timer runs until both have left.
TEST(UfoShots, TimerStopsWhenTheShotsHaveLeft) {
    struct Case {
        int level;
        float x2, x3;
        int ticks;
    };
    for (const Case& c : {Case{6, 100, 5000, 2}, Case{10, -300, 1500, 4}}) {
        Game g(c.level);
        g.f().urhajo.Top = 6000;
        g.aim(g.f().lov2, c.x2, 1000);
        if (c.level >= 10)
            g.aim(g.f().lov3, c.x3, 1000);
        else
            g.f().lov3.X1 = c.x3;  // out of play: where it lies does not count
        g.f().ufoloveshez.setInterval(20);
        for (int k = 1; k < c.ticks; ++k) g.call(&Board::ufoloveshez_Timer);
        EXPECT_EQ(g.f().ufoloveshez.interval(), 20) << c.level;
        g.call(&Board::ufoloveshez_Timer);
        EXPECT_EQ(g.f().ufoloveshez.interval(), 0) << c.level;
    }
}

// Ramming never ends the game, even with an empty bar; ramming the last UFO clears the wave at
// the next tick of the player's shot.
TEST(Collision, DamageNeverEndsTheGame) {
    Game g(1);
    for (const char* caption : {"80%", "60%", "40%"}) {
        g.place(g.v().ufomaradt - 1, 1010, 2600);
        g.call(&Board::ellenmozg_Timer);
        EXPECT_EQ(g.f().szazalek.caption, caption);
    }
    EXPECT_EQ(g.f().allapot.fill, (Rgb{0, 255, 0}));
    EXPECT_EQ(g.v().urhajolepes, 50);
    g.v().serules = 2;  // damage level 4: one collision empties the bar
    g.key(vk::space);
    g.host.advance(300);  // the shot has stepped over the margin and keeps ticking
    g.place(0, 1010, 2600);
    g.call(&Board::ellenmozg_Timer);
    EXPECT_EQ(g.f().allapot.Width, 0);
    EXPECT_TRUE(g.platform.boxes.empty());
    EXPECT_EQ(g.v().szint, 1);
    EXPECT_EQ(g.f().elldb.caption, "4");  // not rewritten by the collision
    g.host.advance(10);
    EXPECT_EQ(g.v().szint, 2);
}

}  // namespace
}  // namespace gombocok
