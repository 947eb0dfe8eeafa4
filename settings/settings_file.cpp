#include "settings/settings_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

namespace gombocok {
namespace {

constexpr std::size_t kKeptLineLength = 64;
constexpr long kNumericCeiling = 2147483647;

// The lines of the file; a line is absent when the file ends before it, and the last line counts
// only if the file is complete (otherwise the read limit may have cut it).
std::vector<std::string_view> splitLines(std::string_view content, bool complete) {
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (content.substr(0, bom.size()) == bom) content.remove_prefix(bom.size());
    std::vector<std::string_view> lines;
    while (!content.empty() && lines.size() < 5) {
        std::size_t end = content.find('\n');
        if (end == std::string_view::npos) {
            if (complete) lines.push_back(content);
            break;
        }
        std::string_view line = content.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        content.remove_prefix(end + 1);
    }
    return lines;
}

// A number of lines 3 to 5: 1 to 3 digits, blanks around them allowed, within [low, high].
std::optional<int> smallNumber(std::string_view line, int low, int high) {
    std::string t = trimmed(line);
    if (t.empty() || t.size() > 3 || !allDigits(t)) return std::nullopt;
    int value = static_cast<int>(numericValue(t));
    if (value < low || value > high) return std::nullopt;
    return value;
}

}  // namespace

std::string trimmed(std::string_view text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

bool allDigits(std::string_view text) {
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

long numericValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value >= kNumericCeiling) return kNumericCeiling;
    }
    return value;
}

StoredSettings parseSettings(std::string_view content, bool complete) {
    StoredSettings s;
    const std::vector<std::string_view> lines = splitLines(content, complete);
    for (std::size_t k = 0; k < lines.size(); ++k)
        s.lines[k] = std::string(lines[k].substr(0, kKeptLineLength));

    if (lines.size() > 0) s.hungarian = lines[0] == "magyar" || lines[0] == "hungarian";
    if (lines.size() > 1 && lines[1].size() <= 3) {
        for (std::size_t k = 0; k < 3; ++k)
            s.checkBoxes[k] = k >= lines[1].size() ? 0 : lines[1][k] == '0' ? 0 : 1;
    }
    if (lines.size() > 2) s.damageLevel = smallNumber(lines[2], 1, 9).value_or(2);
    if (lines.size() > 3) {
        if (smallNumber(lines[3], 0, 200)) s.ammunition = trimmed(lines[3]);
    }
    if (lines.size() > 4) s.spacecraftType = smallNumber(lines[4], 0, 2).value_or(2);
    return s;
}

std::string formatSettings(std::string_view language, const std::array<int, 3>& checkBoxes,
                           int damageLevel, long ammunition, int spacecraftType) {
    std::string out;
    out += language;
    out += "\r\n";
    for (int c : checkBoxes) out += c ? '1' : '0';
    out += "\r\n";
    out += std::to_string(damageLevel) + "\r\n";
    out += std::to_string(ammunition) + "\r\n";
    out += std::to_string(spacecraftType) + "\r\n";
    return out;
}

std::string defaultSettings() {
    return "magyar\r\n111\r\n2\r\n200\r\n2\r\n";
}

SettingsRead readSettingsFile(const std::string& path) {
    SettingsRead r;
    std::error_code ec;
    r.found = std::filesystem::is_regular_file(path, ec);
    if (!r.found) return r;
    std::FILE* fp = std::fopen(path.c_str(), "rb");
    if (!fp) return r;
    r.readable = true;
    r.content.resize(kSettingsReadLimit + 1);
    std::size_t n = std::fread(r.content.data(), 1, r.content.size(), fp);
    r.complete = n <= kSettingsReadLimit && !std::ferror(fp);
    std::fclose(fp);
    r.content.resize(std::min(n, kSettingsReadLimit));
    return r;
}

bool replaceFile(const std::string& path, std::string_view content, std::string& error) {
    const std::string temporary = path + ".tmp";
    std::FILE* fp = std::fopen(temporary.c_str(), "wb");
    if (!fp) {
        error = temporary + ": " + std::strerror(errno);
        return false;
    }
    int failure = 0;
    auto check = [&failure](bool good) {
        if (!good && failure == 0) failure = errno != 0 ? errno : EIO;
    };
    errno = 0;
    check(std::fwrite(content.data(), 1, content.size(), fp) == content.size());
    check(std::fflush(fp) == 0);
    // The rename must not overtake the data on its way to the disk.
    check(::fsync(fileno(fp)) == 0);
    check(std::fclose(fp) == 0);
    if (failure != 0) {
        error = temporary + ": " + std::strerror(failure);
        std::remove(temporary.c_str());
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        error = path + ": " + ec.message();
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace gombocok
