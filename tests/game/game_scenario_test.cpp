// A long game played through the public handlers only, by a scripted player with a fixed seed,
// with the game's invariants checked after every event.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "tests/game/game_fixture.h"

namespace gombocok {
namespace {

using testing::Game;

class Player {
public:
    explicit Player(Game& g) : g(g), rng(20261206) {}

    // One event of the player's, or 10 ms of the clock; the invariants are checked after it.
    void key(int code) {
        g.key(code);
        check();
    }
    void click(void (Board::*handler)()) {
        g.run([handler](Board& b) { (b.*handler)(); });
        check();
    }
    void wait() {
        g.host.advance(10);
        now += 10;
        check();
    }

    void check() {
        ++events;
        if (g.host.program.ended()) return;
        BoardForm& f = g.f();
        const Vars& v = g.v();
        ASSERT_GE(f.allapot.Width, 0);
        ASSERT_LE(f.allapot.Width, v.teljes);
        ASSERT_GE(f.municio.Width, 0);
        ASSERT_LE(f.municio.Width, v.teljes);
        ASSERT_GE(v.loszer, 0);
        ASSERT_EQ(f.mundb.caption, std::to_string(v.loszer));
        ASSERT_GE(v.szint, 1);
        ASSERT_EQ(f.szintjelzo.caption, std::to_string(v.szint));
        ASSERT_TRUE(f.ellen.exists(0));
        ASSERT_GE(v.urhajolepes, 0);
        ASSERT_EQ(g.host.program.refusedEvents(), 0);
    }

    // The UFO the spacecraft should face: the nearest one still ahead of it.
    const Sprite* target() {
        const Sprite* best = nullptr;
        const int last = g.v().szint < 10 ? g.v().ufoszam - 1 : 0;
        for (int k = 0; k <= last; ++k) {
            const Sprite& u = g.f().ellen[k];
            if (u.visible && u.Left > 585 && (!best || u.Left < best->Left)) best = &u;
        }
        return best;
    }

    bool ufoPassed() {
        const int last = g.v().szint < 10 ? g.v().ufoszam - 1 : 0;
        for (int k = 0; k <= last; ++k) {
            const Sprite& u = g.f().ellen[k];
            if (u.visible && u.Left <= 585) return true;
        }
        return false;
    }

    // Moves the spacecraft's middle towards `y`, one key at a time.
    void steerTo(float y) {
        const Sprite& s = g.f().urhajo;
        const float middle = s.Top + s.Height / 2;
        const float slack = std::max(20, g.v().urhajolepes / 2);
        if (middle > y + slack)
            key(vk::up);
        else if (middle < y - slack)
            key(vk::down);
    }

    // One step of ordinary play: keep the ship in repair and ammunition, dodge a shot about to
    // hit, face the nearest UFO and fire at it.
    void play(bool repair) {
        BoardForm& f = g.f();
        if (repair && f.allapot.Width < 720) key(vk::R);
        if (g.v().loszer < 20) key(vk::A);
        if (ufoPassed()) key(vk::Y);
        const Sprite& s = f.urhajo;
        const Line& shot = f.lov2;
        const bool threatened = shot.visible && shot.X1 < 2600 && shot.X1 > s.Left &&
                                shot.Y1 >= s.Top - 100 && shot.Y1 <= s.Top + s.Height + 100;
        if (threatened && rng() % 2 == 0) {
            key(shot.Y1 < s.Top + s.Height / 2 ? vk::down : vk::up);
        } else if (const Sprite* u = target()) {
            const float aim = u->Top + u->Height / 2;
            steerTo(aim);
            const float shotY = s.Top + s.Height / 2;
            const bool aligned = std::fabs(shotY - aim) < u->Height / 2;
            const bool shotSpent = !f.lov.visible || f.lov.X1 > u->Left + u->Width;
            if ((aligned && shotSpent) || rng() % 50 == 0) key(vk::space);
        }
        if (rng() % 3000 == 0) {
            click(&Board::szunet_Click);
            for (int k = 0; k < 20; ++k) wait();
            key(vk::down);  // the Continue button holds the keyboard: nothing moves
            click(&Board::szunet_Click);
        }
        wait();
    }

    // One step of walking into the UFOs' fire.
    void seekFire() {
        const Line& shot = g.f().lov2.visible ? g.f().lov2 : g.f().lov3;
        if (shot.visible && shot.X1 > 585)
            steerTo(shot.Y1);
        else if (const Sprite* u = target())
            steerTo(u->Top + u->Height / 2);
        wait();
    }

    Game& g;
    std::mt19937 rng;
    std::int64_t now = 0;
    long events = 0;
};

TEST(Scenario, LongGameThroughLevelsLossesAndQuit) {
    Game g(42);
    g.v().hanghatas = true;
    g.v().hatterzene = true;
    Player p(g);
    g.start();
    p.check();

    // Climb to level 12.
    std::int64_t limit = 40 * 60 * 1000;
    while (g.v().szint < 12 && p.now < limit) {
        p.play(true);
        if (HasFatalFailure()) return;
    }
    ASSERT_EQ(g.v().szint, 12) << "stuck at level " << g.v().szint;
    EXPECT_TRUE(g.platform.boxes.empty());

    // Walk into the fire until the bar runs out; answer Yes.
    g.platform.answers = {MsgAnswer::yes};
    limit = p.now + 10 * 60 * 1000;
    while (g.platform.boxes.empty() && p.now < limit) {
        p.seekFire();
        if (HasFatalFailure()) return;
    }
    ASSERT_EQ(g.platform.boxes.size(), 1u);
    EXPECT_EQ(g.v().szint, 1);
    EXPECT_FALSE(g.f().cheatbox.visible);
    EXPECT_TRUE(g.f().urhajo.enabled);

    // Play on to level 3, where the column fires, then lose again and answer No.
    limit = p.now + 20 * 60 * 1000;
    while (g.v().szint < 3 && p.now < limit) {
        p.play(true);
        if (HasFatalFailure()) return;
    }
    ASSERT_GE(g.v().szint, 3);
    g.platform.answers = {MsgAnswer::no};
    limit = p.now + 20 * 60 * 1000;
    while (g.platform.boxes.size() < 2 && p.now < limit) {
        p.seekFire();
        if (HasFatalFailure()) return;
    }
    ASSERT_EQ(g.platform.boxes.size(), 2u);
    EXPECT_FALSE(g.f().urhajo.enabled);
    EXPECT_EQ(g.f().uzenet.caption, "Kevés vagy, ifjú padavan...");
    for (int k = 0; k < 20; ++k) p.wait();
    const std::string clock = g.f().ido.caption;

    // Quit: the spacecraft flies off; the second press after it has left ends the program.
    p.click(&Board::kilepes_Click);
    while (g.f().kilepeshez.interval() != 0) p.wait();
    EXPECT_GT(g.f().urhajo.Left, 7935);
    EXPECT_EQ(g.f().ido.caption, clock);
    EXPECT_FALSE(g.host.program.ended());
    p.click(&Board::kilepes_Click);
    EXPECT_TRUE(g.host.program.ended());
    EXPECT_EQ(g.platform.sounds.back(), g.picture("csend.wav"));
    EXPECT_GT(p.events, 1000);
}

}  // namespace
}  // namespace gombocok
