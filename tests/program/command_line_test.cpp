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
    // clang-format off
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
        {{"-platform", "offscreen", "--display", ":3", "-qmljsdebugger=port:9", "-style=fusion",
          "-reverse"}, false, true, 0, "", ""},
        {{"-style", "--help"}, false, true, 0, "", ""},
        {{"-platform=xcb"}, false, false, 2, "", "unknown option: -platform=xcb\n"},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::string line;
        for (const auto& a : c.args) line += a + " ";
        SCOPED_TRACE(line + (c.hungarian ? "(hu)" : "(en)"));
        const CommandLine r = readCommandLine(c.args, c.hungarian, "9.8.7");
        EXPECT_EQ(r.play, c.play);
        EXPECT_EQ(r.exitCode, c.exitCode);
        if (c.out.empty())
            EXPECT_EQ(r.out, "");
        else
            EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
        if (c.err.empty())
            EXPECT_EQ(r.err, "");
        else
            EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
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
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.lcAll ? c.lcAll : "-") + " " +
                     (c.lcMessages ? c.lcMessages : "-") + " " + (c.lang ? c.lang : "-"));
        EXPECT_EQ(hungarianLocale(c.lcAll, c.lcMessages, c.lang), c.hungarian);
    }
}

}  // namespace
}  // namespace gombocok
