// Loss, departure, clock, background, pause and quit.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/game/game_fixture.h"

namespace gombocok {
namespace {

using testing::Game;

// Empties the condition bar with one UFO shot at the spacecraft.
void loseByShot(Game& g) {
    g.f().allapot.Width = 10;
    g.aim(g.f().lov2, 1000, 3000 - (g.v().szint > 5 ? 10 * g.v().szint : 0));
    g.call(&Board::ufoloveshez_Timer);
}

TEST(Loss, YesStartsLevelOneAtOnce) {
    Game g(12);
    for (int k = 0; k < 5; ++k) g.call(&Board::idozit_Timer);
    for (int k = 0; k < 3; ++k) g.key(vk::space);
    g.aim(g.f().lov, g.f().ellen[0].Left, g.f().ellen[0].Top);
    g.call(&Board::loveshez_Timer);
    g.platform.answers = {MsgAnswer::yes};
    bool disabledWhileAsking = false;
    g.platform.onBox = [&](const HeadlessPlatform::Box&) {
        disabledWhileAsking = !g.f().urhajo.enabled;
    };
    loseByShot(g);
    ASSERT_EQ(g.platform.boxes.size(), 1u);
    EXPECT_TRUE(disabledWhileAsking);
    EXPECT_EQ(g.platform.boxes[0].buttons, MsgButtons::yesNo);
    EXPECT_EQ(g.v().szint, 1);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(g.f().ellen[k].Top, 900 + 1500 * k);
    EXPECT_EQ(g.f().ido.caption, "00:00");
    EXPECT_EQ(g.f().lelott.caption, "0");
    EXPECT_EQ(g.f().mundb.caption, "200");
    EXPECT_EQ(g.v().urhajolepes, 54);
    EXPECT_EQ(g.f().ellenmozg.interval(), 990);
    EXPECT_TRUE(g.f().hasFocus(&g.f().urhajo));
    g.host.advance(1000);
    EXPECT_EQ(g.f().ido.caption, "00:01");
}

// Moved 60 at a time right and down: from 6240 that is 29 steps of 60.
TEST(Loss, NoMakesTheUfosDepartAndShowsThePartingMessage) {
    for (bool effects : {true, false}) {
        Game g(3);
        g.v().hanghatas = effects;
        g.f().ellen[1].visible = false;
        const float hiddenLeft = g.f().ellen[1].Left;
        g.platform.answers = {MsgAnswer::no};
        loseByShot(g);
        for (int k : {0, 2, 3}) EXPECT_GE(g.f().ellen[k].Left, 7935);
        EXPECT_EQ(g.f().ellen[0].Top, 900 + 1740);
        EXPECT_EQ(g.f().ellen[1].Left, hiddenLeft);
        EXPECT_EQ(g.intervals(), std::vector<int>(g.intervals().size(), 0));
        EXPECT_FALSE(g.f().lov2.visible);
        EXPECT_FALSE(g.f().urhajo.enabled);
        EXPECT_TRUE(g.f().uzabra.visible);
        const std::vector<std::string> expected =
            effects ? std::vector<std::string>{g.picture("utkozes.wav"), g.picture("csend.wav"),
                                               g.picture("tavozas.wav")}
                    : std::vector<std::string>{};
        EXPECT_EQ(g.platform.sounds, expected);
        const std::string clock = g.f().ido.caption;
        g.host.advance(10000);
        EXPECT_EQ(g.f().ido.caption, clock);
    }
}

// The level messages speak Hungarian for both Hungarian words; the Pause button, the loss
// question (its Yes and No too) and the parting message only for "magyar".
TEST(Language, EachTextFollowsItsWord) {
    struct Case {
        const char* word;
        bool levelHu, restHu;
    };
    for (const Case& c : {Case{"magyar", true, true}, Case{"hungarian", true, false},
                          Case{"angol", false, false}, Case{"english", false, false}}) {
        SCOPED_TRACE(c.word);
        Game g;
        g.v().programnyelv = c.word;
        g.reachLevel(4);
        EXPECT_EQ(g.f().uzenet.caption, c.levelHu ? "Rudi! Itt az apád beszél...!"
                                                  : "Rudi! Your father speaking to me...!");
        g.call(&Board::szunet_Click);
        const std::string paused = g.f().szunet.caption;
        g.call(&Board::szunet_Click);
        EXPECT_EQ(paused + " " + g.f().szunet.caption,
                  c.restHu ? "Tovább Szünet" : "Continue Pause");
        g.platform.answers = {MsgAnswer::no};
        loseByShot(g);
        ASSERT_EQ(g.platform.boxes.size(), 1u);
        const auto& box = g.platform.boxes[0];
        EXPECT_EQ(box.text, c.restHu ? "Vesztettél!\rÚj játék?" : "You lost!\rNew game?");
        EXPECT_EQ(box.title, c.restHu ? "Gombócok" : "Dumplers");
        EXPECT_EQ(box.language, c.restHu ? MsgLanguage::hungarian : MsgLanguage::english);
        EXPECT_EQ(g.f().uzenet.caption,
                  c.restHu ? "Kevés vagy, ifjú padavan..." : "You're lame, young padavan...");
    }
}

TEST(Departure, EndsWhateverTheUfoSpeed) {
    for (int speed : {0, -30, 1}) {
        Game g(1);
        g.v().ufoseb = speed;
        g.place(0, 7000, 100);
        g.call(&Board::tavozas);
        EXPECT_GE(g.f().ellen[0].Left, 7935) << speed;
        EXPECT_EQ(g.f().ellen[0].Top, 100 + (g.f().ellen[0].Left - 7000)) << speed;
    }
}

TEST(Texts, ClockAndConditionBar) {
    struct Clock {
        int perc, masodperc;
        const char* text;
    };
    for (const Clock& c : {Clock{0, 5, "00:05"}, Clock{9, 59, "09:59"}, Clock{12, 3, "12:03"},
                           Clock{125, 0, "125:00"}})
        EXPECT_EQ(clockText(c.perc, c.masodperc), c.text);
    struct Bar {
        float width;
        const char* text;
    };
    for (const Bar& c :
         {Bar{1440, "100%"}, Bar{960, "66.66666%"}, Bar{480, "33.33333%"}, Bar{144, "10%"},
          Bar{0.00144f, "0.0001%"}, Bar{1e-6f, "0.00000006944444%"}})
        EXPECT_EQ(percentText(c.width, 1440), c.text) << c.width;
}

// The clock ticks once a second and carries minutes; the background scrolls in a cycle of 71.
TEST(Clock, ClockAndBackground) {
    Game g(1);
    g.f().urhajo.Top = 6000;
    std::vector<float> positions;
    for (int step = 1; step <= 142; ++step) {
        g.call(&Board::hatterhez_Timer);
        positions.push_back(g.f().jhatter.Left);
    }
    EXPECT_EQ(positions[0], -85);
    EXPECT_EQ(positions[70], 0);
    EXPECT_EQ(positions[140], -7000);
    EXPECT_EQ(positions[141], 0);
    g.host.advance(59 * 1000);
    EXPECT_EQ(g.f().ido.caption, "00:59");
    g.host.advance(1000);
    EXPECT_EQ(g.f().ido.caption, "01:00");
    g.host.advance(540 * 1000);
    EXPECT_EQ(g.f().ido.caption, "10:00");
}

TEST(Pause, FreezesAndRestoresEveryTimer) {
    Game g(1);
    g.key(vk::space);
    g.host.advance(30);
    const float shotAt = g.f().lov.X1;
    g.call(&Board::szunet_Click);
    EXPECT_TRUE(g.v().szunetel);
    EXPECT_EQ(g.v().idozitok, (std::array<std::int16_t, 6>{1000, 10, 100, 0, 0, 990}));
    EXPECT_EQ(g.intervals(), std::vector<int>(g.intervals().size(), 0));
    g.key(vk::up);  // the button holds the keyboard
    EXPECT_EQ(g.f().urhajo.Top, 2535);
    g.host.advance(5000);
    EXPECT_EQ(g.f().ido.caption, "00:00");
    g.call(&Board::szunet_Click);
    EXPECT_FALSE(g.v().szunetel);
    EXPECT_TRUE(g.f().hasFocus(&g.f().urhajo));
    EXPECT_EQ(g.f().ellenmozg.interval(), 990);
    EXPECT_EQ(g.f().kilepeshez.interval(), 0);
    g.host.advance(10);
    EXPECT_EQ(g.f().lov.X1, shotAt + 300);
}

// Leaving the front pauses a game in play as the Pause button does, and only then: not before
// Start, nor once paused, quitting or over.
TEST(Pause, InTheBackgroundOnlyAGameInPlayPauses) {
    const struct {
        int level;
        void (Board::*before)();
        const char* caption;  // the button's caption afterwards
        bool paused;
    } cases[] = {{1, nullptr, "Tovább", true},
                 {0, nullptr, "Szünet", false},
                 {1, &Board::szunet_Click, "Tovább", true},
                 {1, &Board::kilepes_Click, "Szünet", false},
                 {1, &Board::veszit, "Szünet", false}};
    for (const auto& c : cases) {
        Game g(c.level);
        g.platform.answers = {MsgAnswer::no};
        if (c.before) g.call(c.before);
        const bool wasPaused = g.v().szunetel;
        const std::vector<int> intervals = g.intervals();
        g.call(&Board::pauseInBackground);
        EXPECT_EQ(g.f().szunet.caption, c.caption);
        EXPECT_EQ(g.v().szunetel, c.paused);
        const bool pauses = c.paused && !wasPaused;
        EXPECT_EQ(g.intervals(), pauses ? std::vector<int>(intervals.size(), 0) : intervals);
        if (!pauses) continue;
        EXPECT_TRUE(g.f().hasFocus(&g.f().szunet));
        g.call(&Board::szunet_Click);
        EXPECT_EQ(g.f().idozit.interval(), 1000);
    }
}

TEST(Quit, SpacecraftFliesOffThenASecondPressEndsTheProgram) {
    Game g(1);
    g.v().hatterzene = true;
    g.call(&Board::kilepes_Click);
    EXPECT_FALSE(g.f().szunet.enabled);
    for (int k = 0; k < 4; ++k) EXPECT_GE(g.f().ellen[k].Left, 7935);
    g.host.advance(60 * 100);
    g.call(&Board::kilepes_Click);
    EXPECT_FALSE(g.host.program.ended());
    g.host.advance(60 * 48 - 1);
    EXPECT_EQ(g.f().urhajo.Left, 7935);  // 147 steps: on the edge, not past it
    EXPECT_EQ(g.f().kilepeshez.interval(), 60);
    g.host.advance(1);
    EXPECT_EQ(g.f().urhajo.Left, 7985);
    EXPECT_EQ(g.intervals(), std::vector<int>(g.intervals().size(), 0));
    g.call(&Board::kilepes_Click);
    EXPECT_TRUE(g.host.program.ended());
    // The jingle at the first press and at the last, then silence.
    EXPECT_EQ(g.platform.sounds,
              (std::vector<std::string>{g.picture("prgvege.wav"), g.picture("prgvege.wav"),
                                        g.picture("csend.wav")}));
}

// Music off: no jingle. The close box ends the program at once.
TEST(Quit, NoJingleWithMusicOffAndTheCloseBoxEndsAtOnce) {
    Game g(1);
    g.call(&Board::kilepes_Click);
    EXPECT_TRUE(g.platform.sounds.empty());
    g.call(&Board::Form_QueryUnload);
    EXPECT_TRUE(g.host.program.ended());
    EXPECT_EQ(g.host.program.boardIfLoaded(), nullptr);
    EXPECT_EQ(g.platform.sounds.back(), g.picture("csend.wav"));
}

}  // namespace
}  // namespace gombocok
