// Start-up, new game, the spacecraft's keys and cheats, and the level change.
#include <gtest/gtest.h>

#include <map>

#include "tests/game/game_fixture.h"

namespace gombocok {
namespace {

using testing::Game;

// Before Start the spacecraft's keys do nothing and no timer runs; the window opens in the
// middle of the screen.
TEST(GameStartUp, KeysAndTimersWaitForStart) {
    Game g;
    for (int code : {vk::space, vk::up, vk::A}) g.key(code);
    g.host.advance(5000);
    EXPECT_EQ(g.v().loszer, 200);
    EXPECT_EQ(g.f().urhajo.Top, 2535);
    EXPECT_FALSE(g.f().cheatbox.visible);
    EXPECT_EQ(g.intervals(), std::vector<int>(g.intervals().size(), 0));
    EXPECT_EQ(2 * g.f().window.Left + g.f().window.Width, g.platform.screen.width);
    EXPECT_EQ(2 * g.f().window.Top + g.f().window.Height, g.platform.screen.height);
}

TEST(GameStartUp, StartFormsTheFirstColumnAndStartsPlay) {
    Game g;
    g.v().hatterzene = true;
    g.start();
    BoardForm& f = g.f();
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(f.ellen[k].Top, 45 + 1500 * k);
        EXPECT_EQ(f.ellen[k].Left, 6240);
    }
    EXPECT_EQ(f.hatterhez.interval(), 100);
    EXPECT_FALSE(f.indit.enabled || f.beallit.enabled);
    EXPECT_TRUE(f.szunet.enabled);
    EXPECT_TRUE(f.hasFocus(&f.urhajo));
    EXPECT_EQ(g.platform.sounds, (std::vector<std::string>{g.picture("urzaj.wav")}));
}

TEST(GameStartUp, OptionsPlayTheirMusicOnlyWithMusicOn) {
    for (bool music : {false, true}) {
        Game g;
        g.v().hatterzene = music;
        g.call(&Board::beallit_Click);
        EXPECT_TRUE(g.host.program.opciokIfLoaded()->window.visible);
        EXPECT_EQ(g.platform.sounds, (music ? std::vector<std::string>{g.picture("beallit.wav")}
                                            : std::vector<std::string>{}));
    }
}

// The bar shrinks by each shot's share of the rounds left; the last round empties it, and
// further shots do nothing.
TEST(SpacecraftKeys, AmmunitionBarTheLastRoundAndTheMargins) {
    Game g(1);
    std::vector<float> widths;
    for (int shot = 1; shot <= 124; ++shot) {
        g.key(vk::space);
        widths.push_back(g.f().municio.Width);
    }
    EXPECT_EQ(widths[0], 1432);
    EXPECT_EQ(widths[2], 1416);
    EXPECT_GT(widths[122], 0);
    EXPECT_EQ(widths[123], 0);
    EXPECT_EQ(g.f().mundb.caption, "76");
    g.v().hanghatas = true;
    g.v().loszer = 1;
    g.key(vk::space);
    EXPECT_EQ(g.platform.sounds, (std::vector<std::string>{g.picture("uloves.wav")}));
    EXPECT_EQ(g.f().mundb.caption, "0");
    EXPECT_EQ(g.f().municio.Width, 0);
    g.f().lov.visible = false;
    g.key(vk::space);
    EXPECT_EQ(g.v().loszer, 0);
    EXPECT_FALSE(g.f().lov.visible);
    EXPECT_EQ(g.platform.sounds.size(), 1u);
    // Up and down stop one step beyond the margins.
    for (int k = 0; k < 100; ++k) g.key(vk::up);
    EXPECT_EQ(g.f().urhajo.Top, -15);
    for (int k = 0; k < 200; ++k) g.key(vk::down);
    EXPECT_EQ(g.f().urhajo.Top, 5385);
}

TEST(Cheats, AmmunitionRepairInvulnerabilityAndReverseFire) {
    Game g(1);
    for (int k = 0; k < 30; ++k) g.key(vk::space);
    g.key(vk::A);
    EXPECT_TRUE(g.f().cheatbox.visible);
    EXPECT_EQ(g.f().mundb.caption, "200");
    EXPECT_EQ(g.f().municio.Width, 1440);
    g.f().allapot.Width = 300;
    g.f().allapot.fill = {255, 0, 0};
    g.v().urhajolepes = 40;
    g.key(vk::R);
    EXPECT_EQ(g.f().allapot.Width, 1440);
    EXPECT_EQ(g.f().allapot.fill, (Rgb{0, 255, 0}));
    EXPECT_EQ(g.f().szazalek.caption, "100%");
    EXPECT_EQ(g.v().urhajolepes, 40);
    g.key(vk::G);
    EXPECT_TRUE(g.v().csalas2);
    g.key(vk::V);
    EXPECT_TRUE(g.v().csalas1);
    g.key(vk::V);
    EXPECT_FALSE(g.v().csalas1);
}

// The wave cheat speeds the UFOs up and rebuilds the wave (four, or one from level 10) without
// raising the level.
TEST(Cheats, WaveCheatRebuildsTheWaveWithoutRaisingTheLevel) {
    struct Case {
        int level, ufoseb, interval, ufos;
    };
    for (const Case& c : {Case{1, 20, 980, 4}, Case{4, 140, 860, 4}, Case{12, 900, 100, 1}}) {
        Game g(c.level);
        g.f().ellen[0].visible = false;
        g.v().ufomaradt = 3;
        g.key(vk::Y);
        EXPECT_EQ(g.v().ufoseb, c.ufoseb);
        EXPECT_EQ(g.f().ellenmozg.interval(), c.interval);
        EXPECT_EQ(g.v().szint, c.level);
        EXPECT_EQ(g.v().ufomaradt, c.ufos);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(g.f().ellen[k].visible, k < c.ufos) << c.level;
    }
}

// ufoseb, interval, lovesseb, urhajolepes, urhajohatar, picture by level.
struct LevelRow {
    int level, ufoseb, interval, lovesseb, urhajolepes, urhajohatar;
    const char* picture;
};
const LevelRow kLevels[] = {
    {1, 10, 990, 300, 50, 10, "ufo1.gif"},     {2, 30, 970, 320, 60, 15, "ufo1.gif"},
    {3, 60, 940, 350, 75, 20, "ufo2.gif"},     {4, 100, 900, 390, 95, 25, "ufo2.gif"},
    {5, 150, 850, 440, 120, 30, "ufo3.gif"},   {6, 210, 790, 500, 150, 35, "ufo3.gif"},
    {7, 280, 720, 570, 185, 40, "ufo4.gif"},   {8, 360, 640, 650, 225, 45, "ufo4.gif"},
    {9, 450, 550, 740, 270, 50, "ufo5.gif"},   {10, 550, 450, 840, 320, 55, "ufo5.gif"},
    {11, 660, 340, 950, 375, 60, "ufo6.gif"},  {12, 780, 220, 1070, 435, 65, "ufo6.gif"},
    {13, 910, 90, 1200, 500, 70, "ufo6.gif"},  {14, 1050, 90, 1340, 570, 75, "ufo6.gif"},
    {15, 1200, 90, 1490, 645, 80, "ufo6.gif"}, {16, 1360, 90, 1650, 100, 85, "ufo6.gif"},
};

// A new game after a loss keeps the previous game's increments: one level ahead.
TEST(LevelChange, DifficultyByLevelFromStartAndAfterALoss) {
    Game g(1);
    for (const bool afterLoss : {false, true}) {
        for (const LevelRow& row : kLevels) {
            if (row.level > 1) g.call(&Board::szintvalto);
            SCOPED_TRACE(::testing::Message() << row.level << (afterLoss ? " after a loss" : ""));
            const int ahead = afterLoss ? 1 : 0;
            EXPECT_EQ(g.v().szint, row.level);
            EXPECT_EQ(g.v().ufoseb, row.ufoseb);
            EXPECT_EQ(g.f().ellenmozg.interval(), row.interval);
            EXPECT_EQ(g.v().lovesseb, row.lovesseb + 10 * ahead);
            EXPECT_EQ(g.v().urhajolepes, row.level < 16 ? row.urhajolepes + 5 * ahead : 100);
            EXPECT_EQ(g.v().urhajohatar, row.urhajohatar + 5 * ahead);
            EXPECT_EQ(g.f().ellen[0].picture, g.picture(row.picture));
            EXPECT_EQ(g.f().szintjelzo.caption, std::to_string(row.level));
            EXPECT_EQ(g.v().ufomaradt, row.level < 10 ? 4 : 1);
        }
        g.platform.answers = {MsgAnswer::yes};
        g.call(&Board::veszit);
    }
}

// Odd levels start lower; every fourth level shifts members 1 and 3 left; from level 10 the wave
// is UFO 0 alone, the others kept out of play.
TEST(LevelChange, ColumnGeometryByLevel) {
    struct Case {
        int level;
        float top0, shifted;
    };
    Game g;
    for (const Case& c : {Case{2, 45, 6240}, Case{3, 900, 6240}, Case{4, 45, 5505}, Case{10, 45, 0},
                          Case{11, 900, 0}}) {
        g.reachLevel(c.level);
        for (int k = 0; k < 4; ++k) {
            ASSERT_TRUE(g.f().ellen.exists(k));
            EXPECT_EQ(g.f().ellen[k].visible, k == 0 || c.level < 10) << c.level;
            if (c.level >= 10) continue;
            EXPECT_EQ(g.f().ellen[k].Top, c.top0 + 1500 * k) << c.level;
            EXPECT_EQ(g.f().ellen[k].Left, k % 2 ? c.shifted : 6240) << c.level;
        }
        EXPECT_EQ(g.f().ellen[0].Top, c.top0) << c.level;
        EXPECT_EQ(g.f().elldb.caption, c.level < 10 ? "4" : "1");
    }
}

// Which word speaks which language is the language table's (game_end_test); here, the levels.
TEST(LevelChange, MessagesByLevelAndVisualEffects) {
    const std::map<int, std::pair<std::string, std::string>> messages = {
        {2, {"Rudi!", "Rudi!"}},
        {4, {"Rudi! Itt az apád beszél...!", "Rudi! Your father speaking to me...!"}},
        {6, {"Nagyot hallasz, kölyök?\?!", "Hard of hearing, kid?\?!"}},
        {8, {"Hmm... Ez töksüket..!", "Hmm... This dumb bells..!"}}};
    for (const bool hu : {true, false}) {
        Game g;
        g.v().programnyelv = hu ? "magyar" : "angol";
        g.start();
        for (int level = 2; level <= 12; ++level) {
            g.call(&Board::szintvalto);
            const auto m = messages.find(level);
            EXPECT_EQ(g.f().uzenet.caption, m == messages.end() ? ""
                                            : hu                ? m->second.first
                                                                : m->second.second);
            EXPECT_EQ(g.f().uzabra.visible, m != messages.end()) << level;
        }
        // From level 13 on the message of level 12 (none) stays; a shown one would stay too.
        g.f().uzenet.caption = "kept";
        g.f().uzabra.visible = true;
        g.call(&Board::szintvalto);
        EXPECT_EQ(g.f().uzenet.caption, "kept");
        EXPECT_TRUE(g.f().uzabra.visible);
        // Without visual effects any shown message goes at the next level change.
        g.host.program.opciok().vizeff.setValue(0);
        g.call(&Board::szintvalto);
        EXPECT_EQ(g.f().uzenet.caption, "");
        EXPECT_FALSE(g.f().uzabra.visible);
    }
}

TEST(LevelChange, MissingUfoPictureStopsTheProgram) {
    Game g(1);
    std::filesystem::remove(g.dir.file("ufo2.gif"));
    g.call(&Board::szintvalto);
    EXPECT_THROW(g.call(&Board::szintvalto), MissingPicture);
}

}  // namespace
}  // namespace gombocok
