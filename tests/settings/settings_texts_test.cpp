#include <gtest/gtest.h>

#include "settings/texts.h"
#include "tests/settings/settings_fixture.h"

namespace gombocok {
namespace {

using testing::Started;
using testing::TempProgramDir;

// Every caption that the language sets.
std::vector<std::string> captions(Started& p) {
    BoardForm& b = p.b();
    OpciokForm& o = p.o();
    std::vector<std::string> all = {
        b.window.caption,    b.Label1.caption,  b.Label6.caption,   b.Label2.caption,
        b.Label4.caption,    b.Label5.caption,  b.Label3.caption,   b.indit.caption,
        b.szunet.caption,    b.beallit.caption, b.kilepes.caption,  b.cheatbox.caption,
        o.Label1.caption,    o.Label5.caption,  o.nyelv[0].caption, o.nyelv[1].caption,
        o.vizeff.caption,    o.Label2.caption,  o.hzene.caption,    o.effektek.caption,
        o.Label3.caption,    o.Label4.caption,  p.s().cim.caption,  p.s().szerzo.caption,
        p.s().window.caption};
    all.insert(all.end(), o.fules.tabs.begin(), o.fules.tabs.end());
    return all;
}

void apply(Started& p, const std::string& word) {
    p.host.run([&] {
        p.v().programnyelv = word;
        szovegkez(p.v(), p.host.program);
    });
}

// Both words of a language give the same captions on all three windows; any other word
// changes nothing.
TEST(Texts, BothWordsOfALanguageGiveTheSameCaptionsAndOthersNone) {
    TempProgramDir dir(testing::kDefaultSettings);
    Started p(dir);
    const std::vector<std::string> hungarian = captions(p);
    for (const char* word : {"Magyar", "ENGLISH", "", "magyar ", "hu"}) {
        apply(p, word);
        EXPECT_EQ(captions(p), hungarian) << word;
    }
    EXPECT_EQ(p.b().window.caption, "Gombócok" + std::string(128, ' ') + "v1.0");
    apply(p, "angol");
    const std::vector<std::string> english = captions(p);
    EXPECT_EQ(p.b().window.caption, "Dumplers" + std::string(125, ' ') + "v1.0");
    EXPECT_EQ(p.o().nyelv[0].caption, "hungarian");
    EXPECT_EQ(p.s().szerzo.caption, "from the Dumplers crew");
    EXPECT_EQ(p.o().window.caption, "Beállítások");
    for (std::size_t k = 0; k < hungarian.size(); ++k) EXPECT_NE(english[k], hungarian[k]);
    apply(p, "hungarian");
    EXPECT_EQ(captions(p), hungarian);
    apply(p, "english");
    EXPECT_EQ(captions(p), english);
    apply(p, "magyar");
    EXPECT_EQ(captions(p), hungarian);
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
