#include "settings/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <random>
#include <vector>

#include "base/bounded_read.h"
#include "base/language.h"

namespace gombocok {
namespace {

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

    if (lines.size() > 0) s.hungarian = namesHungarian(lines[0]);
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
    const StoredSettings d;
    return formatSettings(d.hungarian ? "magyar" : "english", d.checkBoxes, d.damageLevel,
                          numericValue(d.ammunition), d.spacecraftType);
}

namespace {

FileKind kindOf(mode_t mode) {
    if (S_ISREG(mode)) return FileKind::regular;
    if (S_ISDIR(mode)) return FileKind::directory;
    if (S_ISFIFO(mode)) return FileKind::fifo;
    if (S_ISCHR(mode) || S_ISBLK(mode)) return FileKind::device;
    if (S_ISSOCK(mode)) return FileKind::socket;
    return FileKind::other;
}

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string withReason(const std::string& path, int error) {
    return path + ": " + std::strerror(error);
}

// The kernel follows at most this many symbolic links in one lookup (MAXSYMLINKS): the read
// reaches a file behind exactly this many, and so must the save.
constexpr int kMaxLinks = 40;

// The file a chain of symbolic links ends at; `path` itself when it is no link. A link whose
// target does not exist yet still resolves: the save then creates the target.
bool finalTarget(const std::string& path, std::string& target, std::string& error) {
    target = path;
    for (int links = 0;; ++links) {
        std::vector<char> buffer(4096);
        const ssize_t n = ::readlink(target.c_str(), buffer.data(), buffer.size());
        if (n < 0) return true;  // not a link, or nothing there
        if (links == kMaxLinks) {
            error = withReason(path, ELOOP);
            return false;
        }
        if (static_cast<std::size_t>(n) == buffer.size()) {
            error = withReason(target, ENAMETOOLONG);
            return false;
        }
        const std::string link(buffer.data(), static_cast<std::size_t>(n));
        target = link.front() == '/' ? link : directoryOf(target) + "/" + link;
    }
}

bool writeAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// A new file beside `target`, created exclusively under a name no one else holds; -1 on failure.
// Its name is the target's, cut to at most kTemporaryStem bytes, and a suffix of 13, so it stays
// within the longest name a file system allows (255 bytes) whatever the target is called.
int createTemporary(const std::string& target, std::string& temporary) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    constexpr std::size_t kTemporaryStem = 200;
    const std::size_t slash = target.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::string stem = target.substr(0, nameStart + kTemporaryStem);
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = stem + ".tmp.";
        for (int k = 0; k < 8; ++k) temporary += kLetters[random() % (sizeof kLetters - 1)];
        const int fd =
            ::open(temporary.c_str(),
                   O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0644);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Creates the missing directories of `path`, each readable by its owner alone.
bool makeDirectories(const std::string& path, std::string& error) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) == 0) return true;
    const std::string parent = directoryOf(path);
    if (parent != path && !makeDirectories(parent, error)) return false;
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        error = withReason(path, errno);
        return false;
    }
    return true;
}

}  // namespace

SettingsRead readSettingsFile(const std::string& path) {
    SettingsRead r;
    const FileBytes file = readRegularFile(path, kSettingsReadLimit, Overflow::cut);
    switch (file.status) {
        case ReadStatus::ok:
            r.state = SettingsState::read;
            r.complete = file.complete;
            r.content.assign(file.bytes.begin(), file.bytes.end());
            break;
        case ReadStatus::notRegularFile:
            r.state = SettingsState::notRegular;
            r.kind = kindOf(file.mode);
            break;
        case ReadStatus::cannotOpen:
            // A dangling link counts as nothing there, as a missing file does.
            if (file.error == ENOENT || file.error == ENOTDIR) break;
            r.state = SettingsState::unreadable;
            r.error = file.error;
            break;
        case ReadStatus::tooLarge:  // not with Overflow::cut
        case ReadStatus::readError:
            r.state = SettingsState::unreadable;
            r.error = file.error != 0 ? file.error : EIO;
            break;
    }
    return r;
}

bool replaceFile(const std::string& path, std::string_view content, std::string& error) {
    std::string target;
    if (!finalTarget(path, target, error)) return false;
    std::string temporary;
    const int fd = createTemporary(target, temporary);
    if (fd < 0) {
        error = withReason(temporary, errno);
        return false;
    }
    int failure = 0;
    auto check = [&failure](bool good) {
        if (!good && failure == 0) failure = errno != 0 ? errno : EIO;
    };
    errno = 0;
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        // Owner and group first (a change of owner may clear mode bits). Only root may give a
        // file away, and an owner outside the process's user namespace cannot be set: then the
        // file becomes the saver's, as any new file would.
        struct stat fresh {};
        if (::fstat(fd, &fresh) == 0 &&
            (fresh.st_uid != old.st_uid || fresh.st_gid != old.st_gid) &&
            ::fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM && errno != EINVAL)
            check(false);
        errno = 0;
        check(::fchmod(fd, old.st_mode & 0777) == 0);
    }
    check(writeAll(fd, content));
    // The rename must not overtake the data on its way to the disk.
    check(::fsync(fd) == 0);
    check(::close(fd) == 0);
    if (failure == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
        error = withReason(target, errno);
        ::unlink(temporary.c_str());
        return false;
    }
    if (failure != 0) {
        error = withReason(temporary, failure);
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk with the directory.
    const int dir = ::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

SettingsPlace settingsPlace(const std::string& programDirectory, const std::string& configDirectory,
                            bool programDirectoryWritable) {
    const std::string own = programDirectory + "/settings.txt";
    if (programDirectoryWritable || configDirectory.empty()) return {own, ""};
    return {configDirectory + "/settings.txt", own};
}

SettingsPlace settingsPlace(const std::string& programDirectory,
                            const std::string& configDirectory) {
    // A read-only mount or an immutable directory answers no here even for root.
    const bool writable = ::access(programDirectory.c_str(), W_OK | X_OK) == 0;
    return settingsPlace(programDirectory, configDirectory, writable);
}

SettingsRead readSettings(const SettingsPlace& place) {
    SettingsRead r = readSettingsFile(place.file);
    if (r.state != SettingsState::missing || place.seed.empty()) return r;
    r = readSettingsFile(place.seed);
    r.seeded = r.state != SettingsState::missing;
    return r;
}

bool saveSettings(const SettingsPlace& place, std::string_view content, std::string& error) {
    if (!place.seed.empty() && !makeDirectories(directoryOf(place.file), error)) return false;
    return replaceFile(place.file, content, error);
}

std::string userConfigDirectory(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome && xdgConfigHome[0] == '/') return std::string(xdgConfigHome) + "/gombocok";
    if (home && home[0] == '/') return std::string(home) + "/.config/gombocok";
    return {};
}

}  // namespace gombocok
