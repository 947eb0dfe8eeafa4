#include <gtest/gtest.h>

#include "settings/texts.h"
#include "tests/settings_fixture.h"

namespace gombocok {
namespace {

using testing::kDefaultSettings;
using testing::Started;
using testing::TempProgramDir;

struct Row {
    const char* control;
    std::string (*caption)(Started&);
    std::string hu, en;
};

std::vector<Row> captionTable() {
    return {
        {"board window", [](Started& p) { return p.b().window.caption; },
         "Gombócok" + std::string(128, ' ') + "v1.0", "Dumplers" + std::string(125, ' ') + "v1.0"},
        {"board Label1", [](Started& p) { return p.b().Label1.caption; },
         "Űrhajó állapota:", "Spacecraft status:"},
        {"board Label6", [](Started& p) { return p.b().Label6.caption; }, "Lőszer:", "Ammo:"},
        {"board Label2", [](Started& p) { return p.b().Label2.caption; }, "Ufók száma:", "Ufo's:"},
        {"board Label4", [](Started& p) { return p.b().Label4.caption; }, "Szint:", "Level:"},
        {"board Label5", [](Started& p) { return p.b().Label5.caption; },
         "Lelőtt ufók száma:", "Eliminated ufo's:"},
        {"board Label3", [](Started& p) { return p.b().Label3.caption; },
         "Eltelt idő:", "Elapsed time:"},
        {"indit", [](Started& p) { return p.b().indit.caption; }, "Indít", "Start"},
        {"szunet", [](Started& p) { return p.b().szunet.caption; }, "Szünet", "Pause"},
        {"beallit", [](Started& p) { return p.b().beallit.caption; }, "Beállítások", "Options"},
        {"kilepes", [](Started& p) { return p.b().kilepes.caption; }, "Kilépés", "Quit"},
        {"cheatbox", [](Started& p) { return p.b().cheatbox.caption; }, "csalás mód BE",
         "cheat mode ON"},
        {"tab 1", [](Started& p) { return p.o().fules.tabs.at(0); }, "megjelenés", "skin"},
        {"opciok Label1", [](Started& p) { return p.o().Label1.caption; },
         "Űrhajó-típus választás:", "Spacecraft class select:"},
        {"opciok Label5", [](Started& p) { return p.o().Label5.caption; },
         "Program nyelve:", "Program language:"},
        {"nyelv 0", [](Started& p) { return p.o().nyelv[0].caption; }, "magyar", "hungarian"},
        {"nyelv 1", [](Started& p) { return p.o().nyelv[1].caption; }, "angol", "english"},
        {"vizeff", [](Started& p) { return p.o().vizeff.caption; }, "vizuális effektek",
         "visual effects"},
        {"tab 2", [](Started& p) { return p.o().fules.tabs.at(1); }, "hangok", "sounds"},
        {"opciok Label2", [](Started& p) { return p.o().Label2.caption; },
         "Hang beállítások:", "Sound options:"},
        {"hzene", [](Started& p) { return p.o().hzene.caption; }, "háttérzenék",
         "background musics"},
        {"effektek", [](Started& p) { return p.o().effektek.caption; }, "effektusok", "effects"},
        {"tab 3", [](Started& p) { return p.o().fules.tabs.at(2); }, "játékmenet", "gameplay"},
        {"opciok Label3", [](Started& p) { return p.o().Label3.caption; },
         "Űrhajó sérülési szintje:", "Spacecraft damage level:"},
        {"opciok Label4", [](Started& p) { return p.o().Label4.caption; },
         "Induló lőszermennyiség:", "Initial ammo:"},
        {"cim", [](Started& p) { return p.s().cim.caption; }, "Gombócok", "Dumplers"},
        {"szerzo", [](Started& p) { return p.s().szerzo.caption; }, "a Gombócok műhelyéből",
         "from the Dumplers workshop"},
        // Never changed by language.
        {"opciok window", [](Started& p) { return p.o().window.caption; }, "Beállítások",
         "Beállítások"},
        {"mehet", [](Started& p) { return p.o().mehet.caption; }, "OK", "OK"},
    };
}

TEST(Texts, EveryCaptionFollowsEachOfTheFourLanguageWords) {
    TempProgramDir dir(kDefaultSettings);
    Started p(dir);
    for (const char* word : {"angol", "magyar", "english", "hungarian"}) {
        p.host.run([&] {
            p.v().programnyelv = word;
            szovegkez(p.v(), p.host.program);
        });
        const bool hu = std::string(word) == "magyar" || std::string(word) == "hungarian";
        for (const Row& r : captionTable())
            EXPECT_EQ(r.caption(p), hu ? r.hu : r.en) << word << ": " << r.control;
    }
}

TEST(Texts, AnyOtherValueChangesNothing) {
    TempProgramDir dir("english\r\n111\r\n2\r\n200\r\n2\r\n");
    Started p(dir);
    for (const char* word : {"Magyar", "ENGLISH", "", "magyar ", "hu"}) {
        p.host.run([&] {
            p.v().programnyelv = word;
            szovegkez(p.v(), p.host.program);
        });
        for (const Row& r : captionTable()) EXPECT_EQ(r.caption(p), r.en) << r.control;
    }
}

// The texts touch the game window and the dialog (loading them) but leave the title screen
// unloaded when it is not there.
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
