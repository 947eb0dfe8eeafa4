#include "program/command_line.h"

#include <algorithm>
#include <array>

#include "base/catalogue.h"

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

// The game's option that `arg` spells, if any.
const OptionRow* ourOption(std::string_view arg) {
    for (const OptionRow& o : kOptionRows)
        if (arg == o.shortName || arg == o.longName) return &o;
    return nullptr;
}

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
    if (!platform.empty() && platform != "xcb")
        return filled(text::platformNotStarted.in(hungarian), platform);
    std::string named = qtOptionValue(args, "display");
    if (named.empty()) named = orEmpty(display);
    if (named.empty()) return std::string(text::displayNotSet.in(hungarian));
    return filled(text::displayNotOpened.in(hungarian), named);
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
        if (const OptionRow* o = ourOption(arg)) {
            switch (o->option) {
                case Option::help:
                    return {false, 0, usageText(hungarian), ""};
                case Option::version:
                    return {false, 0,
                            filled(text::versionLine, text::gameName.in(hungarian), version), ""};
            }
        }
        const bool option = arg.size() > 1 && arg[0] == '-';
        const std::string err =
            filled((option ? text::unknownOption : text::unexpectedArgument).in(hungarian), arg);
        return {false, 2, "", err};
    }
    return {};
}

}  // namespace gombocok
