// A started program on a private program directory, and the checks that every settings load must
// pass whatever the file held. Used by the tests and by the fuzz target (so no GoogleTest here).
#pragma once

#include <filesystem>
#include <string>

#include "program/headless.h"
#include "settings/opciok.h"
#include "settings/settings_file.h"
#include "tests/support/test_support.h"

namespace gombocok::testing {

inline const std::string kDefaultSettings = defaultSettings();

// Puts `content` in a new settings.txt. A new file rather than a truncated one: ext4 flushes a
// file truncated and rewritten in place when it is closed, which makes thousands of rounds slow.
inline void replaceSettings(const TempProgramDir& dir, const std::string& content) {
    std::error_code ec;
    std::filesystem::remove(dir.file("settings.txt"), ec);
    dir.write("settings.txt", content);
}

// The names of the files in `directory` that a save may have left behind (its temporaries,
// "settings.txt.tmp.*"), space-separated; "" when there are none.
inline std::string strayFiles(const std::string& directory) {
    std::string names;
    for (const auto& e : std::filesystem::directory_iterator(directory)) {
        const std::string name = e.path().filename().string();
        if (name.starts_with("settings.txt.tmp")) names += (names.empty() ? "" : " ") + name;
    }
    return names;
}

// The program started as the real one starts, on `dir`.
struct Started {
    HeadlessPlatform platform;
    VirtualHost host;

    explicit Started(const TempProgramDir& dir) : platform(dir.path()), host(platform) {
        host.start();
    }
    Vars& v() { return host.program.vars; }
    OpciokForm& o() { return *host.program.opciokIfLoaded(); }
    Opciok& rules() { return *host.program.opciokRules(); }
    BoardForm& b() { return *host.program.boardIfLoaded(); }
    SplashForm& s() { return *host.program.splashIfLoaded(); }
};

// Returns what is wrong with the state a settings load left, or "" when it is sound: the program
// runs, every control and variable the file feeds is in range, and only digits reach the screen.
inline std::string loadProblem(Started& p) {
    Program& prog = p.host.program;
    if (prog.ended()) return "the program ended";
    if (!prog.opciokIfLoaded() || !prog.boardIfLoaded()) return "a window is not loaded";
    Vars& v = p.v();
    OpciokForm& o = p.o();
    if (v.programnyelv != "magyar" && v.programnyelv != "angol")
        return "language " + v.programnyelv;
    if (o.nyelv[0].selected() == o.nyelv[1].selected()) return "language buttons";
    for (const CheckBox* c : {&o.vizeff, &o.hzene, &o.effektek})
        if (c->value() != 0 && c->value() != 1) return "check box " + c->caption;
    if (v.hatterzene != o.hzene.ticked() || v.hanghatas != o.effektek.ticked())
        return "sound switches";
    const int level = o.nszcsuszka.value();
    if (level < 1 || level > 9 || v.serulesszint != level || v.serules != 10 / level)
        return "damage level";
    const std::string& ammo = o.mloszer.text;
    if (ammo.empty() || ammo.size() > 3 || !allDigits(ammo) || numericValue(ammo) > 200)
        return "ammunition " + ammo;
    if (p.b().mundb.caption != ammo) return "ammunition label " + p.b().mundb.caption;
    if (v.urhajotipus < 0 || v.urhajotipus > 2) return "spacecraft type";
    if (o.keret.Left != o.uh[v.urhajotipus].Left - 120) return "selection marker";
    if (p.b().urhajo.picture != programFile(p.platform, v.urhajokep)) return "spacecraft picture";
    return "";
}

}  // namespace gombocok::testing
