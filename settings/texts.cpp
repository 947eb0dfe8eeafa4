#include "settings/texts.h"

#include <pwd.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/catalogue.h"

namespace gombocok {
namespace {

// A word that names no language gets both.
Message inLanguage(NamedLanguage language, const std::string& hungarian,
                   const std::string& english) {
    switch (language) {
        case NamedLanguage::hungarian:
            return {hungarian, std::string(text::gameName.hu), MsgLanguage::hungarian};
        case NamedLanguage::english:
            return {english, std::string(text::gameName.en), MsgLanguage::english};
        case NamedLanguage::none:
            break;
    }
    // Hungarian first: its button speaks Hungarian.
    return {bothLanguages({hungarian, english}), bothLanguagesTitle(), MsgLanguage::hungarian};
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
            return std::string(text::isDirectory.in(hungarian));
        case FileKind::fifo:
            return std::string(text::isFifo.in(hungarian));
        case FileKind::device:
            return std::string(text::isDevice.in(hungarian));
        case FileKind::socket:
            return std::string(text::isSocket.in(hungarian));
        default:
            return std::string(text::isNotRegular.in(hungarian));
    }
}

}  // namespace

Message settingsUnreadableMessage(const std::string& programnyelv, const std::string& path,
                                  const SettingsRead& read) {
    return inLanguage(namedLanguage(programnyelv),
                      filled(text::settingsUnreadable.hu, path, whatItIs(read, true)),
                      filled(text::settingsUnreadable.en, path, whatItIs(read, false)));
}

Message settingsNotSavedMessage(const std::string& programnyelv, const SaveResult& saved) {
    if (saved.outcome == SaveOutcome::refused) {
        const std::string owner = ownerName(saved.owner);
        return inLanguage(namedLanguage(programnyelv),
                          filled(text::settingsRefusedAtLink.hu, saved.path, owner),
                          filled(text::settingsRefusedAtLink.en, saved.path, owner));
    }
    const std::string error = saved.describe();
    return inLanguage(namedLanguage(programnyelv), filled(text::settingsNotSaved.hu, error),
                      filled(text::settingsNotSaved.en, error));
}

void szovegkez(Vars& v, Shell& shell) {
    const NamedLanguage language = namedLanguage(v.programnyelv);
    if (language == NamedLanguage::none) return;
    const bool hungarian = language == NamedLanguage::hungarian;

    BoardForm& b = shell.board();
    b.window.caption = gameWindowCaption(hungarian);
    b.conditionCaption.caption = text::conditionCaption.in(hungarian);
    b.ammoCaption.caption = text::ammoCaption.in(hungarian);
    b.ufosCaption.caption = text::ufosCaption.in(hungarian);
    b.levelCaption.caption = text::levelCaption.in(hungarian);
    b.shotDownCaption.caption = text::shotDownCaption.in(hungarian);
    b.timeCaption.caption = text::timeCaption.in(hungarian);
    b.indit.caption = text::startButton.in(hungarian);
    b.szunet.caption = text::pauseButton.in(hungarian);
    b.beallit.caption = text::optionsButton.in(hungarian);
    b.kilepes.caption = text::quitButton.in(hungarian);
    b.cheatbox.caption = text::cheatMode.in(hungarian);

    OpciokForm& o = shell.opciok();
    o.fules.tabs.resize(3);
    o.fules.tabs[0] = text::appearanceTab.in(hungarian);
    o.spacecraftCaption.caption = text::spacecraftCaption.in(hungarian);
    for (std::size_t k = 0; k < o.uhNames.size(); ++k)
        o.uhNames[k] = text::spacecraftNames[k].in(hungarian);
    o.languageCaption.caption = text::languageCaption.in(hungarian);
    o.nyelv[0].caption = text::hungarianButton.in(hungarian);
    o.nyelv[1].caption = text::englishButton.in(hungarian);
    o.vizeff.caption = text::visualEffects.in(hungarian);
    o.fules.tabs[1] = text::soundsTab.in(hungarian);
    o.soundCaption.caption = text::soundCaption.in(hungarian);
    o.hzene.caption = text::musicBox.in(hungarian);
    o.effektek.caption = text::effectsBox.in(hungarian);
    o.fules.tabs[2] = text::gameplayTab.in(hungarian);
    o.damageCaption.caption = text::damageCaption.in(hungarian);
    o.initialAmmoCaption.caption = text::initialAmmoCaption.in(hungarian);

    // The title screen is loaded only at start-up and is never loaded for its captions' sake.
    if (SplashForm* s = shell.splashIfLoaded()) {
        // The borderless title screen shows no title bar, but taskbars and tools name it by this.
        s->window.caption = text::gameName.in(hungarian);
        s->cim.caption = text::gameName.in(hungarian);
        s->szerzo.caption = creditText(hungarian);
    }
}

}  // namespace gombocok
