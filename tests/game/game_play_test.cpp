// The player's shot, the formation, UFO fire, hits on the spacecraft and collisions.
#include <gtest/gtest.h>

#include <set>

#include "tests/game/game_fixture.h"

namespace gombocok {
namespace {

using testing::Game;

// Puts the shot so that the next tick of its timer samples the point (x, y).
void shotWillBeAt(Game& g, float x, float y) {
    Line& lov = g.f().lov;
    lov.X1 = x - g.v().lovesseb;
    lov.X2 = lov.X1 + 200;
    lov.Y1 = lov.Y2 = y;
    lov.visible = true;
}

void shotTick(Game& g) {
    g.run([](Board& b) { b.loveshez_Timer(); });
}

// Puts a UFO shot so that the next UFO-shot tick samples the point (x, y).
void ufoShotWillBeAt(Game& g, Line& shot, float x, float y) {
    shot.X1 = x + g.v().lovesseb;
    shot.X2 = shot.X1 + 200;
    shot.Y1 = shot.Y2 = y;
    shot.visible = true;
}

void ufoShotTick(Game& g) {
    g.run([](Board& b) { b.ufoloveshez_Timer(); });
}

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
        SCOPED_TRACE(std::to_string(c.kind) + ": " + std::to_string(c.x) + "," +
                     std::to_string(c.y));
        Game g;
        g.reachLevel(c.kind == ufoShot ? 2 : 1);
        g.v().hanghatas = true;
        if (c.kind == shot) {
            shotWillBeAt(g, c.x, c.y);
            shotTick(g);
            EXPECT_TRUE(g.f().lov.visible);  // the shot flies on
        } else if (c.kind == ufoShot) {
            ufoShotWillBeAt(g, g.f().lov2, c.x, c.y);
            ufoShotTick(g);
            EXPECT_EQ(g.f().lov2.visible, !c.hit);
            EXPECT_EQ(g.v().urhajolepes, c.hit ? 59 : 60);
        } else {
            g.f().ellen[1].Left = c.x + 10;
            g.f().ellen[1].Top = c.y;
            g.run([](Board& b) { b.ellenmozg_Timer(); });
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

TEST(PlayerShot, OnePointDestroysTwoOverlappingUfos) {
    Game g;
    g.start();
    g.f().ellen[1].Top = 400;
    shotWillBeAt(g, 6300, 500);
    shotTick(g);
    EXPECT_FALSE(g.f().ellen[0].visible);
    EXPECT_FALSE(g.f().ellen[1].visible);
    EXPECT_EQ(g.v().ufomaradt, 2);
    EXPECT_EQ(g.v().lelottszam, 2);
}

TEST(PlayerShot, FlightSamplesThePointAfterEachStep) {
    Game g;
    g.start();
    g.key(vk::space);
    std::vector<float> points;
    for (int k = 0; k < 3; ++k) {
        g.host.advance(10);
        points.push_back(g.f().lov.X1);
    }
    EXPECT_EQ(points, (std::vector<float>{2010, 2310, 2610}));
    EXPECT_EQ(g.f().lov.X2, 2810);
}

TEST(PlayerShot, RightEndIsAnExactLandingOnly) {
    Game g;
    g.start();
    // 7685 - 200 - 1710 = 5775 = 19.25 steps of 300: the shot steps over the margin.
    g.key(vk::space);
    g.host.advance(300);
    EXPECT_TRUE(g.f().lov.visible);
    EXPECT_EQ(g.f().loveshez.interval(), 10);
    EXPECT_GT(g.f().lov.X2, 7935);
    // A step of 5775 lands exactly on it.
    g.v().lovesseb = 5775;
    g.key(vk::space);
    g.host.advance(10);
    EXPECT_FALSE(g.f().lov.visible);
    EXPECT_EQ(g.f().loveshez.interval(), 0);
    EXPECT_EQ(g.f().lov.X2, 7685);
}

TEST(PlayerShot, ReverseFireEndsPastTheLeftEdgeWithoutHitting) {
    Game g;
    g.start();
    g.key(vk::V);
    g.f().ellen[0].Left = 1000;
    g.f().ellen[0].Top = g.f().urhajo.Top;
    g.key(vk::space);
    g.host.advance(10);  // the first sample, 1410, lies on the UFO
    EXPECT_FALSE(g.f().ellen[0].visible);
    g.host.advance(60);
    EXPECT_FALSE(g.f().lov.visible);
    EXPECT_EQ(g.f().loveshez.interval(), 0);
    EXPECT_LT(g.f().lov.X2, 0);
}

TEST(PlayerShot, NarrowUfoCanBePassedOnceTheStepExceedsItsWidth) {
    Game g;
    g.start();
    g.v().lovesseb = 740;
    // Samples at 1710 + 740 k: 6150 lies before the UFO, 6890 on its excluded right edge.
    g.f().ellen[0].Left = 6155;
    g.f().ellen[0].Top = g.f().urhajo.Top;
    g.key(vk::space);
    g.host.advance(100);
    EXPECT_TRUE(g.f().ellen[0].visible);
    EXPECT_EQ(g.v().ufomaradt, 4);
}

TEST(PlayerShot, LastUfoClearsTheWaveOnce) {
    Game g;
    g.start();
    for (int k = 1; k < 4; ++k) g.f().ellen[k].visible = false;
    g.v().ufomaradt = 1;
    shotWillBeAt(g, 6300, 400);
    shotTick(g);
    EXPECT_EQ(g.v().szint, 2);
    EXPECT_EQ(g.v().lelottszam, 1);
    EXPECT_EQ(g.f().lelott.caption, "1");
    EXPECT_EQ(g.f().elldb.caption, "4");
    EXPECT_FALSE(g.f().lov.visible);
    EXPECT_EQ(g.f().lov.X1, -500);
    EXPECT_EQ(g.f().lov.X2, -300);
    EXPECT_EQ(g.f().ellenmozg.interval(), 970);
    shotTick(g);
    EXPECT_EQ(g.v().szint, 2);
}

TEST(PlayerShot, FromLevelTenOnlyMemberZeroIsTested) {
    Game g;
    g.reachLevel(10);
    Sprite& old = g.f().ellen[2];
    old.visible = true;
    shotWillBeAt(g, old.Left + 10, old.Top + 10);
    shotTick(g);
    EXPECT_TRUE(old.visible);
    EXPECT_EQ(g.v().ufomaradt, 1);
}

TEST(Formation, StepAndIntervalByLevel) {
    struct Case {
        int level;
        float step;
        int interval;
    };
    // From level 13 the step outgrows the interval's formula: the interval stays.
    for (const Case c : {Case{1, 10, 990}, Case{14, 1050, 90}}) {
        Game g;
        g.reachLevel(c.level);
        g.f().urhajo.Top = 6000;  // out of the way
        g.f().ellen[0].Top = 6000;
        const float before = g.f().ellen[0].Left;
        g.host.advance(c.interval - 1);
        EXPECT_EQ(g.f().ellen[0].Left, before) << c.level;
        g.host.advance(1);
        EXPECT_EQ(g.f().ellen[0].Left, before - c.step) << c.level;
    }
}

TEST(Formation, LevelOneNeverFires) {
    Game g;
    g.start();
    g.f().urhajo.Top = 6000;
    g.host.advance(990 * 20);
    EXPECT_FALSE(g.f().lov2.visible);
    EXPECT_EQ(g.f().ufoloveshez.interval(), 0);
    EXPECT_EQ(g.f().ellen[3].Left, 6240 - 200);
}

TEST(Formation, ColumnVolleyFromTheChosenUfosLeftMiddle) {
    Game g;
    g.reachLevel(2);
    g.v().hanghatas = true;
    std::set<int> firers;
    for (int k = 0; k < 40; ++k) {
        g.run([](Board& b) { b.ellenmozg_Timer(); });
        const Sprite& u = g.f().ellen[g.v().lovoufo];
        EXPECT_EQ(g.f().lov2.X1, u.Left - 200);
        EXPECT_EQ(g.f().lov2.X2, u.Left);
        EXPECT_EQ(g.f().lov2.Y1, u.Top + 375);
        EXPECT_TRUE(g.f().lov2.visible);
        EXPECT_FALSE(g.f().lov3.visible);
        firers.insert(g.v().lovoufo);
    }
    EXPECT_EQ(firers, (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(g.f().ufoloveshez.interval(), 20);
    EXPECT_EQ(g.platform.sounds.back(), g.v().hang_ufoloves);
}

TEST(Formation, ShotDownFirerStaysSilent) {
    Game g;
    g.reachLevel(2);
    for (int k = 1; k < 4; ++k) g.f().ellen[k].visible = false;
    g.f().ellen[0].visible = false;
    g.f().ellen[3].visible = true;
    g.v().ufomaradt = 1;
    g.f().lov2.visible = false;
    for (int k = 0; k < 10; ++k) g.run([](Board& b) { b.ellenmozg_Timer(); });
    EXPECT_FALSE(g.f().lov2.visible);
    EXPECT_EQ(g.v().lovoufo, 0);
}

TEST(Formation, SingleUfoPursuesByHalfSteps) {
    Game g;
    g.reachLevel(10);
    Sprite& u = g.f().ellen[0];
    g.f().urhajo.Top = 2535;
    u.Top = 45;
    g.run([](Board& b) { b.ellenmozg_Timer(); });
    EXPECT_EQ(u.Left, 6240 - 550);
    EXPECT_EQ(u.Top, 45 + 275);
    u.Top = 2535;  // exactly level: up
    g.run([](Board& b) { b.ellenmozg_Timer(); });
    EXPECT_EQ(u.Top, 2535 - 275);
    EXPECT_TRUE(g.f().lov2.visible);
    EXPECT_TRUE(g.f().lov3.visible);
    EXPECT_EQ(g.f().lov2.X1, g.f().lov3.X1);
    EXPECT_EQ(g.f().lov2.Y1, g.f().lov3.Y1);
    // Level 14: 1050 gives a half step of 525.
    while (g.v().szint < 14) g.run([](Board& b) { b.szintvalto(); });
    u.Top = 3000;
    g.run([](Board& b) { b.ellenmozg_Timer(); });
    EXPECT_EQ(u.Top, 3000 - 525);
}

TEST(Formation, UfoFarLeftFiresSilently) {
    Game g;
    g.reachLevel(10);
    g.v().hanghatas = true;
    g.f().ellen[0].Left = 750;  // 200 after the step
    g.f().urhajo.Top = 6000;
    g.f().ellen[0].Top = 0;
    g.platform.sounds.clear();
    g.run([](Board& b) { b.ellenmozg_Timer(); });
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
        Game g;
        g.reachLevel(2);
        g.v().serulesszint = c.damageLevel;
        g.v().serules = 10 / c.damageLevel;
        g.v().hanghatas = true;
        g.platform.answers = {MsgAnswer::no};
        g.platform.sounds.clear();
        SCOPED_TRACE(c.damageLevel);
        for (int hit = 1; hit <= c.hitsToEmpty; ++hit) {
            ufoShotWillBeAt(g, g.f().lov2, 1000, 3000);
            ufoShotTick(g);
            if (hit == 1) {
                EXPECT_EQ(g.f().szazalek.caption, c.firstCaption);
            }
            if (hit == c.hitsToEmpty) break;
            const bool half = g.f().allapot.Width <= 720;
            EXPECT_EQ(g.f().allapot.fill, (half ? Rgb{255, 0, 0} : Rgb{0, 255, 0}));
            EXPECT_EQ(g.f().szazalek.foreColor, (half ? Rgb{255, 255, 255} : Rgb{0, 0, 0}));
            EXPECT_TRUE(g.platform.boxes.empty());
            EXPECT_TRUE(g.platform.sounds.empty());
        }
        EXPECT_EQ(g.f().allapot.Width, 0);
        EXPECT_EQ(g.platform.boxes.size(), 1u);
        ASSERT_FALSE(g.platform.sounds.empty());
        EXPECT_EQ(g.platform.sounds.front(), g.v().hang_utkozes);
        EXPECT_EQ(g.v().urhajolepes, 60 - c.hitsToEmpty);
    }
}

TEST(UfoShots, BothShotsHitInOneTick) {
    Game g;
    g.reachLevel(10);
    ufoShotWillBeAt(g, g.f().lov2, 1000, 3000);
    ufoShotWillBeAt(g, g.f().lov3, 1000, 3000);
    // The tick moves lov2 down 100 and lov3 up 200 first.
    g.f().lov2.Y1 = g.f().lov2.Y2 = 2900;
    g.f().lov3.Y1 = g.f().lov3.Y2 = 3200;
    ufoShotTick(g);
    EXPECT_EQ(g.f().allapot.Width, 1440 - 288);
    EXPECT_EQ(g.v().urhajolepes, 320 - 2);
    EXPECT_FALSE(g.f().lov2.visible);
    EXPECT_FALSE(g.f().lov3.visible);
}

TEST(UfoShots, OneVolleyAsksTheLossQuestionOnce) {
    for (MsgAnswer answer : {MsgAnswer::yes, MsgAnswer::no}) {
        Game g;
        g.reachLevel(10);
        g.f().allapot.Width = 100;
        g.platform.answers = {answer};
        ufoShotWillBeAt(g, g.f().lov2, 1000, 2900);
        ufoShotWillBeAt(g, g.f().lov3, 1000, 3200);
        ufoShotTick(g);
        EXPECT_EQ(g.platform.boxes.size(), 1u);
        if (answer == MsgAnswer::yes) {
            EXPECT_EQ(g.v().szint, 1);
            EXPECT_EQ(g.f().allapot.Width, 1440);
            EXPECT_EQ(g.v().urhajolepes, 54);
        } else {
            EXPECT_EQ(g.f().ellenmozg.interval(), 0);
            EXPECT_EQ(g.f().uzenet.caption, "Kevés vagy, ifjú padavan...");
            EXPECT_EQ(g.v().urhajolepes, 319);
        }
    }
}

TEST(UfoShots, InvulnerabilityLetsShotsPass) {
    Game g;
    g.reachLevel(2);
    g.key(vk::G);
    ufoShotWillBeAt(g, g.f().lov2, 1000, 3000);
    g.run([&](Board&) { g.f().ufoloveshez.setInterval(20); });
    ufoShotTick(g);
    EXPECT_TRUE(g.f().lov2.visible);
    EXPECT_EQ(g.f().allapot.Width, 1440);
    EXPECT_EQ(g.v().urhajolepes, 60);
    g.host.advance(100);
    EXPECT_FALSE(g.f().lov2.visible);
    EXPECT_EQ(g.f().ufoloveshez.interval(), 0);
}

TEST(UfoShots, TimerStopsWhenTheShotsHaveLeft) {
    {
        Game g;
        g.reachLevel(6);
        g.f().urhajo.Top = 6000;
        ufoShotWillBeAt(g, g.f().lov2, 100, 1000);
        g.f().ufoloveshez.setInterval(20);
        g.f().lov3.X1 = 5000;
        ufoShotTick(g);
        EXPECT_EQ(g.f().lov2.Y1, 1060);
        EXPECT_EQ(g.f().ufoloveshez.interval(), 20);
        ufoShotTick(g);
        EXPECT_EQ(g.f().ufoloveshez.interval(), 0);
        EXPECT_FALSE(g.f().lov2.visible);
    }
    {
        Game g;
        g.reachLevel(10);
        g.f().urhajo.Top = 6000;
        g.f().ufoloveshez.setInterval(20);
        ufoShotWillBeAt(g, g.f().lov2, -300, 1000);
        ufoShotWillBeAt(g, g.f().lov3, 1500, 1000);
        ufoShotTick(g);
        EXPECT_EQ(g.f().ufoloveshez.interval(), 20);
        EXPECT_EQ(g.f().lov3.Y1, 800);
        ufoShotTick(g);
        ufoShotTick(g);
        EXPECT_EQ(g.f().ufoloveshez.interval(), 20);  // lov3's X2 is 20
        ufoShotTick(g);
        EXPECT_EQ(g.f().ufoloveshez.interval(), 0);
    }
}

TEST(Collision, DamageLeavesColoursAndNeverEndsTheGame) {
    Game g;
    g.start();
    const char* captions[] = {"80%", "60%", "40%"};
    for (int k = 0; k < 3; ++k) {
        Sprite& u = g.f().ellen[k];
        u.Left = 1010;
        u.Top = 2600;
        g.run([](Board& b) { b.ellenmozg_Timer(); });
        EXPECT_EQ(g.f().szazalek.caption, captions[k]);
    }
    EXPECT_EQ(g.f().allapot.fill, (Rgb{0, 255, 0}));
    EXPECT_EQ(g.v().urhajolepes, 50);

    g.v().serules = 2;  // damage level 4: one collision empties the bar
    g.f().ellen[3].Left = 1010;
    g.f().ellen[3].Top = 2600;
    g.run([](Board& b) { b.ellenmozg_Timer(); });
    EXPECT_EQ(g.f().allapot.Width, 0);
    EXPECT_EQ(g.f().szazalek.caption, "0%");
    EXPECT_TRUE(g.platform.boxes.empty());
    EXPECT_EQ(g.v().ufomaradt, 0);
    EXPECT_EQ(g.v().szint, 1);
    EXPECT_EQ(g.f().elldb.caption, "4");
}

TEST(Collision, RammingTheLastUfoClearsTheWaveAtTheNextShotTick) {
    Game g;
    g.start();
    g.key(vk::space);
    g.host.advance(300);  // the shot has stepped over the margin and keeps ticking
    for (int k = 1; k < 4; ++k) g.f().ellen[k].visible = false;
    g.v().ufomaradt = 1;
    g.f().ellen[0].Left = 1010;
    g.f().ellen[0].Top = 2600;
    g.run([](Board& b) { b.ellenmozg_Timer(); });
    EXPECT_EQ(g.v().ufomaradt, 0);
    EXPECT_EQ(g.f().elldb.caption, "4");  // not rewritten by the collision
    g.host.advance(10);
    EXPECT_EQ(g.v().szint, 2);
    EXPECT_EQ(g.v().ufomaradt, 4);
}

TEST(Collision, InvulnerableSpacecraftLeavesUfosInPlay) {
    Game g;
    g.start();
    g.key(vk::G);
    g.f().ellen[0].Left = 1010;
    g.f().ellen[0].Top = 2600;
    g.run([](Board& b) { b.ellenmozg_Timer(); });
    EXPECT_TRUE(g.f().ellen[0].visible);
    EXPECT_EQ(g.f().allapot.Width, 1440);
}

}  // namespace
}  // namespace gombocok
