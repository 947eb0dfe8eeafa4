#include "settings/settings_file.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <deque>
#include <optional>
#include <random>
#include <utility>
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

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// Holds every signal that can be held, on the calling thread, for the object's lifetime; those
// that arrive meanwhile are delivered when it ends. Faults the thread causes itself are left
// alone: holding them would only turn a crash report into a silent kill.
class ClosedStep {
public:
    ClosedStep() {
        sigset_t all;
        sigfillset(&all);
        for (int fault : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT, SIGSYS})
            sigdelset(&all, fault);
        pthread_sigmask(SIG_BLOCK, &all, &previous_);
    }
    ~ClosedStep() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    ClosedStep(const ClosedStep&) = delete;
    ClosedStep& operator=(const ClosedStep&) = delete;

private:
    sigset_t previous_;
};

// The kernel follows at most this many symbolic links in one lookup (MAXSYMLINKS): the read
// reaches a file behind exactly this many, and so does the save.
constexpr int kMaxLinks = 40;

SaveResult failure(const std::string& path, int error) {
    SaveResult r;
    r.outcome = SaveOutcome::failed;
    r.path = path;
    r.error = error != 0 ? error : EIO;
    return r;
}

std::string joined(const std::string& directory, const std::string& name) {
    if (directory.empty() || directory.back() == '/') return directory + name;
    return directory + "/" + name;
}

// The names of `path` in order, without empty ones and ".".
std::deque<std::string> namesOf(std::string_view path) {
    std::deque<std::string> names;
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        const std::string_view name = path.substr(0, slash);
        if (!name.empty() && name != ".") names.emplace_back(name);
        if (slash == std::string_view::npos) break;
        path.remove_prefix(slash + 1);
    }
    return names;
}

// Gives the file open at `fd` the owner and group of `like`. Only root may give a file away, and
// an owner outside the process's user namespace cannot be set: then it stays the saver's, as any
// new file would be. False only for another failure.
bool giveTo(int fd, const struct stat& like) {
    struct stat now {};
    if (::fstat(fd, &now) != 0) return false;
    if (now.st_uid == like.st_uid && now.st_gid == like.st_gid) return true;
    return ::fchown(fd, like.st_uid, like.st_gid) == 0 || errno == EPERM || errno == EINVAL;
}

// A path walked one name at a time: `at` is the open directory reached so far, `shown` its path
// as the caller named it (for messages).
class Walk {
public:
    // Starts at the root for an absolute path, else at the working directory.
    bool start(const std::string& path, SaveResult& result) {
        const bool absolute = !path.empty() && path.front() == '/';
        at_ = Descriptor(::open(absolute ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
        shown_ = absolute ? "/" : "";
        if (at_.valid()) return true;
        result = failure(absolute ? "/" : ".", errno);
        return false;
    }
    // Goes down `names` (a link's target is walked in its place), creating what is missing when
    // `make`. Fails naming `target`, the file the save is for; refuses naming the link.
    bool descend(std::deque<std::string> names, bool make, const std::string& target,
                 SaveResult& result) {
        while (!names.empty()) {
            const std::string name = std::move(names.front());
            names.pop_front();
            struct stat st {};
            if (::fstatat(at_.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
                if (errno != ENOENT || !make || ++made_ > kMaxLinks)
                    return failed(target, errno, result);
                if (!makeFolder(name, target, result)) return false;
                names.push_front(name);  // and now into it
                continue;
            }
            if (S_ISLNK(st.st_mode)) {
                std::string link;
                if (!follow(name, st, target, link, result)) return false;
                std::deque<std::string> through = namesOf(link);
                names.insert(names.begin(), through.begin(), through.end());
                continue;
            }
            if (!S_ISDIR(st.st_mode)) return failed(target, ENOTDIR, result);
            Descriptor next(
                ::openat(at_.get(), name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (!next.valid()) return failed(target, errno, result);
            at_ = std::move(next);
            shown_ = joined(shown_, name);
        }
        return true;
    }
    // Reads the link `name` in the directory reached, when the running user may follow it; an
    // absolute target moves the walk back to the root. `link` gets the target.
    bool follow(const std::string& name, const struct stat& st, const std::string& target,
                std::string& link, SaveResult& result) {
        const std::string at = joined(shown_, name);
        if (!mayFollow(st.st_uid)) {
            result.outcome = SaveOutcome::refused;
            result.path = at;
            result.owner = st.st_uid;
            return false;
        }
        if (++links_ > kMaxLinks) return failed(target, ELOOP, result);
        std::vector<char> buffer(static_cast<std::size_t>(std::max<off_t>(st.st_size, 255)) + 1);
        const ssize_t n = ::readlinkat(at_.get(), name.c_str(), buffer.data(), buffer.size());
        if (n < 0) return failed(target, errno, result);
        if (static_cast<std::size_t>(n) == buffer.size()) return failed(at, ENAMETOOLONG, result);
        link.assign(buffer.data(), static_cast<std::size_t>(n));
        if (link.empty()) return failed(at, ENOENT, result);
        if (link.front() == '/') {
            at_ = Descriptor(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
            if (!at_.valid()) return failed(target, errno, result);
            shown_ = "/";
        }
        return true;
    }
    int at() const { return at_.get(); }
    const std::string& shown() const { return shown_; }

private:
    // A link of the running user, or of root (the system's own, such as a /home that lives
    // elsewhere). For root that is its own links alone.
    static bool mayFollow(uid_t owner) { return owner == ::geteuid() || owner == 0; }

    static bool failed(const std::string& path, int error, SaveResult& result) {
        result = failure(path, error);
        return false;
    }

    // A missing folder, readable by its owner alone; in another user's directory, that user's.
    bool makeFolder(const std::string& name, const std::string& target, SaveResult& result) {
        if (::mkdirat(at_.get(), name.c_str(), 0700) != 0 && errno != EEXIST)
            return failed(target, errno, result);
        struct stat parent {};
        if (::fstat(at_.get(), &parent) != 0) return failed(target, errno, result);
        if (parent.st_uid == ::geteuid()) return true;
        const Descriptor made(
            ::openat(at_.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (made.valid()) giveTo(made.get(), parent);
        return true;
    }

    Descriptor at_;
    std::string shown_;
    int links_ = 0;
    int made_ = 0;  // folders made: bounded, should someone remove them as fast
};

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

// A new file in `directory` beside `name`, created exclusively under a name no one else holds;
// -1 on failure. Its name is `name` cut to at most kTemporaryStem bytes and a suffix of 13, so it
// stays within the longest name a file system allows (255 bytes) whatever the file is called.
int createTemporary(int directory, const std::string& name, std::string& temporary) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    constexpr std::size_t kTemporaryStem = 200;
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = name.substr(0, kTemporaryStem) + ".tmp.";
        for (int k = 0; k < 8; ++k) temporary += kLetters[random() % (sizeof kLetters - 1)];
        const int fd =
            ::openat(directory, temporary.c_str(),
                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0644);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// The last step of a save: `directory` holds (or will hold) the file `name`.
SaveResult writeInto(int directory, const std::string& name, const std::string& shown,
                     std::string_view content) {
    struct stat old {};
    const bool replacing =
        ::fstatat(directory, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(old.st_mode);
    struct stat folder {};
    if (::fstat(directory, &folder) != 0) return failure(shown, errno);
    std::string temporary;
    Descriptor fd(createTemporary(directory, name, temporary));
    if (!fd.valid()) return failure(joined(directoryOf(shown), temporary), errno);
    int error = 0;
    auto check = [&error](bool good) {
        if (!good && error == 0) error = errno != 0 ? errno : EIO;
    };
    errno = 0;
    if (replacing) {
        // Owner and group first: a change of owner may clear mode bits.
        check(giveTo(fd.get(), old));
        check(::fchmod(fd.get(), old.st_mode & 0777) == 0);
    } else if (folder.st_uid != ::geteuid()) {
        check(giveTo(fd.get(), folder));
    }
    check(writeAll(fd.get(), content));
    // The rename must not overtake the data on its way to the disk.
    check(::fsync(fd.get()) == 0);
    check(::close(fd.release()) == 0);
    if (error == 0 && ::renameat(directory, temporary.c_str(), directory, name.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlinkat(directory, temporary.c_str(), 0);
        return failure(shown, error);
    }
    // The rename itself reaches the disk with the directory.
    const Descriptor readable(::openat(directory, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (readable.valid()) ::fsync(readable.get());
    return {};
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

std::string SaveResult::describe() const {
    switch (outcome) {
        case SaveOutcome::saved:
            return path;
        case SaveOutcome::refused:
            return path + ": a symbolic link of another user (" + std::to_string(owner) +
                   "), not followed";
        case SaveOutcome::failed:
            break;
    }
    return path + ": " + std::strerror(error);
}

SaveResult replaceFile(const std::string& path, std::string_view content, bool makeFolders) {
    const ClosedStep step;
    SaveResult result;
    Walk walk;
    if (!walk.start(path, result)) return result;
    std::deque<std::string> names = namesOf(path);
    if (names.empty() || path.back() == '/') return failure(path, EISDIR);
    std::string name = std::move(names.back());
    names.pop_back();
    if (!walk.descend(std::move(names), makeFolders, path, result)) return result;
    // The last name may be a link in its turn: its target's folders are walked the same way.
    std::string target = path;
    for (;;) {
        struct stat st {};
        if (::fstatat(walk.at(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISLNK(st.st_mode))
            break;
        std::string link;
        if (!walk.follow(name, st, target, link, result)) return result;
        const std::string linkDirectory = walk.shown();
        target = link.front() == '/' ? link : joined(linkDirectory, link);
        std::deque<std::string> through = namesOf(link);
        if (through.empty() || link.back() == '/') return failure(target, EISDIR);
        name = std::move(through.back());
        through.pop_back();
        if (!walk.descend(std::move(through), false, target, result)) return result;
    }
    if (name == "..") return failure(target, EISDIR);
    return writeInto(walk.at(), name, target, content);
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

SaveResult saveSettings(const SettingsPlace& place, std::string_view content) {
    return replaceFile(place.file, content, !place.seed.empty());
}

std::string userConfigDirectory(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome && xdgConfigHome[0] == '/') return std::string(xdgConfigHome) + "/gombocok";
    if (home && home[0] == '/') return std::string(home) + "/.config/gombocok";
    return {};
}

}  // namespace gombocok
