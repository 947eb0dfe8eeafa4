#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "game/board.h"
#include "tests/settings/settings_fixture.h"

namespace gombocok {
namespace {

using testing::kDefaultSettings;
using testing::loadProblem;
using testing::Started;
using testing::TempProgramDir;

// What a load makes of `content`: "hu 111 2 200 2" (language, check boxes, damage level,
// ammunition, spacecraft type).
std::string parsed(std::string_view content, bool complete = true) {
    const StoredSettings s = parseSettings(content, complete);
    std::string out = s.hungarian ? "hu " : "en ";
    for (int box : s.checkBoxes) out += std::to_string(box);
    return out + " " + std::to_string(s.damageLevel) + " " + s.ammunition + " " +
           std::to_string(s.spacecraftType);
}

TEST(SettingsParse, EachLineTakesWhatTheProgramWritesAndFallsBackOtherwise) {
    const std::pair<std::string, const char*> cases[] = {
        {kDefaultSettings, "hu 111 2 200 2"},
        {"hungarian\r\n000\r\n9\r\n0\r\n0\r\n", "hu 000 9 0 0"},
        {"Magyar\r\n111\r\n2\r\n200\r\n2\r\n", "en 111 2 200 2"},
        {"angol\r\n100\r\n1\r\n1\r\n1\r\n", "en 100 1 1 1"},
        {"\r\n111\r\n2\r\n200\r\n2\r\n", "en 111 2 200 2"},
        {"magyar \r\n", "en 111 2 200 2"},
        {"", "hu 111 2 200 2"},
        {"magyar\r\n01\r\n2\r\n200\r\n2\r\n", "hu 010 2 200 2"},
        {"magyar\r\n\r\n2\r\n200\r\n2\r\n", "hu 000 2 200 2"},
        {"magyar\r\n0x2\r\n2\r\n200\r\n2\r\n", "hu 011 2 200 2"},
        {"magyar\r\n0000\r\n2\r\n200\r\n2\r\n", "hu 111 2 200 2"},
        {"magyar\r\n111\r\n2\r\n007\r\n2\r\n", "hu 111 2 007 2"},
        {"magyar\r\n111\r\n 7 \r\n 50\r\n1 \r\n", "hu 111 7 50 1"},
        {"\xEF\xBB\xBFmagyar\n011\n4\n12\n0\n", "hu 011 4 12 0"},
        {"english\r\n111\r\n3\r\n150\r\n1", "en 111 3 150 1"},
        {"magyar\r\n111\r\n0\r\n200\r\n3\r\n", "hu 111 2 200 2"},
        {"magyar\r\n111\r\n10\r\n200\r\n2\r\n", "hu 111 2 200 2"},
        {"magyar\r\n111\r\n2\r\n201\r\n2\r\n", "hu 111 2 200 2"},
        {"magyar\r\n111\r\n2\r\n0200\r\n2\r\n", "hu 111 2 200 2"},
        {"magyar\r\n111\r\n-3\r\n-5\r\n-1\r\n", "hu 111 2 200 2"},
        {"magyar\r\n111\r\n2.6\r\n7.5\r\n1.0\r\n", "hu 111 2 200 2"},
        {"magyar\r\n111\r\n99999999999999999999999\r\n18446744073709551617\r\n4294967298\r\n",
         "hu 111 2 200 2"},
        {"english\r\n010\r\n", "en 010 2 200 2"},
        {"magyar\r\n111\r\n\r\n\r\n\r\n", "hu 111 2 200 2"},
        {std::string("magyar\r\n111\r\n5\0\r\n1\0\r\n\0\r\n", 24), "hu 111 2 200 2"},
    };
    for (const auto& [content, expected] : cases) EXPECT_EQ(parsed(content), expected) << content;
    // A last line cut by the read limit counts as missing.
    EXPECT_EQ(parsed("english\r\n000\r\n5\r\n20\r\n1", false), "en 000 5 20 2");
}

TEST(SettingsParse, EveryValueTheProgramWritesReadsBackUnchanged) {
    for (const auto& [language, hungarian] :
         {std::pair{"magyar", true}, {"hungarian", true}, {"angol", false}, {"english", false}})
        for (int bits = 0; bits < 8; ++bits)
            for (int damage = 1; damage <= 9; ++damage)
                for (int ammo = 0; ammo <= 200; ++ammo)
                    for (int type = 0; type <= 2; ++type) {
                        const std::array<int, 3> boxes{bits & 1, (bits >> 1) & 1, (bits >> 2) & 1};
                        const StoredSettings s =
                            parseSettings(formatSettings(language, boxes, damage, ammo, type));
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
    // The loader stores the button's caption: "english" and "hungarian" come back as the words of
    // the interface that loaded them.
    const std::pair<std::string, std::string> files[] = {
        {kDefaultSettings, kDefaultSettings},
        {"angol\r\n000\r\n9\r\n0\r\n0\r\n", "angol\r\n000\r\n9\r\n0\r\n0\r\n"},
        {"hungarian\r\n101\r\n1\r\n37\r\n1\r\n", "magyar\r\n101\r\n1\r\n37\r\n1\r\n"},
        {"english\r\n010\r\n5\r\n199\r\n2\r\n", "angol\r\n010\r\n5\r\n199\r\n2\r\n"},
    };
    for (const auto& [file, expected] : files) {
        TempProgramDir dir(file);
        {
            Started p(dir);
            ASSERT_EQ(loadProblem(p), "") << file;
            p.host.run([&] { p.host.program.programvege(); });
            ASSERT_TRUE(p.host.program.ended());
        }
        EXPECT_EQ(dir.read("settings.txt"), expected);
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

}  // namespace
}  // namespace gombocok
