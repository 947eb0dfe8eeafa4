#include <gtest/gtest.h>

#include <functional>

#include "settings/texts.h"
#include "tests/settings/settings_fixture.h"

namespace gombocok {
namespace {

using testing::Started;
using testing::TempProgramDir;

// Every caption that the language sets, with its text in each language: the one place the tests
// spell the captions out, so that a word changed in the catalogue is caught here.
struct Forms {
    BoardForm& b;
    OpciokForm& o;
    SplashForm& s;
};
struct CaptionRow {
    const char* control;
    std::function<std::string(const Forms&)> caption;
    std::string hu, en;
};

std::vector<CaptionRow> captionTable() {
    auto board = [](auto member) {
        return [member](const Forms& p) { return (p.b.*member).caption; };
    };
    auto dialog = [](auto member) {
        return [member](const Forms& p) { return (p.o.*member).caption; };
    };
    auto tab = [](int k) { return [k](const Forms& p) { return p.o.fules.tabs.at(k); }; };
    auto uh = [](int k) { return [k](const Forms& p) { return p.o.uhNames.at(k); }; };
    return {
        {"board", [](const Forms& p) { return p.b.window.caption; },
         "Gombócok" + std::string(128, ' ') + "v1.0", "Dumplers" + std::string(125, ' ') + "v1.0"},
        {"conditionCaption", board(&BoardForm::conditionCaption),
         "Űrhajó állapota:", "Spacecraft status:"},
        {"ammoCaption", board(&BoardForm::ammoCaption), "Lőszer:", "Ammo:"},
        {"ufosCaption", board(&BoardForm::ufosCaption), "Ufók száma:", "Ufo's:"},
        {"levelCaption", board(&BoardForm::levelCaption), "Szint:", "Level:"},
        {"shotDownCaption", board(&BoardForm::shotDownCaption),
         "Lelőtt ufók száma:", "Eliminated ufo's:"},
        {"timeCaption", board(&BoardForm::timeCaption), "Eltelt idő:", "Elapsed time:"},
        {"indit", board(&BoardForm::indit), "Indít", "Start"},
        {"szunet", board(&BoardForm::szunet), "Szünet", "Pause"},
        {"beallit", board(&BoardForm::beallit), "Beállítások", "Options"},
        {"kilepes", board(&BoardForm::kilepes), "Kilépés", "Quit"},
        {"cheatbox", board(&BoardForm::cheatbox), "csalás mód BE", "cheat mode ON"},
        {"tab 1", tab(0), "megjelenés", "skin"},
        {"spacecraftCaption", dialog(&OpciokForm::spacecraftCaption),
         "Űrhajó-típus választás:", "Spacecraft class select:"},
        {"uh 1", uh(0), "1. űrhajó", "Spacecraft 1"},
        {"uh 3", uh(2), "3. űrhajó", "Spacecraft 3"},
        {"languageCaption", dialog(&OpciokForm::languageCaption),
         "Program nyelve:", "Program language:"},
        {"nyelv 0", [](const Forms& p) { return p.o.nyelv[0].caption; }, "magyar", "hungarian"},
        {"nyelv 1", [](const Forms& p) { return p.o.nyelv[1].caption; }, "angol", "english"},
        {"vizeff", dialog(&OpciokForm::vizeff), "vizuális effektek", "visual effects"},
        {"tab 2", tab(1), "hangok", "sounds"},
        {"soundCaption", dialog(&OpciokForm::soundCaption), "Hang beállítások:", "Sound options:"},
        {"hzene", dialog(&OpciokForm::hzene), "háttérzenék", "background musics"},
        {"effektek", dialog(&OpciokForm::effektek), "effektusok", "effects"},
        {"tab 3", tab(2), "játékmenet", "gameplay"},
        {"damageCaption", dialog(&OpciokForm::damageCaption),
         "Űrhajó sérülési szintje:", "Spacecraft damage level:"},
        {"initialAmmoCaption", dialog(&OpciokForm::initialAmmoCaption),
         "Induló lőszermennyiség:", "Initial ammo:"},
        {"splash", [](const Forms& p) { return p.s.window.caption; }, "Gombócok", "Dumplers"},
        {"cim", [](const Forms& p) { return p.s.cim.caption; }, "Gombócok", "Dumplers"},
        {"szerzo", [](const Forms& p) { return p.s.szerzo.caption; }, "a Gombócok műhelyéből",
         "from the Dumplers crew"},
        // Never changed by the language.
        {"opciok", [](const Forms& p) { return p.o.window.caption; }, "Beállítások", "Beállítások"},
        {"mehet", dialog(&OpciokForm::mehet), "OK", "OK"},
    };
}

Forms forms(Started& p) {
    return {p.b(), p.o(), p.s()};
}

std::vector<std::string> captions(Started& p) {
    std::vector<std::string> all;
    for (const CaptionRow& row : captionTable()) all.push_back(row.caption(forms(p)));
    return all;
}

void apply(Started& p, const std::string& word) {
    p.host.run([&] {
        p.v().programnyelv = word;
        szovegkez(p.v(), p.host.program);
    });
}

// Each word of a language gives that language's captions on all three windows; any other word
// changes nothing.
TEST(Texts, EachCaptionReadsItsTextInTheLanguageOfTheWord) {
    TempProgramDir dir(testing::kDefaultSettings);
    Started p(dir);
    const std::vector<CaptionRow> table = captionTable();
    for (const char* word :
         {"magyar", "angol", "Magyar", "ENGLISH", "", "magyar ", "hu", "hungarian", "english"}) {
        const std::vector<std::string> before = captions(p);
        apply(p, word);
        const NamedLanguage language = namedLanguage(word);
        for (std::size_t k = 0; k < table.size(); ++k) {
            const std::string& expected = language == NamedLanguage::none        ? before[k]
                                          : language == NamedLanguage::hungarian ? table[k].hu
                                                                                 : table[k].en;
            EXPECT_EQ(table[k].caption(forms(p)), expected)
                << table[k].control << " after " << word;
        }
    }
}

// The designs carry the Hungarian captions (those that show before the texts run).
TEST(Texts, TheDesignsCarryTheHungarianCaptions) {
    BoardForm board;
    OpciokForm dialog;
    SplashForm splash;
    for (const CaptionRow& row : captionTable()) {
        if (std::string(row.control).starts_with("uh ")) continue;  // named by the texts only
        EXPECT_EQ(row.caption({board, dialog, splash}), row.hu) << row.control;
    }
}

// The texts load the game window and the dialog when they need them, but never the title screen.
TEST(Texts, DoNotLoadTheTitleScreen) {
    TempProgramDir dir("english\r\n111\r\n2\r\n200\r\n2\r\n");
    HeadlessPlatform platform(dir.path());
    VirtualHost host(platform);
    host.run([&] {
        host.program.vars.programnyelv = "english";
        szovegkez(host.program.vars, host.program);
    });
    EXPECT_EQ(host.program.splashIfLoaded(), nullptr);
    ASSERT_NE(host.program.boardIfLoaded(), nullptr);
    EXPECT_EQ(host.program.boardIfLoaded()->kilepes.caption, "Quit");
}

}  // namespace
}  // namespace gombocok
