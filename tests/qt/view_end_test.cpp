// The program asked to end from outside, on the real Qt host: an end signal with a message box
// open, a quit from the session, a signal the program was started with ignored.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <csignal>

#include "qt/end_signals.h"
#include "settings/opciok.h"
#include "tests/support/view_support.h"

namespace gombocok {
namespace {

struct Running : testing::QtProgram {
    Running() : QtProgram(true) {
        // An earlier test's end leaves its quit queued, and a quit outside the event loop makes
        // every later nested loop (a message box) return at once: a loop of its own takes both.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QApplication::exec();
        host.start();
        // Spacecraft type 0: a change that only the save can bring to the file.
        host.run([this] { program.opciokRules()->uh_Click(0); });
    }
    bool saved() { return dir.read("settings.txt") == "magyar\r\n111\r\n2\r\n200\r\n0\r\n"; }
};

// An end signal while a question is open: the question is dismissed (answered No), the event
// that asked it finishes, then the program end runs and saves; no further box waits.
TEST(EndFromOutside, AnEndSignalDismissesAnOpenBoxAndTheEndFollowsTheEvent) {
    Running r;
    EndSignals endSignals([&r] { r.host.requestEnd(); });
    QTimer::singleShot(50, [] { std::raise(SIGTERM); });
    MsgAnswer answer = MsgAnswer::yes;
    bool secondBoxReturned = false;
    r.host.run([&] {
        answer = r.platform.messageBox("?", "t", MsgIcon::exclamation, MsgButtons::yesNo,
                                       MsgLanguage::english);
        r.platform.messageBox("after", "t", MsgIcon::exclamation, MsgButtons::ok,
                              MsgLanguage::english);
        secondBoxReturned = true;
    });
    EXPECT_EQ(answer, MsgAnswer::no);
    EXPECT_TRUE(secondBoxReturned);
    EXPECT_TRUE(r.program.ended());
    EXPECT_EQ(r.host.exitCode(), 0);
    EXPECT_TRUE(r.saved());
}

TEST(EndFromOutside, AQuitFromTheSessionRunsTheProgramEndFirst) {
    Running r;
    ASSERT_TRUE(r.program.splashIfLoaded() && r.program.splashIfLoaded()->window.visible);
    endWithTheSession(*qApp, r.host);
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QApplication::exec();
    EXPECT_TRUE(r.program.ended());
    EXPECT_TRUE(r.saved());
}

TEST(EndFromOutsideDeathTest, AnIgnoredSignalStaysIgnored) {
    EXPECT_EXIT(
        {
            std::signal(SIGHUP, SIG_IGN);
            EndSignals endSignals([] { std::_Exit(1); });
            std::raise(SIGHUP);
            QApplication::processEvents();
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace gombocok
