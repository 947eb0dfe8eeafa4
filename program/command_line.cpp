#include "program/command_line.h"

#include <algorithm>
#include <array>

namespace gombocok {
namespace {

// The options QApplication takes out of the arguments itself (on X11 also those of the xcb
// platform), with one or two leading dashes; those here take the next argument as their value.
constexpr std::array<std::string_view, 16> kQtWithValue = {
    "platform",     "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "qwindowtitle", "qwindowicon",        "session",       "style",  "stylesheet",
    "display",      "geometry",           "title",         "icon",   "name",
    "visual"};
constexpr std::array<std::string_view, 5> kQtFlags = {"reverse", "widgetcount", "nograb", "dograb",
                                                      "testability"};
// These take their value after '=' in the same argument.
constexpr std::array<std::string_view, 3> kQtJoined = {"style=", "stylesheet=", "qmljsdebugger="};

template <std::size_t N>
bool among(const std::array<std::string_view, N>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// How many arguments a Qt option at the front of `arg` takes (itself and its value); 0 when
// `arg` is not one of Qt's.
int qtOptionLength(std::string_view arg) {
    if (arg.size() < 2 || arg[0] != '-') return 0;
    std::string_view name = arg.substr(arg[1] == '-' ? 2 : 1);
    if (among(kQtWithValue, name)) return 2;
    if (among(kQtFlags, name)) return 1;
    for (std::string_view joined : kQtJoined)
        if (name.size() > joined.size() && name.starts_with(joined)) return 1;
    return 0;
}

constexpr std::string_view kUsageEnglish =
    "Usage: gombocok [-h | --help | -v | --version] [Qt options]\n"
    "Dumplers (Gombócok), a small arcade shooter: your spacecraft holds the left\n"
    "edge of the field and fires to the right at the UFOs that drift in from the\n"
    "right and fire back.\n"
    "\n"
    "Keys:\n"
    "  Up, Down       move the spacecraft\n"
    "  Space          fire\n"
    "  A G R V Y      cheats: ammunition, invulnerability, repair, reverse fire,\n"
    "                 the current wave again\n"
    "\n"
    "Options:\n"
    "  -h, --help     print this help and exit\n"
    "  -v, --version  print the version and exit\n"
    "Qt's own options (-platform, -display, -style, ...) are passed on to Qt.\n"
    "\n"
    "Settings: settings.txt in the program's directory; when that directory cannot\n"
    "be written, $XDG_CONFIG_HOME/gombocok/settings.txt (by default\n"
    "~/.config/gombocok/settings.txt).\n";

constexpr std::string_view kUsageHungarian =
    "Használat: gombocok [-h | --help | -v | --version] [Qt-kapcsolók]\n"
    "Gombócok (Dumplers), kis ügyességi lövöldözős játék: az űrhajód a mező bal\n"
    "szélén áll, és jobbra lő a jobbról érkező, visszalövő ufókra.\n"
    "\n"
    "Billentyűk:\n"
    "  Fel, Le        az űrhajó mozgatása\n"
    "  Szóköz         lövés\n"
    "  A G R V Y      csalások: lőszer, sérthetetlenség, javítás, fordított lövés,\n"
    "                 az aktuális hullám újra\n"
    "\n"
    "Kapcsolók:\n"
    "  -h, --help     ez a súgó, majd kilépés\n"
    "  -v, --version  a változat kiírása, majd kilépés\n"
    "A Qt saját kapcsolóit (-platform, -display, -style, ...) a Qt kapja meg.\n"
    "\n"
    "Beállítások: settings.txt a program könyvtárában; ha az a könyvtár nem írható,\n"
    "$XDG_CONFIG_HOME/gombocok/settings.txt (alapesetben\n"
    "~/.config/gombocok/settings.txt).\n";

// The value of Qt's option `name` in `args` (either dash form), or empty when it is not given.
std::string qtOptionValue(const std::vector<std::string>& args, std::string_view name) {
    std::string value;
    for (std::size_t i = 0; i < args.size();) {
        const int taken = qtOptionLength(args[i]);
        if (taken == 0) break;
        const std::string_view arg = args[i];
        if (taken == 2 && i + 1 < args.size() && arg.substr(arg[1] == '-' ? 2 : 1) == name)
            value = args[i + 1];  // the last one given counts, as in Qt
        i += static_cast<std::size_t>(taken);
    }
    return value;
}

std::string orEmpty(const char* value) {
    return value ? value : "";
}

}  // namespace

std::string windowSystemFailure(const std::vector<std::string>& args, const char* qpaPlatform,
                                const char* display, bool hungarian) {
    std::string platform = qtOptionValue(args, "platform");
    if (platform.empty()) platform = orEmpty(qpaPlatform);
    // "name:arguments", or a list "first;fallback" of which Qt tries the first first.
    platform = platform.substr(0, platform.find_first_of(":;"));
    const std::string line = "gombocok: ";
    if (!platform.empty() && platform != "xcb")
        return line + (hungarian ? "nem indítható a(z) „" + platform + "” grafikus platform\n"
                                 : "cannot start the window system platform '" + platform + "'\n");
    std::string named = qtOptionValue(args, "display");
    if (named.empty()) named = orEmpty(display);
    if (named.empty())
        return line + (hungarian ? "nem nyitható meg a kijelző (a DISPLAY nincs beállítva)\n"
                                 : "cannot open the display (DISPLAY is not set)\n");
    return line + (hungarian ? "nem nyitható meg a kijelző: " : "cannot open the display ") +
           named + "\n";
}

bool hungarianLocale(const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* value : {lcAll, lcMessages, lang}) {
        if (!value || !*value) continue;
        // language[_territory][.codeset][@modifier]
        const std::string_view locale(value);
        return locale.substr(0, locale.find_first_of("_.@")) == "hu";
    }
    return false;
}

CommandLine readCommandLine(const std::vector<std::string>& args, bool hungarian,
                            std::string_view version) {
    for (std::size_t i = 0; i < args.size();) {
        const std::string& arg = args[i];
        if (const int taken = qtOptionLength(arg)) {
            i += static_cast<std::size_t>(taken);
            continue;
        }
        if (arg == "-h" || arg == "--help")
            return {false, 0, std::string(hungarian ? kUsageHungarian : kUsageEnglish), ""};
        if (arg == "-v" || arg == "--version")
            return {false, 0,
                    (hungarian ? "Gombócok (gombocok) " : "Dumplers (gombocok) ") +
                        std::string(version) + "\n",
                    ""};
        const bool option = arg.size() > 1 && arg[0] == '-';
        std::string err = "gombocok: ";
        if (hungarian)
            err += (option ? "ismeretlen kapcsoló: " : "fölösleges argumentum: ") + arg +
                   "\nBővebben: gombocok --help\n";
        else
            err += (option ? "unknown option: " : "unexpected argument: ") + arg +
                   "\nTry 'gombocok --help' for more information.\n";
        return {false, 2, "", err};
    }
    return {};
}

}  // namespace gombocok
