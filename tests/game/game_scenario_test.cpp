// A long game played through the public handlers only, by the bot with a fixed seed, with the
// invariants checked after every event the host runs.
#include <gtest/gtest.h>

#include "tests/game/bot.h"
#include "tests/game/game_fixture.h"

namespace gombocok {
namespace {

using testing::Game;

TEST(Scenario, LongGameThroughLevelsLossesAndQuit) {
    Game g(42);
    g.v().hanghatas = g.v().hatterzene = true;
    testing::Bot bot(
        g.host.program, [&](int code) { g.key(code); }, 20261206);
    long events = 0;
    g.host.onEvent = [&] {
        ++events;
        ASSERT_EQ(testing::boardProblem(g.host.program), "");
    };
    g.start();
    // Plays in steps of 10 ms until `done`, for at most `minutes` of the clock.
    auto playUntil = [&](const std::function<void()>& step, const std::function<bool()>& done,
                         int minutes) {
        for (std::int64_t until = g.host.now() + minutes * 60'000;
             !done() && g.host.now() < until && !HasFatalFailure();)
            step(), g.host.advance(10);
    };

    playUntil([&] { bot.attack(true); }, [&] { return g.v().szint >= 12; }, 40);
    ASSERT_EQ(g.v().szint, 12) << "stuck";
    EXPECT_TRUE(g.platform.boxes.empty());

    // Walk into the fire until the bar runs out; answer Yes.
    g.platform.answers = {MsgAnswer::yes};
    playUntil([&] { bot.seekFire(); }, [&] { return !g.platform.boxes.empty(); }, 10);
    ASSERT_EQ(g.platform.boxes.size(), 1u);
    EXPECT_EQ(g.v().szint, 1);
    EXPECT_FALSE(g.f().cheatbox.visible);
    EXPECT_TRUE(g.f().urhajo.enabled);

    // Play on to level 3, where the column fires, then lose again and answer No.
    playUntil([&] { bot.attack(true); }, [&] { return g.v().szint >= 3; }, 20);
    ASSERT_GE(g.v().szint, 3);
    g.platform.answers = {MsgAnswer::no};
    playUntil([&] { bot.seekFire(); }, [&] { return g.platform.boxes.size() == 2; }, 20);
    ASSERT_EQ(g.platform.boxes.size(), 2u);
    EXPECT_FALSE(g.f().urhajo.enabled);
    g.host.advance(200);
    const std::string clock = g.f().ido.caption;

    // Quit: the spacecraft flies off; the second press after it has left ends the program.
    g.run([](Board& b) { b.kilepes_Click(); });
    while (g.f().kilepeshez.interval() != 0) g.host.advance(10);
    EXPECT_GT(g.f().urhajo.Left, 7935);
    EXPECT_EQ(g.f().ido.caption, clock);
    g.run([](Board& b) { b.kilepes_Click(); });
    EXPECT_TRUE(g.host.program.ended());
    EXPECT_GT(events, 1000);
}

}  // namespace
}  // namespace gombocok
