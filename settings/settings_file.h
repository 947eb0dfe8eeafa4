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
};

// `complete` tells whether `content` is the whole file (false when the read limit cut it).
StoredSettings parseSettings(std::string_view content, bool complete = true);

// The five lines as the program writes them.
std::string formatSettings(std::string_view language, const std::array<int, 3>& checkBoxes,
                           int damageLevel, long ammunition, int spacecraftType);
// The settings of a fresh installation (the defaults of StoredSettings) as the program writes
// them: the text of the shipped settings.txt and of the file a first start creates.
std::string defaultSettings();

// What a read found at the settings path.
enum class SettingsState {
    missing,     // nothing there (a dangling symbolic link counts as nothing)
    read,        // a regular file (or a link to one), read
    notRegular,  // something else: a directory, a FIFO, a device, a socket
    unreadable,  // there, but it could not be opened or read (no permission, a link loop)
};
enum class FileKind { regular, directory, fifo, device, socket, other };

struct SettingsRead {
    SettingsState state = SettingsState::missing;
    bool complete = false;  // the whole file fits in the read limit
    std::string content;
    FileKind kind = FileKind::regular;  // what the path is, when notRegular
    int error = 0;                      // the system's error number, when unreadable
    // Read from the program directory's file because the player's own file does not exist yet.
    bool seeded = false;
};
// Never blocks (a FIFO is not opened) and never reads more than the limit.
SettingsRead readSettingsFile(const std::string& path);

// What became of a save.
enum class SaveOutcome {
    saved,
    // Not attempted: the way to the file passes a symbolic link that the running user may not
    // follow (see replaceFile). Nothing was written.
    refused,
    failed,  // the system refused an operation; nothing was replaced
};
struct SaveResult {
    SaveOutcome outcome = SaveOutcome::saved;
    std::string path;    // refused: the link; failed: the file the save was writing
    int error = 0;       // failed: the system's error number
    unsigned owner = 0;  // refused: the link's owner (a user id)
    explicit operator bool() const { return outcome == SaveOutcome::saved; }
    // One line for standard error: the path and what went wrong.
    std::string describe() const;
};

// Writes `content` to a fresh temporary file beside the file that `path` names and renames it
// over that file, so the file holds either the old or the new content, never a part.
//
// The path is walked one name at a time from an open directory, and everything after it is done
// relative to the directory the file is in (openat, renameat, unlinkat): a directory renamed or
// moved meanwhile takes the save with it and leaves no temporary file, and a path of any length
// saves where it reads. A symbolic link on the way, the last name included, is followed only when
// it belongs to the running user or to root, at most 40 deep as the kernel follows them; a link of
// anyone else refuses the save before anything is written. So a root run with a player's
// environment never writes through the player's links, while a player's own link into a dotfiles
// folder still saves at its target, and the link stays.
//
// The temporary file has a name of its own, created exclusively, so neither a planted link nor
// another copy of the program saving at the same moment can share it; the last rename wins
// whole. A replaced file keeps its permission bits, and its owner and group where the process may
// set them; a new file (and a folder `makeFolders` creates) in a directory of another user gets
// that directory's owner and group, so a root run never locks the owner out. The whole save runs
// with the process's signals held on the calling thread, so no signal ends the process between
// the temporary file's creation and its rename or removal: what arrives meanwhile is delivered
// as the save returns. `makeFolders` creates the missing folders of the path, mode 0700.
SaveResult replaceFile(const std::string& path, std::string_view content, bool makeFolders = false);

// Where one run keeps its settings. The program directory's settings.txt while that directory can
// be written; otherwise the player's own copy in `configDirectory`, which at the player's first
// start is seeded from the program directory's file.
struct SettingsPlace {
    std::string file;  // read at the load, written at the save
    std::string seed;  // read while `file` does not exist; empty when `file` is the program's own
};
SettingsPlace settingsPlace(const std::string& programDirectory, const std::string& configDirectory,
                            bool programDirectoryWritable);
// The same, asking the file system whether the program directory can be written.
SettingsPlace settingsPlace(const std::string& programDirectory,
                            const std::string& configDirectory);
SettingsRead readSettings(const SettingsPlace& place);
// replaceFile, creating the player's own folder when the file lives there.
SaveResult saveSettings(const SettingsPlace& place, std::string_view content);

// The player's own folder of this program: $XDG_CONFIG_HOME/gombocok when that is an absolute
// path, else `home`/.config/gombocok; empty when neither is usable. Null pointers count as unset.
std::string userConfigDirectory(const char* xdgConfigHome, const char* home);

// The leading decimal number of `text` after leading blanks; 0 when there is none. Saturates at
// 2147483647, so a box full of digits cannot overflow.
long numericValue(std::string_view text);
// `text` without leading and trailing blanks.
std::string trimmed(std::string_view text);
bool allDigits(std::string_view text);

}  // namespace gombocok
