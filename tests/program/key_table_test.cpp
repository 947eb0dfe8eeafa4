// The keys and options as the catalogue lists them, against the usage, the README's key table and
// the manual page, which must tell the player the same.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

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

// Every match of `pattern` in `text`, in order.
std::vector<std::string> matches(const std::string& text, const std::string& pattern) {
    std::vector<std::string> found;
    const std::regex re(pattern);
    for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it)
        found.push_back(it->str(it->size() > 1 ? 1 : 0));
    return found;
}

// The single key names of the table: "Up, Down" and "A G R V Y" name two and five.
std::vector<std::string> tableKeys() {
    std::string keys;
    for (const KeyRow& row : kKeyRows) keys += std::string(row.keys.en) + " ";
    return matches(keys, "[^ ,]+");
}

// A text without its line breaks: every run of blanks and breaks one blank.
std::string flowing(const std::string& text) {
    return std::regex_replace(text, std::regex("[ \n]+"), " ");
}

TEST(KeyTable, TheUsageListsEveryKeyAndOptionInBothLanguages) {
    for (bool hu : {true, false}) {
        const std::string usage = flowing(readCommandLine({"--help"}, hu, "1").out);
        std::vector<std::string> lines;
        for (const KeyRow& row : kKeyRows)
            lines.push_back(std::string(row.keys.in(hu)) + " " + std::string(row.does.in(hu)));
        for (const OptionRow& row : kOptionRows)
            lines.push_back(std::string(row.shortName) + ", " + std::string(row.longName) + " " +
                            std::string(row.does.in(hu)));
        for (const std::string& line : lines)
            EXPECT_NE(usage.find(line), std::string::npos) << line;
    }
}

TEST(KeyTable, TheReadmeAndTheManualPageListTheSameKeysAndOptions) {
    const std::string readme = fileText("README.md");
    const std::string page = fileText("data/gombocok.6");
    const std::string keyTable = readme.substr(readme.find("| Key | What it does |"));
    std::string readmeKeys;
    for (const std::string& cell :
         matches(keyTable.substr(0, keyTable.find("\n\n")), "\n\\| ([^|]+) \\|"))
        readmeKeys += cell + " ";
    EXPECT_EQ(matches(readmeKeys, "[^ ,]+"), tableKeys());

    // .SH KEYS: .TP, .B the keys, what they do.
    const std::string keys = page.substr(page.find(".SH KEYS"));
    std::string pageKeys;
    for (const std::string& b : matches(keys.substr(0, keys.find(".SH", 1)), "\n\\.B (.+)"))
        pageKeys += b + " ";
    EXPECT_EQ(matches(pageKeys, "[^ ,]+"), tableKeys());
    std::vector<std::string> does;
    for (const KeyRow& row : kKeyRows) does.emplace_back(row.does.en);
    EXPECT_EQ(matches(keys.substr(0, keys.find(".SH", 1)), "\n\\.B .+\n(.+)"), does);

    // .SH OPTIONS: .TP, .BR \-h ", " \-\-help; the README names each in its text.
    const std::string options = std::regex_replace(
        page.substr(page.find(".SH OPTIONS"), page.find(".SH KEYS") - page.find(".SH OPTIONS")),
        std::regex(R"(\\-)"), "-");
    std::vector<std::string> spellings;
    for (const OptionRow& row : kOptionRows) {
        spellings.emplace_back(row.shortName);
        spellings.emplace_back(row.longName);
        const std::string told =
            "`gombocok " + std::string(row.longName) + "` (`" + std::string(row.shortName) + "`)";
        EXPECT_NE(flowing(readme).find(told), std::string::npos) << told;
    }
    std::string listed;
    for (const std::string& line : matches(options, "\n\\.TP\n\\.BR? (.+)")) listed += line + " ";
    EXPECT_EQ(matches(listed, "-[-a-z]+"), spellings);
}

}  // namespace
}  // namespace gombocok
