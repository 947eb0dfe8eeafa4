#include <gtest/gtest.h>

#include "game/board.h"
#include "settings/texts.h"
#include "tests/settings/settings_fixture.h"

namespace gombocok {
namespace {

using testing::kDefaultSettings;
using testing::Started;
using testing::TempProgramDir;

// What a load sets beyond the file's values (those are the parse table's and the corpus
// replay's): the interface language, the sound switches acting at once, and the ammunition
// kept as written until the next save.
TEST(SettingsLoad, FileValuesReachTheWindowsAndTheNextSave) {
    {
        TempProgramDir dir("hungarian\r\n001\r\n2\r\n007\r\n0\r\n");
        Started p(dir);
        EXPECT_EQ(p.v().programnyelv, "magyar");
        EXPECT_EQ(p.b().indit.caption, "Indít");
        EXPECT_FALSE(p.v().hatterzene);
        EXPECT_TRUE(p.v().hanghatas);
        ASSERT_FALSE(p.platform.sounds.empty());
        EXPECT_TRUE(p.platform.sounds.back().ends_with("/csend.wav"));
        EXPECT_EQ(p.b().mundb.caption, "007");
        EXPECT_TRUE(p.b().urhajo.picture.ends_with("/k_urhajo_01.jpg"));
        p.host.run([&] { p.host.program.programvege(); });
        EXPECT_EQ(dir.read("settings.txt"), "magyar\r\n001\r\n2\r\n7\r\n0\r\n");
    }
    TempProgramDir dir("Magyar\r\n111\r\n2\r\n200\r\n2\r\n");
    Started p(dir);
    EXPECT_EQ(p.b().indit.caption, "Start");  // Each spacecraft type shows its own picture.
    const std::pair<const char*, const char*> types[] = {
        {"0", "/k_urhajo_01.jpg"}, {"1", "/k_urhajo_02.jpg"}, {"2", "/k_urhajo_03.jpg"}};
    for (const auto& [type, picture] : types) {
        TempProgramDir d("magyar\r\n111\r\n2\r\n200\r\n" + std::string(type) + "\r\n");
        Started s(d);
        EXPECT_TRUE(s.b().urhajo.picture.ends_with(picture)) << type;
    }
}

struct DialogTest : ::testing::Test {
    TempProgramDir dir{kDefaultSettings};
    Started p{dir};
    void run(const std::function<void()>& event) { ASSERT_TRUE(p.host.run(event)); }
    // Runs `event` on the ammunition field holding `text`, answering a box if one comes; returns
    // the text of the box shown ("" if none).
    std::string field(const std::string& text, const std::function<void()>& event) {
        p.o().mloszer.text = text;
        p.platform.answers = {MsgAnswer::ok};
        const std::size_t before = p.platform.boxes.size();
        run(event);
        return p.platform.boxes.size() > before ? p.platform.boxes.back().text : "";
    }
};

// Keys and typed or pasted texts: only the main row's digits stay, anything else empties the
// field with a box. The box's language follows the interface (LanguageSwitch...).
TEST_F(DialogTest, DigitFilterTakesOnlyTheMainDigits) {
    const std::string refused = "Csak számjegyeket írhatsz be!";
    for (int key : {8, 46, 37, 39, 96, 105, 65, 32, 190, 48, 53, 57}) {
        const bool digit = key >= 48 && key <= 57;
        EXPECT_EQ(field("123", [&] { p.rules().mloszer_KeyDown(key); }), digit ? "" : refused);
        EXPECT_EQ(p.o().mloszer.text, digit ? "123" : "") << key;
    }
    const auto& box = p.platform.boxes.back();
    EXPECT_EQ(box.title, "Gombócok");
    EXPECT_EQ(box.icon, MsgIcon::critical);
    for (const char* text : {"0150", "", "12a", " 5", "\xd9\xa3", "-1", "1\n2"}) {
        const bool digits = std::string(text).find_first_not_of("0123456789") == std::string::npos;
        EXPECT_EQ(field("77", [&] { p.rules().mloszer_Change(text); }), digits ? "" : refused);
        EXPECT_EQ(p.o().mloszer.text, digits ? text : "") << text;
    }
}

// Each row: the text before, the arrow ('-' down, '+' up), the text after.
TEST_F(DialogTest, SpinnerStaysWithinZeroAndTwoHundred) {
    const char* steps[][3] = {{"0", "-", "0"},     {"", "-", "0"},
                              {"5", "-", "4"},     {"007", "-", "6"},
                              {"999", "-", "998"}, {"199", "+", "200"},
                              {"200", "+", "200"}, {"999", "+", "200"},
                              {"", "+", "1"},      {"99999999999999999999", "+", "200"}};
    for (const auto& [before, arrow, after] : steps) {
        p.o().mloszer.text = before;
        run([&, arrow = arrow] {
            *arrow == '+' ? p.rules().chloszer_UpClick() : p.rules().chloszer_DownClick();
        });
        EXPECT_EQ(p.o().mloszer.text, after) << before << arrow;
    }
}

TEST_F(DialogTest, OkCutsTheAmmunitionToTwoHundredAndAppliesIt) {
    struct Case {
        const char *typed, *message, *shown;
        float bar;  // ammunition bar width after OK, from a full bar of 1440
    };
    const char* cut = "A maximális érték 200!";
    const Case cases[] = {{"250", cut, "200", 1432}, {"99999999999999999999", cut, "200", 1432},
                          {"200", "", "200", 1432},  {"100", "", "100", 1425},
                          {"0", "", "0", 0},         {"", "", "0", 0}};
    for (const Case& c : cases) {
        p.v().teljes = 1440;
        p.b().municio.Width = 1440;
        EXPECT_EQ(field(c.typed, [&] { p.rules().mehet_Click(); }), c.message) << c.typed;
        EXPECT_EQ(p.o().mloszer.text, *c.message ? "200" : c.typed);
        EXPECT_EQ(p.b().mundb.caption, c.shown);
        EXPECT_EQ(std::to_string(p.v().loszer), c.shown);
        EXPECT_EQ(p.b().municio.Width, c.bar) << c.typed;
    }
}

TEST_F(DialogTest, SpacecraftChoiceShowsOnlyAfterOk) {
    const std::string before = p.b().urhajo.picture;
    p.o().window.visible = true;
    run([&] { p.rules().uh_Click(0); });
    EXPECT_EQ(p.o().keret.Left, p.o().uh[0].Left - 120);
    EXPECT_EQ(p.v().urhajotipus, 0);
    EXPECT_EQ(p.b().urhajo.picture, before);

    run([&] { p.rules().mehet_Click(); });
    EXPECT_TRUE(p.b().urhajo.picture.ends_with("/k_urhajo_01.jpg"));
    EXPECT_FALSE(p.o().window.visible);
    EXPECT_TRUE(p.platform.sounds.back().ends_with("/csend.wav"));
    EXPECT_TRUE(p.v().hang_zene.ends_with("/urzaj.wav"));
    EXPECT_EQ(dir.read("settings.txt"), kDefaultSettings);  // OK does not save
}

TEST_F(DialogTest, LanguageSwitchStoresTheButtonCaptionAndMessagesFollowOnlyMagyar) {
    run([&] { p.o().selectNyelv(1); });
    EXPECT_EQ(p.v().programnyelv, "angol");
    run([&] { p.o().selectNyelv(0); });
    EXPECT_EQ(p.v().programnyelv, "hungarian");

    EXPECT_EQ(field("", [&] { p.rules().mloszer_KeyDown(8); }), "You may enter only digits!");
    EXPECT_EQ(p.platform.boxes.back().title, "Dumplers");
    EXPECT_EQ(p.platform.boxes.back().language, MsgLanguage::english);
    EXPECT_EQ(field("300", [&] { p.rules().mehet_Click(); }), "The maximum value: 200!");
    EXPECT_EQ(p.platform.boxes.back().language, MsgLanguage::english);

    run([&] { p.host.program.programvege(); });
    EXPECT_EQ(dir.read("settings.txt"), "hungarian\r\n111\r\n2\r\n200\r\n2\r\n");
}

TEST_F(DialogTest, SoundAndDamageSwitchesActAtOnce) {
    p.platform.sounds.clear();
    run([&] { p.o().hzene.setValue(0); });
    EXPECT_FALSE(p.v().hatterzene);
    run([&] { p.o().hzene.setValue(1); });
    EXPECT_TRUE(p.v().hatterzene);
    run([&] { p.o().effektek.setValue(0); });
    EXPECT_FALSE(p.v().hanghatas);
    const std::vector<std::string> sounds = {"csend.wav", "csend.wav", "beallit.wav"};
    ASSERT_EQ(p.platform.sounds.size(), sounds.size());
    for (std::size_t k = 0; k < sounds.size(); ++k)
        EXPECT_TRUE(p.platform.sounds[k].ends_with("/" + sounds[k])) << p.platform.sounds[k];

    const int serules[] = {10, 5, 3, 2, 2, 1, 1, 1, 1};
    for (int level : {3, 9, 1, 6}) {
        run([&] { p.o().nszcsuszka.setValue(level); });
        EXPECT_EQ(p.v().serulesszint, level);
        EXPECT_EQ(p.v().serules, serules[level - 1]);
    }
}

// Each pair: the tab clicked, the page shown (a tab past the last shows the last page).
TEST_F(DialogTest, TabsShowExactlyOnePage) {
    for (auto [tab, page] : {std::pair{2, 1}, {3, 2}, {1, 0}, {3, 2}, {4, 2}}) {
        run([&, tab = tab] { p.rules().fules_Click(tab); });
        const bool shown[] = {p.o().egy.visible, p.o().ketto.visible, p.o().harom.visible};
        for (int k = 0; k < 3; ++k) EXPECT_EQ(shown[k], k == page) << tab;
    }
}

// The close box unloads the dialog, which saves; the next opening reads the file again.
TEST_F(DialogTest, ClosingTheDialogSavesAndReopeningReloads) {
    run([&] {
        p.o().vizeff.setValue(0);
        p.rules().uh_Click(1);
    });
    run([&] { p.host.program.unload(WindowId::opciok); });
    EXPECT_EQ(dir.read("settings.txt"), "magyar\r\n011\r\n2\r\n200\r\n1\r\n");
    run([&] { p.host.program.show(WindowId::opciok); });
    EXPECT_FALSE(p.o().vizeff.ticked());
    EXPECT_EQ(p.o().keret.Left, p.o().uh[1].Left - 120);
}

// After the first Start the status panel and the spacecraft belong to the game: a load of the
// dialog then (the level change reading the visual-effects box after the close box unloaded the
// dialog) takes the settings into the dialog but leaves the game window's live state alone.
// Before Start the same load shows what the file holds.
TEST(DialogReload, AfterStartLeavesTheGameAlone) {
    for (const bool started : {true, false}) {
        TempProgramDir d(kDefaultSettings);
        Started g(d);
        Board& board = *g.host.program.boardRules();
        ASSERT_TRUE(g.host.run([&] { board.beallit_Click(); }));
        ASSERT_TRUE(g.host.run([&] { g.rules().uh_Click(0); }));
        ASSERT_TRUE(g.host.run([&] { g.host.program.unload(WindowId::opciok); }));
        // The file changed on disk meanwhile (another copy of the program saved its settings).
        d.write("settings.txt", "magyar\r\n011\r\n9\r\n50\r\n0\r\n");
        if (started) {
            ASSERT_TRUE(g.host.run([&] { board.indit_Click(); }));
            for (int shot = 0; shot < 29; ++shot) g.host.run([&] { board.keyDown(vk::space); });
            g.b().allapot.Width = 720;
        }
        const BoardForm before = g.b();
        const int serules = g.v().serules;
        ASSERT_TRUE(g.host.run([&] { board.szintvalto(); }));

        EXPECT_FALSE(g.o().vizeff.ticked());
        EXPECT_EQ(g.o().nszcsuszka.value(), 9);
        EXPECT_EQ(g.o().mloszer.text, "50");
        EXPECT_EQ(g.b().uzenet.caption, "");  // level 2 without visual effects: no message
        EXPECT_EQ(g.b().mundb.caption, started ? "171" : "50");
        EXPECT_EQ(g.b().municio.Width, before.municio.Width);
        EXPECT_EQ(g.b().allapot.Width, started ? 720 : before.allapot.Width);
        EXPECT_EQ(g.b().urhajo.picture == before.urhajo.picture, started);
        EXPECT_EQ(g.v().serules, started ? serules : 1);
    }
}

}  // namespace
}  // namespace gombocok
