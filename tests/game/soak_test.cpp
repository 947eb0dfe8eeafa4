// Two hours of play per seed: the bot in stretches of attack and of walking into fire, mixed with
// every key including the cheats, pause, the options dialog opened, changed and confirmed (also
// left open into play, where the damage level changes mid-game), the loss question answered both
// ways, quitting, and the program started again on the settings it saved. The invariants are
// checked after every event the host runs, timer ticks included.
#include <gtest/gtest.h>

#include <memory>

#include "game/board.h"
#include "game/splash.h"
#include "program/headless.h"
#include "settings/opciok.h"
#include "tests/support/bot.h"
#include "tests/support/test_support.h"

namespace gombocok {
namespace {

constexpr std::int64_t kPlayTime = 2 * 60 * 60 * 1000;  // virtual ms per seed

struct Tally {
    long runs = 0, games = 0, yes = 0, no = 0, pauses = 0, dialogs = 0, damage = 0;
    int topLevel = 0;
};

// One run of the program, until it ends or the play time is up.
struct ProgramRun {
    ProgramRun(const std::string& dir, std::uint32_t seed, std::mt19937& rng, Tally& tally)
        : platform(dir, seed), host(platform), rng(rng), t(tally) {
        // Answers the loss question Yes or No at random, OK to the rest.
        platform.onBox = [this](const HeadlessPlatform::Box& box) {
            EXPECT_TRUE(p().inEvent()) << "a box outside a handler: " << box.text;
            const bool yesNo = box.buttons == MsgButtons::yesNo, yes = chance(2);
            if (yesNo) ++(yes ? t.yes : t.no);
            platform.answers = {!yesNo ? MsgAnswer::ok : yes ? MsgAnswer::yes : MsgAnswer::no};
        };
        host.onEvent = [this] {
            ASSERT_EQ(testing::boardProblem(host.program), "");
            if (started && !p().ended() && b().urhajo.enabled)
                t.topLevel = std::max(t.topLevel, v().szint);
        };
        host.start();
    }

    Program& p() { return host.program; }
    BoardForm& b() { return *p().boardIfLoaded(); }
    OpciokForm& o() { return *p().opciokIfLoaded(); }
    Board& rules() { return *p().boardRules(); }
    Opciok& dialog() { return *p().opciokRules(); }
    Vars& v() { return p().vars; }
    bool chance(int oneIn) { return rng() % oneIn == 0; }
    int pick(int n) { return static_cast<int>(rng() % n); }
    void event(const std::function<void()>& e) { host.run(e); }
    void call(void (Board::*handler)()) {
        event([&] { (rules().*handler)(); });
    }
    void key(int code) {
        event([&] { rules().keyDown(code); });
    }

    // Any key; the invulnerability cheat rarely, as it would keep the loss question away.
    int randomKey() {
        static constexpr int keys[] = {vk::space, vk::up, vk::down, vk::A, vk::R,
                                       vk::V,     vk::Y,  'B',      '0',   13};
        if (chance(1000)) return vk::G;
        return chance(10) ? pick(256) : keys[pick(std::size(keys))];
    }

    void dialogAction() {
        static const char* texts[] = {"0", "7", "150", "200", "201", "999", "12a", ""};
        const std::function<void()> actions[] = {
            [&, t = pick(3) + 1] { dialog().fules_Click(t); },
            [&, k = pick(3)] { dialog().uh_Click(k); },
            [&, k = pick(2)] {
                o().nyelv[1 - k].initSelected(false);
                o().nyelv[k].setSelected(true);
            },
            [&, box = pick(3), t = pick(2)] {
                (box == 0 ? o().hzene : box == 1 ? o().effektek : o().vizeff).setValue(t);
            },
            [&, l = pick(9) + 1] {
                t.damage += started;
                o().nszcsuszka.setValue(l);
            },
            [&, c = randomKey()] { dialog().mloszer_KeyDown(c); },
            [&, s = std::string(texts[pick(8)])] { dialog().mloszer_Change(s); },
            [&, up = pick(2)] { up ? dialog().chloszer_UpClick() : dialog().chloszer_DownClick(); },
            [&] { dialog().mehet_Click(); },
        };
        event(actions[pick(std::size(actions))]);
    }

    // The title screen, then the game window before and after Start.
    void step(testing::Bot& bot) {
        if (p().splashIfLoaded() && p().splashIfLoaded()->window.visible) {
            if (chance(300)) event([&] { p().splashRules()->hkep_Click(); });
        } else if (o().window.visible && chance(started ? 40 : 8)) {
            dialogAction();
        } else if (!started) {
            if (b().beallit.enabled && !o().window.visible && chance(100)) {
                ++t.dialogs;
                call(&Board::beallit_Click);
            } else if (chance(150)) {
                started = true;
                ++t.games;
                call(&Board::indit_Click);
            } else if (chance(50)) {
                key(randomKey());
            }
        } else {
            play(bot);
        }
        if (!p().ended()) host.advance(10);
    }

    void play(testing::Bot& bot) {
        if (host.now() >= modeUntil) {
            seekFire = chance(3);
            modeUntil = host.now() + 10'000 + pick(60'000);
        }
        const int roll = pick(100'000);
        if (roll < 20) {
            ++t.pauses;
            call(&Board::szunet_Click);
        } else if (roll < 22 && !v().kilepes_folyik) {
            call(&Board::kilepes_Click);
        } else if (roll < 24 && b().urhajo.enabled && !v().szunetel) {
            call(&Board::Form_QueryUnload);
        } else if (roll < 1000) {
            key(randomKey());
        } else if (v().kilepes_folyik || !b().urhajo.enabled) {
            // Departing or the game is over: press Quit until the program ends.
            if (b().kilepeshez.interval() == 0 && chance(20))
                call(&Board::kilepes_Click);
            else if (chance(200))
                call(&Board::szunet_Click);
        } else if (v().szunetel) {
            if (chance(100)) call(&Board::szunet_Click);
        } else if (seekFire) {
            bot.seekFire();
        } else {
            bot.attack(false);
        }
    }

    HeadlessPlatform platform;
    VirtualHost host;
    std::mt19937& rng;
    Tally& t;
    bool started = false, seekFire = false;
    std::int64_t modeUntil = 0;
};

class SoakTest : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(SoakTest, TwoHoursOfRandomPlayKeepTheInvariants) {
    std::mt19937 rng(GetParam());
    testing::TempProgramDir dir;
    Tally t;
    for (std::int64_t played = 0; played < kPlayTime && !HasFailure();) {
        auto run = std::make_unique<ProgramRun>(dir.path(), GetParam() + t.runs++, rng, t);
        ASSERT_FALSE(run->p().ended()) << "the settings file went missing";
        testing::Bot bot(
            run->p(), [&](int code) { run->key(code); }, rng());
        while (!run->p().ended() && played + run->host.now() < kPlayTime && !HasFailure())
            run->step(bot);
        if (!run->p().ended()) run->call(&Board::Form_QueryUnload);
        ASSERT_TRUE(run->p().ended());
        played += run->host.now();
    }
    if (HasFailure()) return;
    // The player must have reached every part of the program for the run to mean anything.
    for (long reached : {t.runs - 1, t.games - 1, t.yes, t.no, t.pauses, t.dialogs, t.damage})
        EXPECT_GT(reached, 0);
    EXPECT_GE(t.topLevel, 5);
}

INSTANTIATE_TEST_SUITE_P(Seeds, SoakTest, ::testing::Values(1u, 2u, 3u, 4u));

}  // namespace
}  // namespace gombocok
