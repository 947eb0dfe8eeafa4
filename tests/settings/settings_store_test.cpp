// Where the settings live and how they reach the disk: the player's own folder when the program
// directory cannot be written, files that are there but cannot be read, links, and saves that
// race or fail.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "game/board.h"
#include "settings/settings_file.h"
#include "tests/settings/settings_fixture.h"

namespace gombocok {
namespace {

namespace fs = std::filesystem;
using testing::kDefaultSettings;
using testing::loadProblem;
using testing::Started;
using testing::strayFiles;
using testing::TempProgramDir;

const std::string kPlayerSettings = "english\r\n010\r\n9\r\n50\r\n0\r\n";

TEST(SettingsPlace, ProgramDirectoryWhileWritableElseThePlayersOwnSeededFromIt) {
    struct Case {
        const char* name;
        bool writable;
        std::string config;
        SettingsPlace expected;
    };
    const std::vector<Case> cases = {
        {"writable", true, "/home/p/.config/gombocok", {"/opt/g/settings.txt", ""}},
        {"read-only",
         false,
         "/home/p/.config/gombocok",
         {"/home/p/.config/gombocok/settings.txt", "/opt/g/settings.txt"}},
        {"read-only, no folder of the player's", false, "", {"/opt/g/settings.txt", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SettingsPlace place = settingsPlace("/opt/g", c.config, c.writable);
        EXPECT_EQ(place.file, c.expected.file);
        EXPECT_EQ(place.seed, c.expected.seed);
    }
}

TEST(SettingsPlace, ThePlayersFolderFollowsTheXdgRules) {
    struct Case {
        const char* xdg;
        const char* home;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"/x/conf", "/home/p", "/x/conf/gombocok"},
        {nullptr, "/home/p", "/home/p/.config/gombocok"},
        {"", "/home/p", "/home/p/.config/gombocok"},
        {"relative/conf", "/home/p", "/home/p/.config/gombocok"},
        {nullptr, nullptr, ""},
        {nullptr, "", ""},
        {"relative", "also/relative", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.xdg ? c.xdg : "(unset)") + " " + (c.home ? c.home : "(unset)"));
        EXPECT_EQ(userConfigDirectory(c.xdg, c.home), c.expected);
    }
}

// The program directory stands for a read-only one here: the place is built as the program
// builds it when the directory cannot be written.
struct PlayersOwnCopy : ::testing::Test {
    TempProgramDir dir{""};
    std::string config = dir.file("home/.config/gombocok");
    SettingsPlace place = settingsPlace(dir.path(), config, false);
};

TEST_F(PlayersOwnCopy, FirstStartTakesTheProgramsFileAndTheSaveCreatesThePlayersFolder) {
    dir.write("settings.txt", kPlayerSettings);
    const SettingsRead first = readSettings(place);
    EXPECT_EQ(first.state, SettingsState::read);
    EXPECT_TRUE(first.seeded);
    EXPECT_EQ(first.content, kPlayerSettings);

    std::string error;
    ASSERT_TRUE(saveSettings(place, kDefaultSettings, error)) << error;
    EXPECT_EQ((fs::status(config).permissions() & fs::perms::all), fs::perms::owner_all);
    EXPECT_EQ(dir.read("settings.txt"), kPlayerSettings);

    const SettingsRead next = readSettings(place);
    EXPECT_FALSE(next.seeded);
    EXPECT_EQ(next.content, kDefaultSettings);
}

TEST_F(PlayersOwnCopy, AnExistingCopyRulesOverTheProgramsFile) {
    dir.write("settings.txt", kDefaultSettings);
    fs::create_directories(config);
    std::ofstream(config + "/settings.txt", std::ios::binary) << kPlayerSettings;
    const SettingsRead r = readSettings(place);
    EXPECT_FALSE(r.seeded);
    EXPECT_EQ(r.content, kPlayerSettings);
}

TEST_F(PlayersOwnCopy, NeitherFileIsMissing) {
    EXPECT_EQ(readSettings(place).state, SettingsState::missing);
}

TEST_F(PlayersOwnCopy, AnUnreadableProgramsFileStillOnlySeeds) {
    fs::create_directory(dir.file("settings.txt"));
    const SettingsRead r = readSettings(place);
    EXPECT_EQ(r.state, SettingsState::notRegular);
    EXPECT_TRUE(r.seeded);
}

TEST_F(PlayersOwnCopy, AFolderThatCannotBeMadeFailsTheSaveNamingIt) {
    dir.write("home", "a file where the home folder should be");
    std::string error;
    EXPECT_FALSE(saveSettings(place, kDefaultSettings, error));
    EXPECT_NE(error.find(dir.file("home")), std::string::npos) << error;
}

TEST(SettingsSave, APlantedTemporaryLinkIsNeitherFollowedNorReplaced) {
    TempProgramDir dir(kPlayerSettings);
    dir.write("victim.txt", "precious");
    fs::create_symlink(dir.file("victim.txt"), dir.file("settings.txt.tmp"));
    std::string error;
    ASSERT_TRUE(replaceFile(dir.file("settings.txt"), kDefaultSettings, error)) << error;
    EXPECT_EQ(dir.read("victim.txt"), "precious");
    EXPECT_TRUE(fs::is_symlink(dir.file("settings.txt.tmp")));
    EXPECT_FALSE(fs::is_symlink(dir.file("settings.txt")));
    EXPECT_EQ(dir.read("settings.txt"), kDefaultSettings);
    EXPECT_EQ(strayFiles(dir.path()), "settings.txt.tmp");
}

// The save reaches whatever file the read reaches: links as deep as the kernel follows them, and
// a target whose name leaves no room for a suffix.
TEST(SettingsSave, ALinkedFileIsReplacedAtItsTargetAndTheLinkStays) {
    // `links` settings.txt -> l1 -> ... -> real/s.txt, each link relative.
    auto chain = [](int links) {
        return [links](const TempProgramDir& d) {
            for (int k = 1; k < links; ++k)
                fs::create_symlink(k + 1 < links ? "l" + std::to_string(k + 1) : "real/s.txt",
                                   d.file("l" + std::to_string(k)));
            fs::create_symlink("l1", d.file("settings.txt"));
        };
    };
    const std::string longName(250, 'x');
    struct Case {
        const char* name;
        std::function<void(const TempProgramDir&)> link;
        std::string target = "s.txt";  // in real/
    };
    const std::vector<Case> cases = {
        {"relative",
         [](const TempProgramDir& d) { fs::create_symlink("real/s.txt", d.file("settings.txt")); }},
        {"absolute",
         [](const TempProgramDir& d) {
             fs::create_symlink(d.file("real/s.txt"), d.file("settings.txt"));
         }},
        {"chain through a linked directory",
         [](const TempProgramDir& d) {
             fs::create_directory_symlink("real", d.file("alias"));
             fs::create_symlink("alias/s.txt", d.file("settings.txt"));
         }},
        {"chain of 40 links", chain(40)},
        {"target with a 250-byte name",
         [&](const TempProgramDir& d) {
             fs::create_symlink("real/" + longName, d.file("settings.txt"));
         },
         longName},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempProgramDir dir("");
        fs::create_directory(dir.file("real"));
        const std::string target = "real/" + c.target;
        dir.write(target, kPlayerSettings);
        fs::permissions(dir.file(target), fs::perms::owner_read | fs::perms::owner_write);
        c.link(dir);
        EXPECT_EQ(readSettingsFile(dir.file("settings.txt")).content, kPlayerSettings);
        std::string error;
        if (!replaceFile(dir.file("settings.txt"), kDefaultSettings, error)) {
            ADD_FAILURE() << error;
            continue;
        }
        EXPECT_TRUE(fs::is_symlink(dir.file("settings.txt")));
        EXPECT_EQ(dir.read(target), kDefaultSettings);
        EXPECT_EQ(fs::status(dir.file(target)).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write);
        for (const auto& e : fs::directory_iterator(dir.file("real")))
            EXPECT_EQ(e.path().filename(), c.target);
    }
    // One link more than the kernel follows: neither the read nor the save gets through.
    TempProgramDir dir("");
    fs::create_directory(dir.file("real"));
    dir.write("real/s.txt", kPlayerSettings);
    chain(41)(dir);
    EXPECT_EQ(readSettingsFile(dir.file("settings.txt")).error, ELOOP);
    std::string error;
    EXPECT_FALSE(replaceFile(dir.file("settings.txt"), kDefaultSettings, error));
    EXPECT_NE(error.find(std::strerror(ELOOP)), std::string::npos) << error;
    EXPECT_EQ(dir.read("real/s.txt"), kPlayerSettings);
}

// A save as root keeps the owner and group of the file it replaces, as it keeps the mode: a
// player's file stays the player's.
TEST(SettingsSave, KeepsTheOwnerWhereTheProcessMaySetIt) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root may give a file away";
    const struct passwd* nobody = ::getpwnam("nobody");
    const struct group* nogroup = ::getgrnam("nogroup");
    if (!nobody || !nogroup) GTEST_SKIP() << "no nobody:nogroup here";
    TempProgramDir dir(kPlayerSettings);
    const std::string path = dir.file("settings.txt");
    ASSERT_EQ(::chown(path.c_str(), nobody->pw_uid, nogroup->gr_gid), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    std::string error;
    ASSERT_TRUE(replaceFile(path, kDefaultSettings, error)) << error;
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, nobody->pw_uid);
    EXPECT_EQ(st.st_gid, nogroup->gr_gid);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(dir.read("settings.txt"), kDefaultSettings);
}

// Two copies of the program in one directory: every read between the saves and the file they
// leave is one whole file, never a mixture; no temporary stays behind.
TEST(SettingsSave, SavesThatRaceLeaveOneWholeFile) {
    TempProgramDir dir(kDefaultSettings);
    const std::string path = dir.file("settings.txt");
    const std::string a = "magyar\r\n111\r\n2\r\n200\r\n2\r\n";
    const std::string b = "angol\r\n010\r\n9\r\n50\r\n0\r\n";
    std::atomic<int> failures{0};
    auto saver = [&](const std::string& content) {
        std::string error;
        for (int k = 0; k < 150; ++k)
            if (!replaceFile(path, content, error)) ++failures;
    };
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!done) {
            const SettingsRead r = readSettingsFile(path);
            if (r.state != SettingsState::read || (r.content != a && r.content != b)) ++torn;
        }
    });
    std::thread first(saver, a), second(saver, b);
    first.join();
    second.join();
    done = true;
    reader.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(torn, 0);
    const std::string last = dir.read("settings.txt");
    EXPECT_TRUE(last == a || last == b) << last;
    EXPECT_EQ(strayFiles(dir.path()), "");
}

// Something that is not a readable file where settings.txt should be: the player is told what it
// is (not that it is missing), the program goes on with the defaults, and nothing replaces it.
// What stands at the path is the bounded reader's own matrix; here, which box each one gets.
TEST(SettingsUnreadable, ThePlayerIsToldOnceThePathIsNamedAndNothingReplacesIt) {
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
        const char* what;
    };
    const std::vector<Case> cases = {
        {"directory", [](auto& p) { fs::create_directory(p); }, "könyvtár"},
        {"FIFO", [](auto& p) { ::mkfifo(p.c_str(), 0644); }, "FIFO"},
        {"link to a device", [](auto& p) { fs::create_symlink("/dev/null", p); }, "eszközfile"},
        {"socket",
         [](auto& p) {
             const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
             sockaddr_un address{};
             address.sun_family = AF_UNIX;
             p.copy(address.sun_path, sizeof address.sun_path - 1);
             ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
             ::close(fd);
         },
         "socket"},
        {"link loop", [](auto& p) { fs::create_symlink("settings.txt", p); }, "Too many levels"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempProgramDir dir("");
        c.make(dir.file("settings.txt"));
        const auto before = fs::symlink_status(dir.file("settings.txt")).type();
        HeadlessPlatform platform(dir.path());
        platform.answers.push_back(MsgAnswer::ok);
        VirtualHost host(platform);
        ::testing::internal::CaptureStderr();
        host.start();
        ASSERT_FALSE(host.program.ended());
        ASSERT_EQ(platform.boxes.size(), 1u);
        const auto& box = platform.boxes[0];
        // Before the settings are read there is no interface language: both are used.
        EXPECT_EQ(box.title, "Gombócok (Dumplers)");
        EXPECT_EQ(box.language, MsgLanguage::hungarian);  // Hungarian first, its OK too
        EXPECT_NE(box.text.find(dir.file("settings.txt")), std::string::npos) << box.text;
        EXPECT_NE(box.text.find(c.what), std::string::npos) << box.text;
        EXPECT_EQ(box.text.find("hiányzik"), std::string::npos) << box.text;
        EXPECT_EQ(host.program.vars.programnyelv, "magyar");

        // Closing the dialog by its close box and opening it again: no second box, no save.
        host.run([&] { host.program.unload(WindowId::opciok); });
        host.run([&] { host.program.show(WindowId::opciok); });
        host.run([&] { host.program.programvege(); });
        ::testing::internal::GetCapturedStderr();
        EXPECT_TRUE(host.program.ended());
        EXPECT_EQ(platform.boxes.size(), 1u);
        EXPECT_EQ(fs::symlink_status(dir.file("settings.txt")).type(), before);
        EXPECT_EQ(strayFiles(dir.path()), "");
    }
}

// Root reads through file modes, so the player's unreadable file is tried as nobody, in a child.
TEST(SettingsUnreadable, AFileWithoutReadPermissionIsLeftAsItWas) {
    TempProgramDir dir(kPlayerSettings);
    ::chmod(dir.path().c_str(), 0777);
    ::chmod(dir.file("settings.txt").c_str(), 0);
    const uid_t nobody = 65534;
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(dir.file("settings.txt").c_str(), nobody, nobody), 0);
    }
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && (::setgid(nobody) != 0 || ::setuid(nobody) != 0)) std::_Exit(3);
            HeadlessPlatform platform(dir.path());
            platform.answers.push_back(MsgAnswer::ok);
            VirtualHost host(platform);
            host.start();
            const bool told = platform.boxes.size() == 1 &&
                              platform.boxes[0].text.find("Permission denied") != std::string::npos;
            host.run([&] { host.program.programvege(); });
            std::_Exit(told && host.program.ended() && platform.boxes.size() == 1 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    ::chmod(dir.file("settings.txt").c_str(), 0644);
    EXPECT_EQ(dir.read("settings.txt"), kPlayerSettings);
    EXPECT_EQ(strayFiles(dir.path()), "");
}

// A save that fails is reported in a box in the interface language, and the old file stays.
TEST(SettingsSaveFailure, IsShownInTheInterfaceLanguage) {
    struct Case {
        std::string file;
        const char* title;
        const char* words;
    };
    const std::vector<Case> cases = {
        {kDefaultSettings, "Gombócok", "nem sikerült menteni"},
        {kPlayerSettings, "Dumplers", "could not be saved"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        TempProgramDir dir("");
        // The program's file is a link into a folder that goes away during play.
        fs::create_directory(dir.file("linked"));
        dir.write("linked/s.txt", c.file);
        fs::create_symlink("linked/s.txt", dir.file("settings.txt"));
        Started p(dir);
        ASSERT_EQ(loadProblem(p), "");
        p.host.run([&] { p.rules().uh_Click(1); });
        fs::rename(dir.file("linked"), dir.file("moved"));
        p.platform.answers.push_back(MsgAnswer::ok);
        ::testing::internal::CaptureStderr();
        p.host.run([&] { p.host.program.programvege(); });
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_TRUE(p.host.program.ended());
        ASSERT_EQ(p.platform.boxes.size(), 1u);
        EXPECT_EQ(p.platform.boxes[0].title, c.title);
        EXPECT_EQ(p.platform.boxes[0].icon, MsgIcon::critical);
        EXPECT_NE(p.platform.boxes[0].text.find(c.words), std::string::npos);
        EXPECT_NE(p.platform.boxes[0].text.find(dir.file("linked/s.txt")), std::string::npos);
        EXPECT_NE(err.find("not saved"), std::string::npos) << err;
        EXPECT_EQ(dir.read("moved/s.txt"), c.file);
    }
}

TEST(SettingsSaveFailure, OfTheDefaultsIsShownInBothLanguagesAndStillEndsTheProgram) {
    TempProgramDir dir("");
    fs::create_symlink("no-such-folder/s.txt", dir.file("settings.txt"));
    HeadlessPlatform platform(dir.path());
    platform.answers = {MsgAnswer::ok, MsgAnswer::ok};
    VirtualHost host(platform);
    ::testing::internal::CaptureStderr();
    host.start();
    ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(host.program.ended());
    ASSERT_EQ(platform.boxes.size(), 2u);
    EXPECT_NE(platform.boxes[0].text.find("hiányzik"), std::string::npos);
    EXPECT_EQ(platform.boxes[1].title, "Gombócok (Dumplers)");
    EXPECT_NE(platform.boxes[1].text.find("nem sikerült menteni"), std::string::npos);
    EXPECT_NE(platform.boxes[1].text.find("could not be saved"), std::string::npos);
}

TEST(SettingsMissing, ADanglingLinkIsMissingAndTheDefaultsAreWrittenAtItsTarget) {
    TempProgramDir dir("");
    fs::create_symlink("kept/s.txt", dir.file("settings.txt"));
    fs::create_directory(dir.file("kept"));
    HeadlessPlatform platform(dir.path());
    platform.answers.push_back(MsgAnswer::ok);
    VirtualHost host(platform);
    host.start();
    EXPECT_TRUE(host.program.ended());
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_TRUE(fs::is_symlink(dir.file("settings.txt")));
    EXPECT_EQ(dir.read("kept/s.txt"), kDefaultSettings);
}

}  // namespace
}  // namespace gombocok
