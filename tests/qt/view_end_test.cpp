// The program asked to end from outside, on the real Qt host: an end signal with a message box
// open, a quit from the session, a signal the program was started with ignored.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <utility>

#include "qt/end_signals.h"
#include "settings/opciok.h"
#include "settings/settings_file.h"
#include "tests/settings/settings_fixture.h"
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

// Two end signals, the second handed to another thread while the game's thread saves over and
// over: the second ends the process at once only when it comes more than a second after the
// first (a logout's two signals are one request), and never in the middle of a save, which is
// left whole with no temporary file beside it.
TEST(EndFromOutsideDeathTest, ASecondSignalEndsAtOnceWhenApartButNeverInASave) {
    // Large, and in memory where there is a file system in memory, so that the save spends
    // nearly all its time between the temporary's creation and its rename.
    const std::string other(1 << 20, 'x');
    const std::string before = "magyar\r\n111\r\n2\r\n200\r\n0\r\n";
    for (const auto& [afterMs, killed] : {std::pair{200, false}, std::pair{1300, true}}) {
        std::string folder = (std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp") +
                             std::string("/gombocok-end-XXXXXX");
        ASSERT_NE(::mkdtemp(folder.data()), nullptr);
        const std::string path = folder + "/settings.txt";
        const int ms = afterMs;
        auto run = [&] {
            bool requested = false;
            EndSignals endSignals([&requested] { requested = true; });
            std::raise(SIGTERM);
            QCoreApplication::processEvents();
            if (!requested) std::_Exit(3);
            std::thread second([ms] {
                std::this_thread::sleep_for(std::chrono::milliseconds(ms));
                std::raise(SIGTERM);
            });
            second.detach();
            const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1800);
            for (int k = 0; std::chrono::steady_clock::now() < end; ++k)
                replaceFile(path, k % 2 ? other : before);
            std::_Exit(0);
        };
        if (killed)
            EXPECT_EXIT(run(), ::testing::KilledBySignal(SIGTERM), "");
        else
            EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "");
        std::ifstream in(path, std::ios::binary);
        const std::string now(std::istreambuf_iterator<char>(in), {});
        EXPECT_TRUE(now.empty() || now == before || now.size() == other.size())
            << now.substr(0, 20);
        EXPECT_EQ(testing::strayFiles(folder), "") << afterMs;
        std::filesystem::remove_all(folder);
    }
}

}  // namespace
}  // namespace gombocok
