// Two hours of play by a seeded random player: every key including the cheats, pause, the
// options dialog opened, changed and confirmed (also left open into play, where the damage level
// changes mid-game), the loss question answered both ways, quitting, and the program started
// again. The invariants are checked after every event the host runs, timer ticks included.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "game/board.h"
#include "game/splash.h"
#include "program/headless.h"
#include "settings/opciok.h"
#include "tests/test_support.h"

namespace gombocok {
namespace {

constexpr std::int64_t kPlayTime = 2 * 60 * 60 * 1000;  // virtual ms per seed

struct Tally {
    long events = 0, runs = 0, games = 0, yes = 0, no = 0, pauses = 0, dialogs = 0;
    long damageInPlay = 0;
    int topLevel = 0;
};

// Answers the boxes as a player would: Yes or No at random to the loss question, OK to the
// rest; and checks that a box opens only inside a handler and never over another box.
class SoakPlatform : public HeadlessPlatform {
public:
    SoakPlatform(const std::string& dir, std::uint64_t seed, std::mt19937& rng, Program*& program,
                 Tally& tally)
        : HeadlessPlatform(dir, seed), rng_(rng), program_(program), tally_(tally) {}

    MsgAnswer messageBox(const std::string& text, const std::string& title, MsgIcon icon,
                         MsgButtons buttons, MsgLanguage language) override {
        EXPECT_EQ(open_, 0) << "a box over another: " << text;
        EXPECT_TRUE(program_ && program_->inEvent()) << "a box outside a handler: " << text;
        ++open_;
        if (buttons == MsgButtons::yesNo) {
            const MsgAnswer a = rng_() % 2 ? MsgAnswer::yes : MsgAnswer::no;
            ++(a == MsgAnswer::yes ? tally_.yes : tally_.no);
            answers.push_back(a);
        } else {
            answers.push_back(MsgAnswer::ok);
        }
        const MsgAnswer a = HeadlessPlatform::messageBox(text, title, icon, buttons, language);
        --open_;
        return a;
    }

private:
    std::mt19937& rng_;
    Program*& program_;
    Tally& tally_;
    int open_ = 0;
};

class Soak {
public:
    explicit Soak(std::uint32_t seed) : seed_(seed), rng_(seed) {}

    void play() {
        while (now_ < kPlayTime) {
            startProgram();
            while (!host_->program.ended() && now_ < kPlayTime) {
                step();
                if (::testing::Test::HasFailure()) return;
            }
            if (!host_->program.ended()) quit();
            if (::testing::Test::HasFailure()) return;
        }
    }

    Tally tally;

private:
    // A new program on the same directory: the settings the last one saved are read again.
    void startProgram() {
        host_.reset();
        program_ = nullptr;
        platform_ =
            std::make_unique<SoakPlatform>(dir_.path(), seed_ + tally.runs, rng_, program_, tally);
        started_ = false;
        host_ = std::make_unique<VirtualHost>(*platform_);
        program_ = &host_->program;
        host_->onEvent = [this] { check(); };
        ++tally.runs;
        host_->start();
        ASSERT_FALSE(host_->program.ended()) << "the settings file went missing";
    }

    Program& p() { return host_->program; }
    BoardForm& b() { return *p().boardIfLoaded(); }
    OpciokForm& o() { return *p().opciokIfLoaded(); }
    Board& rules() { return *p().boardRules(); }
    Vars& v() { return p().vars; }
    bool chance(int oneIn) { return rng_() % oneIn == 0; }

    void check() {
        ++tally.events;
        ASSERT_EQ(p().refusedEvents(), 0);
        if (p().ended()) return;
        const BoardForm& f = b();
        const Vars& vars = v();
        ASSERT_GE(f.allapot.Width, 0);
        ASSERT_LE(f.allapot.Width, vars.teljes);
        ASSERT_GE(f.municio.Width, 0);
        ASSERT_LE(f.municio.Width, vars.teljes);
        ASSERT_GE(vars.loszer, 0);
        ASSERT_TRUE(f.ellen.exists(0));
        if (started_) {
            ASSERT_GE(vars.szint, 1);
        }
        if (started_ && f.urhajo.enabled) tally.topLevel = std::max(tally.topLevel, vars.szint);
    }

    void event(const std::function<void()>& e) { host_->run(e); }
    void key(int code) {
        event([&] { rules().keyDown(code); });
    }
    void wait(int ms = 10) {
        host_->advance(ms);
        now_ += ms;
    }

    void step() {
        if (p().splashIfLoaded() && p().splashIfLoaded()->window.visible) {
            if (chance(300)) event([&] { p().splashRules()->hkep_Click(); });
            return wait();
        }
        if (o().window.visible && chance(started_ ? 40 : 8)) dialogAction();
        if (p().ended()) return;
        if (!started_) {
            if (b().beallit.enabled && !o().window.visible && chance(100)) {
                ++tally.dialogs;
                event([&] { rules().beallit_Click(); });
            } else if (chance(150)) {
                started_ = true;
                ++tally.games;
                event([&] { rules().indit_Click(); });
            } else if (chance(50)) {
                key(randomKey());
            }
            return wait();
        }
        playAction();
        if (!p().ended()) wait();
    }

    // Any key; the invulnerability cheat rarely, as it lasts the whole game and would keep the
    // loss question away.
    int randomKey() {
        static constexpr int keys[] = {vk::space, vk::up, vk::down, vk::A, vk::R,
                                       vk::V,     vk::Y,  'B',      '0',   13};
        if (chance(1000)) return vk::G;
        return chance(10) ? static_cast<int>(rng_() % 256) : keys[rng_() % std::size(keys)];
    }

    void dialogAction() {
        Opciok& r = *p().opciokRules();
        switch (rng_() % 12) {
            case 0:
                event([&, t = int(rng_() % 3) + 1] { r.fules_Click(t); });
                break;
            case 1:
                event([&, k = int(rng_() % 3)] { r.uh_Click(k); });
                break;
            case 2:
                event([&, k = int(rng_() % 2)] {
                    o().nyelv[1 - k].initSelected(false);
                    o().nyelv[k].setSelected(true);
                });
                break;
            case 3:
                event([&, t = int(rng_() % 2)] { o().hzene.setValue(t); });
                break;
            case 4:
                event([&, t = int(rng_() % 2)] { o().effektek.setValue(t); });
                break;
            case 5:
                event([&, t = int(rng_() % 2)] { o().vizeff.setValue(t); });
                break;
            case 6:
                if (started_) ++tally.damageInPlay;
                event([&, l = int(rng_() % 9) + 1] { o().nszcsuszka.setValue(l); });
                break;
            case 7:
                event([&, c = randomKey()] { r.mloszer_KeyDown(c); });
                break;
            case 8: {
                static const char* texts[] = {"0", "7", "150", "200", "201", "999", "12a", ""};
                event([&, t = std::string(texts[rng_() % 8])] { r.mloszer_Change(t); });
                break;
            }
            case 9:
                event([&] { r.chloszer_UpClick(); });
                break;
            case 10:
                event([&] { r.chloszer_DownClick(); });
                break;
            default:
                event([&] { r.mehet_Click(); });
                break;
        }
    }

    // Mostly sensible play, in stretches of attack and of walking into fire, with every other
    // action mixed in.
    void playAction() {
        if (now_ >= modeUntil_) {
            seekFire_ = chance(3);
            modeUntil_ = now_ + 10'000 + rng_() % 60'000;
        }
        const int roll = static_cast<int>(rng_() % 100'000);
        if (roll < 20) {
            ++tally.pauses;
            event([&] { rules().szunet_Click(); });
        } else if (roll < 22 && !v().kilepes_folyik) {
            event([&] { rules().kilepes_Click(); });
        } else if (roll < 1000) {
            key(randomKey());
        } else if (v().kilepes_folyik || !b().urhajo.enabled) {
            // Departing or the game is over: press Quit until the program ends.
            if (b().kilepeshez.interval() == 0 && chance(20))
                event([&] { rules().kilepes_Click(); });
            else if (chance(200))
                event([&] { rules().szunet_Click(); });
        } else if (v().szunetel) {
            if (chance(100)) event([&] { rules().szunet_Click(); });
        } else {
            aimOrSeek();
        }
        if (p().ended()) return;
        if (!p().ended() && b().urhajo.enabled && !v().szunetel && chance(20000))
            event([&] { rules().Form_QueryUnload(); });
    }

    void aimOrSeek() {
        const Sprite& s = b().urhajo;
        const Sprite* target = nullptr;
        const int last = v().szint < 10 ? v().ufoszam - 1 : 0;
        for (int k = 0; k <= last; ++k) {
            if (!b().ellen.exists(k)) continue;
            const Sprite& u = b().ellen[k];
            if (u.visible && u.Left > s.Left && (!target || u.Left < target->Left)) target = &u;
        }
        float aim;
        const Line& shot = b().lov2.visible ? b().lov2 : b().lov3;
        if (seekFire_ && shot.visible && shot.X1 > s.Left)
            aim = shot.Y1;
        else if (target)
            aim = target->Top + target->Height / 2;
        else
            return key(vk::Y);
        const float middle = s.Top + s.Height / 2;
        const float slack = std::max(20, v().urhajolepes / 2);
        if (p().ended()) return;
        if (middle > aim + slack)
            key(vk::up);
        else if (middle < aim - slack)
            key(vk::down);
        if (!seekFire_ && target && std::fabs(middle - aim) < target->Height / 2 && chance(3))
            key(vk::space);
        if (v().loszer < 10) key(vk::A);
    }

    // The game window's Quit, twice once the spacecraft has left; or the close box.
    void quit() {
        if (!host_->program.ended() && b().urhajo.enabled) {
            event([&] { rules().kilepes_Click(); });
            for (int k = 0; k < 1000 && b().kilepeshez.interval() != 0; ++k) wait();
            event([&] { rules().kilepes_Click(); });
        }
        if (!host_->program.ended()) event([&] { rules().Form_QueryUnload(); });
        ASSERT_TRUE(host_->program.ended());
    }

    std::uint32_t seed_;
    std::mt19937 rng_;
    testing::TempProgramDir dir_;
    std::unique_ptr<SoakPlatform> platform_;
    std::unique_ptr<VirtualHost> host_;
    Program* program_ = nullptr;
    std::int64_t now_ = 0, modeUntil_ = 0;
    bool started_ = false;
    bool seekFire_ = false;
};

class SoakTest : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(SoakTest, TwoHoursOfRandomPlayKeepTheInvariants) {
    Soak soak(GetParam());
    soak.play();
    if (HasFailure()) return;
    const Tally& t = soak.tally;
    // The player must have reached every part of the program for the run to mean anything.
    EXPECT_GT(t.runs, 1);
    EXPECT_GT(t.games, 1);
    EXPECT_GT(t.yes, 0);
    EXPECT_GT(t.no, 0);
    EXPECT_GT(t.pauses, 0);
    EXPECT_GT(t.dialogs, 0);
    EXPECT_GT(t.damageInPlay, 0);
    EXPECT_GE(t.topLevel, 5);
    RecordProperty("events", std::to_string(t.events));
    std::printf(
        "seed %u: %ld events, %ld program runs, %ld games started, %ld yes, %ld no, "
        "%ld pauses, %ld dialogs, %ld damage changes in play, top level %d\n",
        GetParam(), t.events, t.runs, t.games, t.yes, t.no, t.pauses, t.dialogs, t.damageInPlay,
        t.topLevel);
}

INSTANTIATE_TEST_SUITE_P(Seeds, SoakTest, ::testing::Values(1u, 2u, 3u, 4u));

}  // namespace
}  // namespace gombocok
