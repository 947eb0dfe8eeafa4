#include "program/command_line.h"

#include <gtest/gtest.h>

namespace gombocok {
namespace {

TEST(CommandLine, AnswersHelpAndVersionRefusesTheUnknownAndLeavesQtItsOwn) {
    struct Case {
        std::vector<std::string> args;
        bool hungarian;
        bool play;
        int exitCode;
        std::string out;  // a part of standard output ("" : nothing there)
        std::string err;  // a part of standard error ("" : nothing there)
    };
    const std::vector<Case> cases = {
        {{}, false, true, 0, "", ""},
        {{"--help"}, false, false, 0, "Usage: gombocok", ""},
        {{"-h"}, true, false, 0, "Használat: gombocok", ""},
        {{"--version"}, false, false, 0, "Dumplers (gombocok) 9.8.7\n", ""},
        {{"-v"}, true, false, 0, "Gombócok (gombocok) 9.8.7\n", ""},
        {{"-x"}, false, false, 2, "", "gombocok: unknown option: -x\nTry 'gombocok --help'"},
        {{"-x"}, true, false, 2, "", "gombocok: ismeretlen kapcsoló: -x\nBővebben:"},
        {{"level9"}, false, false, 2, "", "unexpected argument: level9\n"},
        {{"-hv"}, false, false, 2, "", "unknown option: -hv\n"},
        // The first that is not Qt's decides.
        {{"--version", "-x"}, false, false, 0, "9.8.7", ""},
        {{"-x", "--help"}, false, false, 2, "", "-x"},
        // Qt's options and their values pass, in either dash form; a value is never read as ours.
        {{"-platform", "offscreen", "--display", ":3", "-reverse"}, false, true, 0, "", ""},
        {{"-qmljsdebugger=port:9", "-style=fusion"}, false, true, 0, "", ""},
        {{"-style", "--help"}, false, true, 0, "", ""},
        {{"-platform=xcb"}, false, false, 2, "", "unknown option: -platform=xcb\n"},
    };
    // Whether `part` is in `text`, and "" only in "".
    auto holds = [](const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos && text.empty() == part.empty();
    };
    for (const Case& c : cases) {
        const CommandLine r = readCommandLine(c.args, c.hungarian, "9.8.7");
        EXPECT_EQ(r.play, c.play) << ::testing::PrintToString(c.args) << c.hungarian;
        EXPECT_EQ(r.exitCode, c.exitCode) << ::testing::PrintToString(c.args) << r.err;
        EXPECT_TRUE(holds(r.out, c.out)) << r.out;
        EXPECT_TRUE(holds(r.err, c.err)) << r.err;
    }
}

TEST(CommandLine, SpeaksHungarianWhenTheLocaleDoesInPosixOrder) {
    struct Case {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        bool hungarian;
    };
    const std::vector<Case> cases = {
        {nullptr, nullptr, nullptr, false},
        {nullptr, nullptr, "hu_HU.UTF-8", true},
        {nullptr, nullptr, "hu", true},
        {nullptr, nullptr, "hun", false},
        {"C", nullptr, "hu_HU.UTF-8", false},
        {"", "hu_HU.UTF-8", "en_GB.UTF-8", true},
        {nullptr, "en_US.UTF-8", "hu_HU.UTF-8", false},
        {"hu_HU.ISO-8859-2", "en_US.UTF-8", "C", true},
    };
    for (int k = 0; const Case& c : cases)
        EXPECT_EQ(hungarianLocale(c.lcAll, c.lcMessages, c.lang), c.hungarian) << "row " << k++;
}

TEST(CommandLine, NamesTheWindowSystemThatCouldNotBeOpened) {
    struct Case {
        std::vector<std::string> args;
        const char* qpaPlatform;
        const char* display;
        bool hungarian;
        std::string line;
    };
    const std::vector<Case> cases = {
        {{}, nullptr, nullptr, false, "gombocok: cannot open the display (DISPLAY is not set)\n"},
        {{},
         nullptr,
         "",
         true,
         "gombocok: nem nyitható meg a kijelző (a DISPLAY nincs beállítva)\n"},
        {{}, "xcb", ":7", false, "gombocok: cannot open the display :7\n"},
        {{}, nullptr, ":7", true, "gombocok: nem nyitható meg a kijelző: :7\n"},
        // The options Qt reads win over the environment, the last one given over the others.
        {{"-display", ":8"}, nullptr, ":7", false, "gombocok: cannot open the display :8\n"},
        {{"--display", ":8", "-display", ":9"},
         nullptr,
         nullptr,
         false,
         "gombocok: cannot open the display :9\n"},
        {{"-platform", "xcb:nograb", "-display", ":8"},
         "nosuch",
         nullptr,
         false,
         "gombocok: cannot open the display :8\n"},
        {{"-platform", "nosuch"},
         "xcb",
         ":7",
         false,
         "gombocok: cannot start the window system platform 'nosuch'\n"},
        {{"-style", "fusion"},
         "eglfs:/dev/fb1;xcb",
         ":7",
         true,
         "gombocok: nem indítható a(z) „eglfs” grafikus platform\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(windowSystemFailure(c.args, c.qpaPlatform, c.display, c.hungarian), c.line)
            << ::testing::PrintToString(c.args);
}

}  // namespace
}  // namespace gombocok
