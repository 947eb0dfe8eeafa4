// The command line: the game itself takes no options and changes nothing by one; it answers
// --help and --version, refuses what it does not know, and lets Qt's own options through to Qt.
// Decided before any window system is touched, so it needs no display.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gombocok {

struct CommandLine {
    bool play = true;  // start the game; otherwise print `out` and `err` and exit with `exitCode`
    int exitCode = 0;
    std::string out;  // for standard output
    std::string err;  // for standard error
};

// Whether the locale's language for messages is Hungarian: the first of LC_ALL, LC_MESSAGES and
// LANG that is set and not empty decides, as POSIX orders them. Null pointers count as unset.
bool hungarianLocale(const char* lcAll, const char* lcMessages, const char* lang);

// `args` without the program's name. Left to right, the first argument that is not one of Qt's
// own options decides: -h/--help the usage, -v/--version the version (both exit 0), anything else
// a line naming it and a hint on standard error (exit 2). Qt's options, with the value those take,
// are skipped so that Qt sees them as it would without this.
CommandLine readCommandLine(const std::vector<std::string>& args, bool hungarian,
                            std::string_view version);

// The one line, newline included, that tells a player the window system could not be opened,
// in place of Qt's abort. It names what Qt was asked to open: the platform of -platform, else of
// QT_QPA_PLATFORM, when it is not X11 (Qt's default here), else the X display of -display, else of
// DISPLAY. `args` are those readCommandLine let through to Qt; a null pointer is an unset variable.
std::string windowSystemFailure(const std::vector<std::string>& args, const char* qpaPlatform,
                                const char* display, bool hungarian);

}  // namespace gombocok
