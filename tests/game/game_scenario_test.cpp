// A long game played through the public handlers only, by the bot with a fixed seed, with the
// invariants checked after every event the host runs.
#include <gtest/gtest.h>

#include "tests/game/bot.h"
#include "tests/game/game_fixture.h"

namespace gombocok {
namespace {

TEST(Scenario, LongGameThroughLevelsLossesAndQuit) {
    testing::Game g(0, 42);
    g.v().hanghatas = g.v().hatterzene = true;
    testing::Bot bot(
        g.host.program, [&](int code) { g.key(code); }, 20261206);
    g.host.onEvent = [&] { ASSERT_EQ(testing::boardProblem(g.host.program), ""); };
    g.start();
    // Plays in steps of 10 ms, attacking or walking into fire, until `done` or 40 minutes.
    auto playUntil = [&](bool attack, const std::function<bool()>& done) {
        for (std::int64_t until = g.host.now() + 40 * 60'000;
             !done() && g.host.now() < until && !HasFatalFailure(); g.host.advance(10))
            attack ? bot.attack(true) : bot.seekFire();
    };
    playUntil(true, [&] { return g.v().szint >= 12; });
    ASSERT_EQ(g.v().szint, 12) << "stuck";
    // Lose, answer Yes, play on to level 3 where the column fires, lose again and answer No.
    g.platform.answers = {MsgAnswer::yes, MsgAnswer::no};
    playUntil(false, [&] { return !g.platform.boxes.empty(); });
    EXPECT_EQ(g.v().szint, 1);
    EXPECT_TRUE(g.f().urhajo.enabled);
    playUntil(true, [&] { return g.v().szint >= 3; });
    playUntil(false, [&] { return g.platform.boxes.size() == 2; });
    ASSERT_EQ(g.platform.boxes.size(), 2u);
    EXPECT_FALSE(g.f().urhajo.enabled);
    // Quit: the spacecraft flies off; the second press after it has left ends the program.
    g.call(&Board::kilepes_Click);
    while (g.f().kilepeshez.interval() != 0) g.host.advance(10);
    g.call(&Board::kilepes_Click);
    EXPECT_TRUE(g.host.program.ended());
}

}  // namespace
}  // namespace gombocok
