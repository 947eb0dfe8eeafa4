#include "settings/texts.h"

#include <pwd.h>

#include <cstring>
#include <string>
#include <vector>

namespace gombocok {
namespace {

// One row of the caption table: the same control in both languages.
struct Captions {
    const char* hu;
    const char* en;
};

const char* pick(const Captions& c, bool hungarian) {
    return hungarian ? c.hu : c.en;
}

constexpr const char* kMakerMark = "v1.0";

// A word that names no language gets both.
Message inLanguage(NamedLanguage language, const std::string& hungarian,
                   const std::string& english) {
    switch (language) {
        case NamedLanguage::hungarian:
            return {hungarian, "Gombócok", MsgLanguage::hungarian};
        case NamedLanguage::english:
            return {english, "Dumplers", MsgLanguage::english};
        case NamedLanguage::none:
            break;
    }
    // Hungarian first: its button speaks Hungarian.
    return {hungarian + "\r\r(" + english + ")", "Gombócok (Dumplers)", MsgLanguage::hungarian};
}

// The user's login name, or the number where the system knows none.
std::string ownerName(unsigned owner) {
    struct passwd entry {};
    struct passwd* found = nullptr;
    std::vector<char> buffer(4096);
    if (::getpwuid_r(owner, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return found->pw_name;
    return std::to_string(owner);
}

std::string whatItIs(const SettingsRead& read, bool hungarian) {
    if (read.state == SettingsState::unreadable) return std::strerror(read.error);
    switch (read.kind) {
        case FileKind::directory:
            return pick({"ez egy könyvtár, nem file", "it is a directory, not a file"}, hungarian);
        case FileKind::fifo:
            return pick({"ez egy csővezeték (FIFO), nem közönséges file",
                         "it is a pipe (FIFO), not a regular file"},
                        hungarian);
        case FileKind::device:
            return pick(
                {"ez egy eszközfile, nem közönséges file", "it is a device, not a regular file"},
                hungarian);
        case FileKind::socket:
            return pick(
                {"ez egy socket, nem közönséges file", "it is a socket, not a regular file"},
                hungarian);
        default:
            return pick({"nem közönséges file", "it is not a regular file"}, hungarian);
    }
}

}  // namespace

Message settingsUnreadableMessage(const std::string& programnyelv, const std::string& path,
                                  const SettingsRead& read) {
    return inLanguage(
        namedLanguage(programnyelv),
        "A beállításokat tartalmazó file nem olvasható:\r" + path + "\r(" + whatItIs(read, true) +
            ")\r\rA játék most az alapbeállításokkal indul, és a beállításokat ezúttal nem "
            "menthetem: a file érintetlen marad.",
        "The settings file cannot be read:\r" + path + "\r(" + whatItIs(read, false) +
            ")\r\rThe game starts with the default settings, and this time the settings cannot "
            "be kept: the file is left untouched.");
}

Message settingsNotSavedMessage(const std::string& programnyelv, const SaveResult& saved) {
    if (saved.outcome == SaveOutcome::refused) {
        const std::string owner = ownerName(saved.owner);
        return inLanguage(
            namedLanguage(programnyelv),
            "A beállításokat nem mentettem, a változtatások elvesznek.\r\r" + saved.path +
                "\regy másik felhasználó (" + owner +
                ") szimbolikus linkje. Más felhasználó linkjén át a játék nem ír, így a file, "
                "amelyre mutat, érintetlen marad.",
            "The settings were not saved, the changes are lost.\r\r" + saved.path +
                "\ris a symbolic link of another user (" + owner +
                "). The game does not write through another user's link, so the file it points "
                "to is left as it was.");
    }
    const std::string error = saved.describe();
    return inLanguage(
        namedLanguage(programnyelv),
        "A beállításokat nem sikerült menteni, a változtatások elvesznek.\r\r" + error,
        "The settings could not be saved, the changes are lost.\r\r" + error);
}

void szovegkez(Vars& v, Shell& shell) {
    const NamedLanguage language = namedLanguage(v.programnyelv);
    if (language == NamedLanguage::none) return;
    const bool hungarian = language == NamedLanguage::hungarian;

    // The blanks push the maker mark towards the right end of the title bar.
    BoardForm& b = shell.board();
    b.window.caption = hungarian ? std::string("Gombócok") + std::string(128, ' ') + kMakerMark
                                 : std::string("Dumplers") + std::string(125, ' ') + kMakerMark;
    b.Label1.caption = pick({"Űrhajó állapota:", "Spacecraft status:"}, hungarian);
    b.Label6.caption = pick({"Lőszer:", "Ammo:"}, hungarian);
    b.Label2.caption = pick({"Ufók száma:", "Ufo's:"}, hungarian);
    b.Label4.caption = pick({"Szint:", "Level:"}, hungarian);
    b.Label5.caption = pick({"Lelőtt ufók száma:", "Eliminated ufo's:"}, hungarian);
    b.Label3.caption = pick({"Eltelt idő:", "Elapsed time:"}, hungarian);
    b.indit.caption = pick({"Indít", "Start"}, hungarian);
    b.szunet.caption = pick({"Szünet", "Pause"}, hungarian);
    b.beallit.caption = pick({"Beállítások", "Options"}, hungarian);
    b.kilepes.caption = pick({"Kilépés", "Quit"}, hungarian);
    b.cheatbox.caption = pick({"csalás mód BE", "cheat mode ON"}, hungarian);

    OpciokForm& o = shell.opciok();
    o.fules.tabs.resize(3);
    o.fules.tabs[0] = pick({"megjelenés", "skin"}, hungarian);
    o.Label1.caption = pick({"Űrhajó-típus választás:", "Spacecraft class select:"}, hungarian);
    o.uhNames = hungarian
                    ? std::array<std::string, 3>{"1. űrhajó", "2. űrhajó", "3. űrhajó"}
                    : std::array<std::string, 3>{"Spacecraft 1", "Spacecraft 2", "Spacecraft 3"};
    o.Label5.caption = pick({"Program nyelve:", "Program language:"}, hungarian);
    o.nyelv[0].caption = pick({"magyar", "hungarian"}, hungarian);
    o.nyelv[1].caption = pick({"angol", "english"}, hungarian);
    o.vizeff.caption = pick({"vizuális effektek", "visual effects"}, hungarian);
    o.fules.tabs[1] = pick({"hangok", "sounds"}, hungarian);
    o.Label2.caption = pick({"Hang beállítások:", "Sound options:"}, hungarian);
    o.hzene.caption = pick({"háttérzenék", "background musics"}, hungarian);
    o.effektek.caption = pick({"effektusok", "effects"}, hungarian);
    o.fules.tabs[2] = pick({"játékmenet", "gameplay"}, hungarian);
    o.Label3.caption = pick({"Űrhajó sérülési szintje:", "Spacecraft damage level:"}, hungarian);
    o.Label4.caption = pick({"Induló lőszermennyiség:", "Initial ammo:"}, hungarian);

    // The title screen is loaded only at start-up and is never loaded for its captions' sake.
    if (SplashForm* s = shell.splashIfLoaded()) {
        // The borderless title screen shows no title bar, but taskbars and tools name it by this.
        s->window.caption = pick({"Gombócok", "Dumplers"}, hungarian);
        s->cim.caption = pick({"Gombócok", "Dumplers"}, hungarian);
        s->szerzo.caption = pick({"a Gombócok műhelyéből", "from the Dumplers crew"}, hungarian);
    }
}

}  // namespace gombocok
