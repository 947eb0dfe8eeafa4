// settings.txt: five lines, each ended by CR LF (language; the vizeff, hzene and effektek digits;
// damage level; initial ammunition; spacecraft type). Reading never trusts the file: every line
// that is missing or not in the form the program writes falls back to that line's default, so
// whatever the file holds, the values handed to the dialog are in range and printable.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace gombocok {

// At most this much of the file is read; a line cut off by the limit counts as missing.
constexpr std::size_t kSettingsReadLimit = 4096;

// What a load takes from the file, already checked.
//   line 1: exactly "magyar" or "hungarian" is Hungarian, any other line is English; no line at
//           all gives the default, Hungarian.
//   line 2: up to three characters; '0' unticked, '1' ticked, an absent character unticked, any
//           other character ticked (its default); a longer line gives "111".
//   line 3: 1 to 3 decimal digits, value 1 to 9, else 2.
//   line 4: 1 to 3 decimal digits, value 0 to 200, kept as written ("007"), else "200".
//   line 5: 1 to 3 decimal digits, value 0 to 2, else 2.
// Blanks around the numbers of lines 3 to 5 are ignored; a leading UTF-8 byte order mark is
// skipped; a line may end in CR LF or in LF alone, the last one also in the end of the file.
struct StoredSettings {
    bool hungarian = true;
    std::array<int, 3> checkBoxes{1, 1, 1};  // vizeff, hzene, effektek
    int damageLevel = 2;
    std::string ammunition = "200";
    int spacecraftType = 2;
    std::array<std::string, 5> lines;  // the lines as read, each cut to 64 bytes
};

// `complete` tells whether `content` is the whole file (false when the read limit cut it).
StoredSettings parseSettings(std::string_view content, bool complete = true);

// The five lines as the program writes them.
std::string formatSettings(std::string_view language, const std::array<int, 3>& checkBoxes,
                           int damageLevel, long ammunition, int spacecraftType);
std::string defaultSettings();

struct SettingsRead {
    bool found = false;     // an ordinary file (or a link to one) is there
    bool readable = false;  // and it could be opened
    bool complete = false;  // the whole file fits in the read limit
    std::string content;
};
SettingsRead readSettingsFile(const std::string& path);

// Writes `content` to a temporary file beside `path` and renames it over `path`, so `path` holds
// either the old or the new content, never a part. Returns false with `error` set on failure.
bool replaceFile(const std::string& path, std::string_view content, std::string& error);

// The leading decimal number of `text` after leading blanks; 0 when there is none. Saturates at
// 2147483647, so a box full of digits cannot overflow.
long numericValue(std::string_view text);
// `text` without leading and trailing blanks.
std::string trimmed(std::string_view text);
bool allDigits(std::string_view text);

}  // namespace gombocok
