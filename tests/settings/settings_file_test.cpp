#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "game/board.h"
#include "tests/settings/settings_fixture.h"

namespace gombocok {
namespace {

using testing::kDefaultSettings;
using testing::loadProblem;
using testing::Started;
using testing::TempProgramDir;

struct ParseCase {
    const char* name;
    std::string content;
    bool hungarian;
    std::array<int, 3> boxes;
    int damage;
    std::string ammo;
    int type;
};

TEST(SettingsParse, EachLineTakesWhatTheProgramWritesAndFallsBackOtherwise) {
    const std::vector<ParseCase> cases = {
        {"defaults", kDefaultSettings, true, {1, 1, 1}, 2, "200", 2},
        {"hungarian word", "hungarian\r\n000\r\n9\r\n0\r\n0\r\n", true, {0, 0, 0}, 9, "0", 0},
        {"capital Magyar", "Magyar\r\n111\r\n2\r\n200\r\n2\r\n", false, {1, 1, 1}, 2, "200", 2},
        {"angol", "angol\r\n100\r\n1\r\n1\r\n1\r\n", false, {1, 0, 0}, 1, "1", 1},
        {"empty first line", "\r\n111\r\n2\r\n200\r\n2\r\n", false, {1, 1, 1}, 2, "200", 2},
        {"trailing blank on word", "magyar \r\n", false, {1, 1, 1}, 2, "200", 2},
        {"empty file", "", true, {1, 1, 1}, 2, "200", 2},
        {"two digits only", "magyar\r\n01\r\n2\r\n200\r\n2\r\n", true, {0, 1, 0}, 2, "200", 2},
        {"empty digit line", "magyar\r\n\r\n2\r\n200\r\n2\r\n", true, {0, 0, 0}, 2, "200", 2},
        {"foreign digit", "magyar\r\n0x2\r\n2\r\n200\r\n2\r\n", true, {0, 1, 1}, 2, "200", 2},
        {"digit line too long",
         "magyar\r\n0000\r\n2\r\n200\r\n2\r\n",
         true,
         {1, 1, 1},
         2,
         "200",
         2},
        {"leading zeros kept", "magyar\r\n111\r\n2\r\n007\r\n2\r\n", true, {1, 1, 1}, 2, "007", 2},
        {"blanks around numbers",
         "magyar\r\n111\r\n 7 \r\n 50\r\n1 \r\n",
         true,
         {1, 1, 1},
         7,
         "50",
         1},
        {"LF alone, BOM", "\xEF\xBB\xBFmagyar\n011\n4\n12\n0\n", true, {0, 1, 1}, 4, "12", 0},
        {"no final line end", "english\r\n111\r\n3\r\n150\r\n1", false, {1, 1, 1}, 3, "150", 1},
        {"damage 0 and type 3", "magyar\r\n111\r\n0\r\n200\r\n3\r\n", true, {1, 1, 1}, 2, "200", 2},
        {"damage 10", "magyar\r\n111\r\n10\r\n200\r\n2\r\n", true, {1, 1, 1}, 2, "200", 2},
        {"ammunition 201", "magyar\r\n111\r\n2\r\n201\r\n2\r\n", true, {1, 1, 1}, 2, "200", 2},
        {"ammunition 0200", "magyar\r\n111\r\n2\r\n0200\r\n2\r\n", true, {1, 1, 1}, 2, "200", 2},
        {"negative", "magyar\r\n111\r\n-3\r\n-5\r\n-1\r\n", true, {1, 1, 1}, 2, "200", 2},
        {"fractions", "magyar\r\n111\r\n2.6\r\n7.5\r\n1.0\r\n", true, {1, 1, 1}, 2, "200", 2},
        {"huge numbers",
         "magyar\r\n111\r\n99999999999999999999999\r\n18446744073709551617\r\n"
         "4294967298\r\n",
         true,
         {1, 1, 1},
         2,
         "200",
         2},
        {"missing lines", "english\r\n010\r\n", false, {0, 1, 0}, 2, "200", 2},
        {"empty number lines", "magyar\r\n111\r\n\r\n\r\n\r\n", true, {1, 1, 1}, 2, "200", 2},
        {"NUL in numbers",
         std::string("magyar\r\n111\r\n5\0\r\n1\0\r\n\0\r\n", 24),
         true,
         {1, 1, 1},
         2,
         "200",
         2},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.name);
        const StoredSettings s = parseSettings(c.content);
        EXPECT_EQ(s.hungarian, c.hungarian);
        EXPECT_EQ(s.checkBoxes, c.boxes);
        EXPECT_EQ(s.damageLevel, c.damage);
        EXPECT_EQ(s.ammunition, c.ammo);
        EXPECT_EQ(s.spacecraftType, c.type);
    }
}

TEST(SettingsParse, LastLineCutByTheReadLimitCountsAsMissing) {
    const std::string content = "english\r\n000\r\n5\r\n20\r\n1";
    EXPECT_EQ(parseSettings(content, true).spacecraftType, 1);
    EXPECT_EQ(parseSettings(content, false).spacecraftType, 2);
    EXPECT_EQ(parseSettings(content, false).ammunition, "20");
}

TEST(SettingsParse, EveryValueTheProgramWritesReadsBackUnchanged) {
    for (const char* language : {"magyar", "hungarian", "angol", "english"})
        for (int bits = 0; bits < 8; ++bits)
            for (int damage = 1; damage <= 9; ++damage)
                for (int ammo = 0; ammo <= 200; ++ammo)
                    for (int type = 0; type <= 2; ++type) {
                        const std::array<int, 3> boxes{bits & 1, (bits >> 1) & 1, (bits >> 2) & 1};
                        const StoredSettings s =
                            parseSettings(formatSettings(language, boxes, damage, ammo, type));
                        const bool hungarian = std::string(language) == "magyar" ||
                                               std::string(language) == "hungarian";
                        ASSERT_EQ(s.hungarian, hungarian);
                        ASSERT_EQ(s.checkBoxes, boxes);
                        ASSERT_EQ(s.damageLevel, damage);
                        ASSERT_EQ(s.ammunition, std::to_string(ammo));
                        ASSERT_EQ(s.spacecraftType, type);
                    }
}

TEST(SettingsParse, NumericValueReadsTheLeadingNumberAndSaturates) {
    EXPECT_EQ(numericValue("  42abc"), 42);
    EXPECT_EQ(numericValue("x42"), 0);
    EXPECT_EQ(numericValue(""), 0);
    EXPECT_EQ(numericValue("007"), 7);
    EXPECT_EQ(numericValue("99999999999999999999999999"), 2147483647);
}

// The settings.txt installed beside the game is the one the program writes for a fresh start.
TEST(SettingsFile, TheShippedFileIsTheDefaultText) {
    std::ifstream in(std::string(GOMBOCOK_ASSETS_DIR) + "/settings.txt", std::ios::binary);
    const std::string shipped{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(shipped, defaultSettings());
}

// Files written from several dialog states load back into the same dialog state.
TEST(SettingsFile, SavedSettingsComeBackAtTheNextStart) {
    const std::vector<std::string> files = {
        kDefaultSettings,
        "angol\r\n000\r\n9\r\n0\r\n0\r\n",
        "hungarian\r\n101\r\n1\r\n37\r\n1\r\n",
        "english\r\n010\r\n5\r\n199\r\n2\r\n",
    };
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        TempProgramDir dir(file);
        {
            Started p(dir);
            ASSERT_EQ(loadProblem(p), "");
            p.host.run([&] { p.host.program.programvege(); });
            ASSERT_TRUE(p.host.program.ended());
        }
        const std::string saved = dir.read("settings.txt");
        // The loader stores the button's caption: "english" and "hungarian" come back as the
        // words of the interface that loaded them.
        std::string expected = file;
        if (file.starts_with("english")) expected.replace(0, 7, "angol");
        if (file.starts_with("hungarian")) expected.replace(0, 9, "magyar");
        EXPECT_EQ(saved, expected);
        EXPECT_EQ(testing::strayFiles(dir.path()), "");
    }
}

TEST(SettingsFile, MissingFileIsReportedWrittenWithDefaultsAndEndsTheProgram) {
    TempProgramDir dir("");
    HeadlessPlatform platform(dir.path());
    platform.answers.push_back(MsgAnswer::ok);
    VirtualHost host(platform);
    host.start();

    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].title, "Gombócok (Dumplers)");
    EXPECT_EQ(platform.boxes[0].text,
              "A beállításokat tartalmazó file hiányzik!\rLétrehozom most, indítsd újra a "
              "játékot!\r\r(The settings file is missing!\rI create now, please restart game!)");
    EXPECT_EQ(platform.boxes[0].icon, MsgIcon::exclamation);
    EXPECT_EQ(platform.boxes[0].buttons, MsgButtons::ok);
    EXPECT_EQ(platform.boxes[0].language, MsgLanguage::hungarian);  // Hungarian first
    EXPECT_TRUE(host.program.ended());
    EXPECT_EQ(host.program.boardIfLoaded(), nullptr);
    EXPECT_EQ(dir.read("settings.txt"), "magyar\r\n111\r\n2\r\n200\r\n2\r\n");
}

// Random files and mutations of good ones, with a fixed seed: every load ends with every control
// in range and nothing but digits in the ammunition box and label.
TEST(SettingsFile, AnyContentLoadsIntoASoundState) {
    TempProgramDir dir;
    std::mt19937 rng(20261206);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    static const char kChars[] = "0123456789\r\n -+.magyrhunoelis\t\xEF\xBB\xBF\x00\xFF";
    const std::string alphabet(kChars, sizeof kChars - 1);
    for (int round = 0; round < 3000; ++round) {
        std::string content;
        switch (round % 4) {
            case 0: {  // random bytes
                int n = pick(80);
                for (int k = 0; k < n; ++k) content += static_cast<char>(pick(256));
                break;
            }
            case 1: {  // random text over the file's own characters
                int n = pick(60);
                for (int k = 0; k < n; ++k) content += alphabet[pick(alphabet.size())];
                break;
            }
            case 2: {  // a good file with a few bytes changed, inserted or removed
                content = kDefaultSettings;
                for (int m = pick(4) + 1; m > 0; --m) {
                    const std::size_t at = content.empty() ? 0 : pick(content.size());
                    const char c = alphabet[pick(alphabet.size())];
                    switch (pick(3)) {
                        case 0:
                            if (!content.empty()) content[at] = c;
                            break;
                        case 1:
                            content.insert(at, 1, c);
                            break;
                        default:
                            if (!content.empty()) content.erase(at, 1);
                    }
                }
                break;
            }
            default:  // long lines and files beyond the read limit
                content = std::string(pick(3) * 3000, '9') + "\n" + std::string(pick(9000), '1');
        }
        testing::replaceSettings(dir, content);
        Started p(dir);
        ASSERT_EQ(loadProblem(p), "") << "round " << round;
    }
}

}  // namespace
}  // namespace gombocok
