// The keys and options as the catalogue lists them, against the usage, the README's key table and
// the manual page, which must tell the player the same.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "base/catalogue.h"
#include "program/command_line.h"

namespace gombocok {
namespace {

std::string fileText(const std::string& relative) {
    std::ifstream in(std::string(GOMBOCOK_SOURCE_DIR) + "/" + relative);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// "Up, Down", "A G R V Y", "A, G, R, V, Y" -> the single key names.
std::vector<std::string> keyNames(const std::string& keys) {
    std::vector<std::string> names;
    const std::regex name("[^ ,]+");
    for (std::sregex_iterator it(keys.begin(), keys.end(), name), end; it != end; ++it)
        names.push_back(it->str());
    return names;
}

std::vector<std::string> tableKeyNames() {
    std::vector<std::string> names;
    for (const KeyRow& row : kKeyRows)
        for (const std::string& k : keyNames(std::string(row.keys.en))) names.push_back(k);
    return names;
}

// The lines of `text` from the line `from` to the next line starting with `until`.
std::vector<std::string> section(const std::string& text, const std::string& from,
                                 const std::string& until) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        if (inside && line.starts_with(until)) break;
        if (inside) lines.push_back(line);
        if (line == from) inside = true;
    }
    return lines;
}

// A text without its line breaks: every run of blanks and breaks one blank.
std::string flowing(const std::string& usage) {
    return std::regex_replace(usage, std::regex("[ \n]+"), " ");
}

TEST(KeyTable, TheUsageListsEveryKeyAndOptionInBothLanguages) {
    for (bool hungarian : {true, false}) {
        const std::string usage = flowing(readCommandLine({"--help"}, hungarian, "1").out);
        for (const KeyRow& row : kKeyRows) {
            const std::string line =
                std::string(row.keys.in(hungarian)) + " " + std::string(row.does.in(hungarian));
            EXPECT_NE(usage.find(line), std::string::npos) << line;
        }
        for (const OptionRow& row : kOptionRows) {
            const std::string line = std::string(row.shortName) + ", " + std::string(row.longName) +
                                     " " + std::string(row.does.in(hungarian));
            EXPECT_NE(usage.find(line), std::string::npos) << line;
        }
    }
}

TEST(KeyTable, TheReadmeListsTheSameKeysAndOptions) {
    const std::string readme = fileText("README.md");
    std::vector<std::string> keys;
    for (const std::string& line : section(readme, "| Key | What it does |", "\n")) {
        if (line.starts_with("|---")) continue;
        if (!line.starts_with("| ")) break;
        for (const std::string& k : keyNames(line.substr(2, line.find(" |", 2) - 2)))
            keys.push_back(k);
    }
    EXPECT_EQ(keys, tableKeyNames());
    for (const OptionRow& row : kOptionRows) {
        const std::string told =
            "`gombocok " + std::string(row.longName) + "` (`" + std::string(row.shortName) + "`)";
        EXPECT_NE(flowing(readme).find(told), std::string::npos) << told;
    }
}

TEST(KeyTable, TheManualPageListsTheSameKeysAndOptions) {
    const std::string page = fileText("data/gombocok.6");
    // .TP / .B keys / what they do
    std::vector<std::string> keys, does;
    const std::vector<std::string> keyLines = section(page, ".SH KEYS", ".SH");
    for (std::size_t k = 0; k + 2 < keyLines.size(); ++k) {
        if (keyLines[k] != ".TP") continue;
        for (const std::string& name : keyNames(keyLines[k + 1].substr(3))) keys.push_back(name);
        does.push_back(keyLines[k + 2]);
    }
    EXPECT_EQ(keys, tableKeyNames());
    ASSERT_EQ(does.size(), kKeyRows.size());
    for (std::size_t k = 0; k < kKeyRows.size(); ++k) EXPECT_EQ(does[k], kKeyRows[k].does.en);

    // .TP / .BR \-h ", " \-\-help
    std::vector<std::string> options, expected;
    const std::vector<std::string> optionLines = section(page, ".SH OPTIONS", ".SH");
    for (std::size_t k = 0; k + 1 < optionLines.size(); ++k) {
        if (optionLines[k] != ".TP") continue;
        const std::string spelled =
            std::regex_replace(optionLines[k + 1], std::regex(R"(\\-)"), "-");
        const std::regex option("-[-a-z]+");
        for (std::sregex_iterator it(spelled.begin(), spelled.end(), option), end; it != end; ++it)
            options.push_back(it->str());
    }
    for (const OptionRow& row : kOptionRows) {
        expected.emplace_back(row.shortName);
        expected.emplace_back(row.longName);
    }
    EXPECT_EQ(options, expected);
}

}  // namespace
}  // namespace gombocok
