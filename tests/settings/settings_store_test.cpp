// Where the settings live and how they reach the disk: the player's own folder when the program
// directory cannot be written, files that are there but cannot be read, links, and saves that
// race or fail.
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
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

    const SaveResult saved = saveSettings(place, kDefaultSettings);
    ASSERT_TRUE(saved) << saved.describe();
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
    const SaveResult saved = saveSettings(place, kDefaultSettings);
    EXPECT_EQ(saved.outcome, SaveOutcome::failed);
    EXPECT_NE(saved.describe().find(dir.file("home")), std::string::npos) << saved.describe();
}

TEST(SettingsSave, APlantedTemporaryLinkIsNeitherFollowedNorReplaced) {
    TempProgramDir dir(kPlayerSettings);
    dir.write("victim.txt", "precious");
    fs::create_symlink(dir.file("victim.txt"), dir.file("settings.txt.tmp"));
    const SaveResult saved = replaceFile(dir.file("settings.txt"), kDefaultSettings);
    ASSERT_TRUE(saved) << saved.describe();
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
        const SaveResult saved = replaceFile(dir.file("settings.txt"), kDefaultSettings);
        EXPECT_TRUE(saved) << saved.describe();
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
    const SaveResult saved = replaceFile(dir.file("settings.txt"), kDefaultSettings);
    EXPECT_EQ(saved.error, ELOOP) << saved.describe();
    EXPECT_EQ(dir.read("real/s.txt"), kPlayerSettings);

    // A file at the end of a path as long as the read takes (4,095 bytes): the save works from
    // the folder it opened, so neither the path nor its temporary's longer one is too long.
    TempProgramDir deep("");
    std::string folder = deep.path();
    const std::size_t end = 4095 - std::string("/settings.txt").size();
    while (folder.size() < end) {
        std::size_t n = std::min<std::size_t>(200, end - folder.size() - 1);
        if (end - folder.size() - 1 - n == 1) --n;  // the last name needs a byte of its own
        folder += "/" + std::string(n, 'd');
        fs::create_directory(folder);
    }
    const std::string far = folder + "/settings.txt";
    ASSERT_EQ(far.size(), 4095u);
    ASSERT_TRUE(replaceFile(far, kPlayerSettings));
    EXPECT_EQ(readSettingsFile(far).content, kPlayerSettings);
    EXPECT_EQ(strayFiles(folder), "");
}

constexpr uid_t kNobody = 65534;    // the player in the tests that need root
constexpr uid_t kStranger = 65533;  // another user, with no name

// What a root run saves stays the player's: a replaced file keeps its owner and group (as it keeps
// its mode); a new file, and the player's folder the save creates, get the owner and group of the
// directory they are made in.
TEST(SettingsSave, KeepsThePlayersOwnershipWhereTheProcessMaySetIt) {
    const struct group* nogroup = ::getgrnam("nogroup");
    if (::geteuid() != 0 || !nogroup) GTEST_SKIP() << "only root gives files away";
    struct Case {
        const char* what;
        bool existing;    // settings.txt is there, the player's, mode 0600
        bool makeFolder;  // the player's folder home/.config/gombocok is made by the save
    };
    for (const Case& c : {Case{"replaced", true, false}, Case{"new", false, false},
                          Case{"in a new folder", false, true}}) {
        TempProgramDir dir(c.existing ? kPlayerSettings : "");
        std::string folder = dir.path();
        if (c.makeFolder) {
            folder = dir.file("home");
            fs::create_directory(folder);
        }
        ASSERT_EQ(::chown(folder.c_str(), kNobody, nogroup->gr_gid), 0);
        if (c.makeFolder) folder += "/.config/gombocok";
        const std::string path = folder + "/settings.txt";
        if (c.existing) {
            ASSERT_EQ(::chown(path.c_str(), kNobody, nogroup->gr_gid), 0);
            ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
        }
        const SaveResult saved = replaceFile(path, kDefaultSettings, c.makeFolder);
        ASSERT_TRUE(saved) << c.what << ": " << saved.describe();
        for (const std::string& made :
             {path, c.makeFolder ? folder : path, c.makeFolder ? dir.file("home/.config") : path}) {
            struct stat st {};
            ASSERT_EQ(::stat(made.c_str(), &st), 0) << c.what << ": " << made;
            EXPECT_EQ(st.st_uid, kNobody) << c.what << ": " << made;
            EXPECT_EQ(st.st_gid, nogroup->gr_gid) << c.what << ": " << made;
        }
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        if (c.existing) {
            EXPECT_EQ(st.st_mode & 07777, 0600u);
        }
        EXPECT_EQ(readSettingsFile(path).content, kDefaultSettings);
    }
}

// Runs `body` in a child process as the user `uid` (root stays root); its exit code.
int asUser(uid_t uid, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (uid != 0 && (::setgroups(0, nullptr) != 0 || ::setgid(uid) != 0 || ::setuid(uid) != 0))
            std::_Exit(100);
        std::_Exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 200;
}

// A link on the way to the file is followed only when it belongs to the user who runs the program
// or to root. So root with a player's environment writes through none of the player's links, and
// a player's own link into a dotfiles folder still saves at its target. A refused save writes
// nothing: the target stays as it was (or is not created), the link stays, no temporary is left.
TEST(SettingsSave, FollowsOnlyLinksOfTheRunningUserOrRoot) {
    if (::geteuid() != 0) GTEST_SKIP() << "links of other users are made by root alone";
    struct Case {
        const char* what;
        uid_t runner, linkOwner;
        bool folderLink;  // the link is the folder on the way, not settings.txt
        bool targetExists;
        bool saved;
    };
    const Case cases[] = {
        {"root, the player's link to root's file", 0, kNobody, false, true, false},
        {"root, the player's dangling link", 0, kNobody, false, false, false},
        {"root, the player's folder link", 0, kNobody, true, true, false},
        {"root, its own link", 0, 0, false, true, true},
        {"the player, a dotfiles link of its own", kNobody, kNobody, false, true, true},
        {"the player, its own folder link", kNobody, kNobody, true, true, true},
        {"the player, root's link", kNobody, 0, false, true, true},
        {"the player, a stranger's link", kNobody, kStranger, false, true, false},
        {"the player, a stranger's folder link", kNobody, kStranger, true, true, false},
    };
    for (const Case& c : cases) {
        TempProgramDir dir("");
        ::chmod(dir.path().c_str(), 0755);
        // The target lives in `dotfiles`, owned by the target's owner: the runner's own, or
        // root's, which only root may write.
        const uid_t targetOwner = c.saved ? c.runner : 0;
        fs::create_directory(dir.file("dotfiles"));
        fs::create_directory(dir.file("config"));
        if (c.targetExists) dir.write("dotfiles/settings.txt", kPlayerSettings);
        const std::string link = c.folderLink ? "config/gombocok" : "config/settings.txt";
        fs::create_symlink(c.folderLink ? dir.file("dotfiles") : dir.file("dotfiles/settings.txt"),
                           dir.file(link));
        ASSERT_EQ(::lchown(dir.file(link).c_str(), c.linkOwner, c.linkOwner), 0);
        for (const char* own : {"dotfiles", "dotfiles/settings.txt", "config"})
            ::chown(dir.file(own).c_str(), targetOwner, targetOwner);
        const std::string path =
            dir.file(c.folderLink ? "config/gombocok/settings.txt" : "config/settings.txt");
        const int code = asUser(c.runner, [&] {
            const SaveResult r = replaceFile(path, kDefaultSettings);
            if (r) return 0;
            if (r.outcome == SaveOutcome::refused && r.path == dir.file(link) &&
                r.owner == c.linkOwner)
                return 1;
            return 2;
        });
        EXPECT_EQ(code, c.saved ? 0 : 1) << c.what;
        const bool there = fs::exists(dir.file("dotfiles/settings.txt"));
        EXPECT_EQ(there, c.targetExists || c.saved) << c.what;
        if (there) {
            EXPECT_EQ(dir.read("dotfiles/settings.txt"),
                      c.saved ? kDefaultSettings : kPlayerSettings)
                << c.what;
        }
        EXPECT_TRUE(fs::is_symlink(dir.file(link))) << c.what;
        EXPECT_EQ(strayFiles(dir.file("dotfiles")) + strayFiles(dir.file("config")), "") << c.what;
    }
}

// What may happen beside a save: a second copy of the program saving in the same directory, or
// the directory renamed back and forth. Every read between the saves and the file they leave is
// one whole file, never a mixture, and no temporary stays behind under either name. A save that
// finds the directory gone (by its old name) fails before it writes anything.
TEST(SettingsSave, SavesThatRaceLeaveOneWholeFileAndNoTemporary) {
    const std::string a = "magyar\r\n111\r\n2\r\n200\r\n2\r\n";
    const std::string b = "angol\r\n010\r\n9\r\n50\r\n0\r\n";
    for (const bool renamed : {false, true}) {
        TempProgramDir dir("");
        fs::create_directory(dir.file("d"));
        dir.write("d/settings.txt", kDefaultSettings);
        const std::string path = dir.file("d/settings.txt");
        std::atomic<int> failures{0}, torn{0}, saves{0};
        std::atomic<bool> done{false};
        // Each saver makes 100 saves; one that finds the directory away waits a little for it.
        auto saver = [&](const std::string& content) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            for (int made = 0; made < 100 && std::chrono::steady_clock::now() < deadline;) {
                const SaveResult r = replaceFile(path, content);
                if (r) {
                    ++made;
                    ++saves;
                } else if (renamed && r.error == ENOENT) {
                    std::this_thread::sleep_for(std::chrono::microseconds(100));
                } else {
                    ++failures;
                }
            }
        };
        std::thread other([&] {
            while (!done) {
                if (renamed) {
                    // Half the time away: a save that starts then fails at once, before it
                    // writes; one that is under way goes on in the renamed directory.
                    fs::rename(dir.file("d"), dir.file("e"));
                    std::this_thread::sleep_for(std::chrono::microseconds(300));
                    fs::rename(dir.file("e"), dir.file("d"));
                    std::this_thread::sleep_for(std::chrono::microseconds(300));
                    continue;
                }
                const SettingsRead r = readSettingsFile(path);
                torn += r.state != SettingsState::read || (r.content != a && r.content != b);
            }
        });
        std::thread first(saver, a), second(saver, renamed ? a : b);
        first.join();
        second.join();
        done = true;
        other.join();
        EXPECT_EQ(failures, 0) << renamed;
        EXPECT_EQ(torn, 0);
        EXPECT_EQ(saves, 200);
        const std::string last = dir.read("d/settings.txt");
        EXPECT_TRUE(last == a || last == b) << last;
        EXPECT_EQ(strayFiles(dir.file("d")), "") << renamed;
    }
}

// A signal that comes during a save is delivered when it is done: the process it ends leaves the
// old file or the new one, whole, and no temporary. A child saves over and over and is ended by
// SIGTERM at a moment chosen at random.
TEST(SettingsSave, ASignalDuringTheSaveWaitsForItsEnd) {
    TempProgramDir dir(kDefaultSettings);
    const std::string path = dir.file("settings.txt");
    const std::string other = "angol\r\n010\r\n9\r\n50\r\n0\r\n";
    std::mt19937 random(std::random_device{}());
    for (int round = 0; round < 40; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGTERM, SIG_DFL);
            for (int k = 0;; ++k) replaceFile(path, k % 2 ? other : kDefaultSettings);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(1000 + random() % 3000));
        ::kill(child, SIGTERM);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
        const std::string now = dir.read("settings.txt");
        EXPECT_TRUE(now == kDefaultSettings || now == other) << round << ": " << now;
        ASSERT_EQ(strayFiles(dir.path()), "") << "round " << round;
    }
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

// A save that fails, or that is refused at another user's link, is reported in a box in the
// interface language, naming the path at fault, and the file the link points at stays as it was.
TEST(SettingsSaveFailure, IsShownInTheInterfaceLanguage) {
    struct Case {
        std::string file;
        const char* title;
        const char* words;
        bool strangersLink;  // settings.txt is another user's link (as root), else its folder moves
    };
    const Case cases[] = {
        {kDefaultSettings, "Gombócok", "nem sikerült menteni", false},
        {kPlayerSettings, "Dumplers", "could not be saved", false},
        {kDefaultSettings, "Gombócok", "egy másik felhasználó (nobody) szimbolikus linkje", true},
        {kPlayerSettings, "Dumplers", "is a symbolic link of another user (nobody)", true},
    };
    bool skipped = false;
    for (const Case& c : cases) {
        if (c.strangersLink && ::geteuid() != 0) {
            skipped = true;
            continue;
        }
        TempProgramDir dir("");
        fs::create_directory(dir.file("linked"));
        dir.write("linked/s.txt", c.file);
        linkSettings(dir, "linked/s.txt");
        if (c.strangersLink) ::lchown(dir.file("settings.txt").c_str(), kNobody, kNobody);
        Started p(dir);
        ASSERT_EQ(loadProblem(p), "");
        p.host.run([&] { p.rules().uh_Click(1); });
        if (!c.strangersLink) fs::rename(dir.file("linked"), dir.file("moved"));
        p.platform.answers.push_back(MsgAnswer::ok);
        ::testing::internal::CaptureStderr();
        p.host.run([&] { p.host.program.programvege(); });
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_TRUE(p.host.program.ended());
        ASSERT_EQ(p.platform.boxes.size(), 1u);
        const auto& box = p.platform.boxes[0];
        EXPECT_EQ(box.title, c.title);
        EXPECT_EQ(box.icon, MsgIcon::critical);
        EXPECT_NE(box.text.find(c.words), std::string::npos) << box.text;
        const std::string named = dir.file(c.strangersLink ? "settings.txt" : "linked/s.txt");
        EXPECT_NE(box.text.find(named), std::string::npos) << box.text;
        EXPECT_NE(err.find("not saved"), std::string::npos) << err;
        EXPECT_EQ(dir.read(c.strangersLink ? "linked/s.txt" : "moved/s.txt"), c.file);
        EXPECT_EQ(
            strayFiles(dir.path()) + strayFiles(dir.file(c.strangersLink ? "linked" : "moved")),
            "");
    }
    if (skipped) GTEST_SKIP() << "the rows of another user's link need root";
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
