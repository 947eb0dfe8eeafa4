// Where the settings live and how they reach the disk: the player's own folder when the program
// directory cannot be written, files that are there but cannot be read, links, and saves that
// race or fail.
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
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
    const std::string config = "/home/p/.config/gombocok";
    const std::tuple<bool, std::string, std::string, std::string> cases[] = {
        {true, config, "/opt/g/settings.txt", ""},
        {false, config, config + "/settings.txt", "/opt/g/settings.txt"},
        {false, "", "/opt/g/settings.txt", ""},
    };
    for (const auto& [writable, folder, file, seed] : cases) {
        const SettingsPlace place = settingsPlace("/opt/g", folder, writable);
        EXPECT_EQ(place.file + " " + place.seed, file + " " + seed) << writable << folder;
    }
}

TEST(SettingsPlace, ThePlayersFolderFollowsTheXdgRules) {
    const std::tuple<const char*, const char*, std::string> cases[] = {
        {"/x/conf", "/home/p", "/x/conf/gombocok"},
        {nullptr, "/home/p", "/home/p/.config/gombocok"},
        {"", "/home/p", "/home/p/.config/gombocok"},
        {"relative/conf", "/home/p", "/home/p/.config/gombocok"},
        {nullptr, nullptr, ""},
        {nullptr, "", ""},
        {"relative", "also/relative", ""},
    };
    for (const auto& [xdg, home, expected] : cases)
        EXPECT_EQ(userConfigDirectory(xdg, home), expected)
            << (xdg ? xdg : "-") << (home ? home : "-");
}

// The program directory stands for a read-only one here: the place is built as the program
// builds it when the directory cannot be written.
struct PlayersOwnCopy : ::testing::Test {
    TempProgramDir dir{""};
    std::string config = dir.file("home/.config/gombocok");
    SettingsPlace place = settingsPlace(dir.path(), config, false);
};

// The first start takes the program's file, the save creates the player's folder, and from then
// on the player's copy rules.
TEST_F(PlayersOwnCopy, IsSeededFromTheProgramsFileAndThenRules) {
    EXPECT_EQ(readSettings(place).state, SettingsState::missing);
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

// An unreadable program's file still only seeds; a folder that cannot be made fails the save,
// naming it.
TEST_F(PlayersOwnCopy, AnUnreadableSeedAndAFolderThatCannotBeMade) {
    fs::create_directory(dir.file("settings.txt"));
    dir.write("home", "a file where the home folder should be");
    const SettingsRead r = readSettings(place);
    EXPECT_EQ(r.state, SettingsState::notRegular);
    EXPECT_TRUE(r.seeded);
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

// Links settings.txt to `to` through a chain of `links` links (l1 -> l2 -> ... -> `to`).
void linkSettings(const TempProgramDir& d, const std::string& to, int links = 1) {
    std::string next = to;
    for (int k = links - 1; k >= 1; --k) {
        fs::create_symlink(next, d.file("l" + std::to_string(k)));
        next = "l" + std::to_string(k);
    }
    fs::create_symlink(next, d.file("settings.txt"));
}

// The save reaches whatever file the read reaches: links as deep as the kernel follows them, and
// a target whose name leaves no room for a suffix.
TEST(SettingsSave, ALinkedFileIsReplacedAtItsTargetAndTheLinkStays) {
    const std::string longName(250, 'x');
    struct Case {
        std::string to;  // relative to the program directory, or absolute
        bool absolute;
        int links;
        std::string target;  // in real/
    };
    const std::vector<Case> cases = {
        {"real/s.txt", false, 1, "s.txt"},        {"real/s.txt", true, 1, "s.txt"},
        {"alias/s.txt", false, 1, "s.txt"},       {"real/s.txt", false, 40, "s.txt"},
        {"real/" + longName, false, 1, longName},
    };
    for (const Case& c : cases) {
        TempProgramDir dir("");
        fs::create_directory(dir.file("real"));
        fs::create_directory_symlink("real", dir.file("alias"));
        const std::string target = "real/" + c.target;
        dir.write(target, kPlayerSettings);
        fs::permissions(dir.file(target), fs::perms::owner_read | fs::perms::owner_write);
        linkSettings(dir, c.absolute ? dir.file(c.to) : c.to, c.links);
        EXPECT_EQ(readSettingsFile(dir.file("settings.txt")).content, kPlayerSettings);
        std::string error;
        EXPECT_TRUE(replaceFile(dir.file("settings.txt"), kDefaultSettings, error)) << error;
        EXPECT_TRUE(fs::is_symlink(dir.file("settings.txt")));
        EXPECT_EQ(dir.read(target), kDefaultSettings) << c.to << c.links;
        EXPECT_EQ(fs::status(dir.file(target)).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write);
        for (const auto& e : fs::directory_iterator(dir.file("real")))
            EXPECT_EQ(e.path().filename(), c.target);
    }
    // One link more than the kernel follows: neither the read nor the save gets through.
    TempProgramDir dir("");
    fs::create_directory(dir.file("real"));
    dir.write("real/s.txt", kPlayerSettings);
    linkSettings(dir, "real/s.txt", 41);
    EXPECT_EQ(readSettingsFile(dir.file("settings.txt")).error, ELOOP);
    std::string error;
    EXPECT_FALSE(replaceFile(dir.file("settings.txt"), kDefaultSettings, error));
    EXPECT_NE(error.find(std::strerror(ELOOP)), std::string::npos) << error;
    EXPECT_EQ(dir.read("real/s.txt"), kPlayerSettings);
}

// A save as root keeps the owner and group of the file it replaces, as it keeps the mode: a
// player's file stays the player's.
TEST(SettingsSave, KeepsTheOwnerWhereTheProcessMaySetIt) {
    const struct passwd* nobody = ::getpwnam("nobody");
    const struct group* nogroup = ::getgrnam("nogroup");
    if (::geteuid() != 0 || !nobody || !nogroup) GTEST_SKIP() << "only root gives files away";
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
}

// Two copies of the program in one directory: every read between the saves and the file they
// leave is one whole file, never a mixture; no temporary stays behind.
TEST(SettingsSave, SavesThatRaceLeaveOneWholeFile) {
    TempProgramDir dir(kDefaultSettings);
    const std::string path = dir.file("settings.txt");
    const std::string a = "magyar\r\n111\r\n2\r\n200\r\n2\r\n";
    const std::string b = "angol\r\n010\r\n9\r\n50\r\n0\r\n";
    std::atomic<int> failures{0}, torn{0};
    std::atomic<bool> done{false};
    auto saver = [&](const std::string& content) {
        std::string error;
        for (int k = 0; k < 150; ++k) failures += !replaceFile(path, content, error);
    };
    std::thread reader([&] {
        while (!done) {
            const SettingsRead r = readSettingsFile(path);
            torn += r.state != SettingsState::read || (r.content != a && r.content != b);
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
    const std::vector<std::pair<std::function<void(const std::string&)>, const char*>> cases = {
        {[](auto& p) { fs::create_directory(p); }, "könyvtár"},
        {[](auto& p) { ::mkfifo(p.c_str(), 0644); }, "FIFO"},
        {[](auto& p) { fs::create_symlink("/dev/null", p); }, "eszközfile"},
        {[](auto& p) { testing::makeSocket(p); }, "socket"},
        {[](auto& p) { fs::create_symlink("settings.txt", p); }, "Too many levels"},
    };
    for (const auto& [make, what] : cases) {
        TempProgramDir dir("");
        make(dir.file("settings.txt"));
        const auto before = fs::symlink_status(dir.file("settings.txt")).type();
        HeadlessPlatform platform(dir.path());
        platform.answers.push_back(MsgAnswer::ok);
        VirtualHost host(platform);
        ::testing::internal::CaptureStderr();
        host.start();
        ASSERT_FALSE(host.program.ended());
        ASSERT_EQ(platform.boxes.size(), 1u);
        // Before the settings are read there is no interface language: Hungarian comes first.
        EXPECT_EQ(platform.boxes[0].language, MsgLanguage::hungarian);
        const std::string& text = platform.boxes[0].text;
        EXPECT_NE(text.find(dir.file("settings.txt")), std::string::npos) << text;
        EXPECT_NE(text.find(what), std::string::npos) << text;
        EXPECT_EQ(text.find("hiányzik"), std::string::npos) << text;
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
    const std::tuple<std::string, const char*, const char*> cases[] = {
        {kDefaultSettings, "Gombócok", "nem sikerült menteni"},
        {kPlayerSettings, "Dumplers", "could not be saved"},
    };
    for (const auto& [file, title, words] : cases) {
        TempProgramDir dir("");
        // The program's file is a link into a folder that goes away during play.
        fs::create_directory(dir.file("linked"));
        dir.write("linked/s.txt", file);
        linkSettings(dir, "linked/s.txt");
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
        const auto& box = p.platform.boxes[0];
        EXPECT_EQ(box.title, title);
        EXPECT_EQ(box.icon, MsgIcon::critical);
        EXPECT_NE(box.text.find(words), std::string::npos);
        EXPECT_NE(box.text.find(dir.file("linked/s.txt")), std::string::npos);
        EXPECT_NE(err.find("not saved"), std::string::npos) << err;
        EXPECT_EQ(dir.read("moved/s.txt"), file);
    }
}

// A dangling link is a missing file: the defaults are written at its target, or, when that
// cannot be, a second box in both languages says so; either way the program ends.
TEST(SettingsMissing, ADanglingLinkGetsTheDefaultsAtItsTarget) {
    for (const bool folder : {true, false}) {
        TempProgramDir dir("");
        linkSettings(dir, "kept/s.txt");
        if (folder) fs::create_directory(dir.file("kept"));
        HeadlessPlatform platform(dir.path());
        platform.answers = {MsgAnswer::ok, MsgAnswer::ok};
        VirtualHost host(platform);
        ::testing::internal::CaptureStderr();
        host.start();
        ::testing::internal::GetCapturedStderr();
        EXPECT_TRUE(host.program.ended());
        ASSERT_EQ(platform.boxes.size(), folder ? 1u : 2u);
        EXPECT_NE(platform.boxes[0].text.find("hiányzik"), std::string::npos);
        EXPECT_TRUE(fs::is_symlink(dir.file("settings.txt")));
        if (folder) {
            EXPECT_EQ(dir.read("kept/s.txt"), kDefaultSettings);
        } else {
            EXPECT_EQ(platform.boxes[1].title, "Gombócok (Dumplers)");
            EXPECT_NE(platform.boxes[1].text.find("nem sikerült menteni"), std::string::npos);
            EXPECT_NE(platform.boxes[1].text.find("could not be saved"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace gombocok
