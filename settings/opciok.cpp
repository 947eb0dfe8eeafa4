#include "settings/opciok.h"

#include <cmath>
#include <iostream>

#include "base/assets.h"
#include "base/bars.h"
#include "base/catalogue.h"
#include "base/language.h"
#include "settings/settings_file.h"
#include "settings/texts.h"

namespace gombocok {
namespace {

constexpr int kMaxAmmunition = 200;

// Type 2's picture for any type but 0 and 1.
const char* spacecraftPicture(int type) {
    return assets::urhajokep[type == 0 || type == 1 ? type : 2].file;
}

// The dialog's own messages are Hungarian only for "magyar": "hungarian" gets the English ones.
void dialogMessage(Vars& v, Shell& shell, const Text& message) {
    const bool magyar = isMagyar(v.programnyelv);
    shell.platform().messageBox(
        std::string(message.in(magyar)), std::string(text::gameName.in(magyar)), MsgIcon::critical,
        MsgButtons::ok, magyar ? MsgLanguage::hungarian : MsgLanguage::english);
}

// The first Start disables Start for good. From then on a game runs (or is over), and the status
// panel, the spacecraft and the damage step are that game's: a load of the dialog (the level
// change touching it after the close box unloaded it) must not put the stored settings there.
bool gameBegun(const BoardForm& board) {
    return !board.indit.enabled;
}

void refuseNonDigits(Vars& v, OpciokForm& f, Shell& shell) {
    dialogMessage(v, shell, text::digitsOnly);
    f.mloszer.text.clear();
}

}  // namespace

Opciok::Opciok(Vars& vars, OpciokForm& form, Shell& shell) : v(vars), f(form), shell(shell) {
    f.hzene.onClick = [this] { hzene_Click(); };
    f.effektek.onClick = [this] { effektek_Click(); };
    for (int k = 0; k < static_cast<int>(f.nyelv.size()); ++k)
        f.nyelv[k].onClick = [this, k] { nyelv_Click(k); };
    f.nszcsuszka.onChange = [this] { nszcsuszka_Change(); };
}

void Opciok::Form_Load() {
    const std::string cursor = programFile(shell.platform(), assets::handk.file);
    shell.platform().loadCursor(cursor);
    for (Sprite& u : f.uh) u.cursor = cursor;
    betoltes();
}

void Opciok::Form_Unload() {
    mentes();
}

SettingsRead Opciok::readStored() {
    Platform& p = shell.platform();
    place_ = settingsPlace(p.programDirectory(), p.configDirectory());
    const SettingsRead file = readSettings(place_);
    if (file.state == SettingsState::missing) {
        // The text speaks both languages, Hungarian first; its button speaks Hungarian.
        p.messageBox(bothLanguages(text::settingsMissing), bothLanguagesTitle(),
                     MsgIcon::exclamation, MsgButtons::ok, MsgLanguage::hungarian);
        v.nincs_beallitas = true;
        shell.programvege();
    }
    v.nincs_beallitas = false;
    saveMayWrite_ = true;
    if (file.state != SettingsState::read) {
        const std::string path = file.seeded ? place_.seed : place_.file;
        std::cerr << "gombocok: cannot read " << path << ", using the default settings\n";
        // The program directory's file only seeds the player's own one, which is still free.
        if (!file.seeded) {
            saveMayWrite_ = false;
            if (!v.settings_unreadable_told) {
                v.settings_unreadable_told = true;
                const Message m = settingsUnreadableMessage(v.programnyelv, path, file);
                p.messageBox(m.text, m.title, MsgIcon::exclamation, MsgButtons::ok, m.language);
            }
        }
    }
    return file;
}

void Opciok::betoltes() {
    const SettingsRead file = readStored();
    const StoredSettings s = parseSettings(file.content, file.complete);

    v.programnyelv = s.hungarian ? text::hungarianButton.hu : text::englishButton.en;
    f.selectNyelv(s.hungarian ? 0 : 1);
    // The button's handler stores its caption and applies the texts; at start-up that is the first
    // touch of the game window, whose own start-up runs there. The lines below override what it
    // set.
    szovegkez(v, shell);
    BoardForm& board = shell.board();
    const bool begun = gameBegun(board);

    f.vizeff.setValue(s.checkBoxes[0]);
    f.hzene.setValue(s.checkBoxes[1]);
    f.effektek.setValue(s.checkBoxes[2]);
    v.hatterzene = f.hzene.ticked();
    v.hanghatas = f.effektek.ticked();

    // The slider's handler runs only on a change of position, and its design position may equal
    // the stored one; the stored damage level must rule from the start either way. A game in
    // progress keeps its damage step: the slider takes the stored position without its handler.
    if (begun) {
        f.nszcsuszka.initValue(s.damageLevel);
    } else {
        f.nszcsuszka.setValue(s.damageLevel);
        nszcsuszka_Change();
    }

    // In a game the ammunition label counts the rounds left, not the stored initial ammunition.
    f.mloszer.text = s.ammunition;
    if (!begun) board.mundb.caption = trimmed(f.mloszer.text);

    // The spacecraft in a game keeps its picture: a new choice shows only on OK.
    v.urhajotipus = static_cast<std::int16_t>(s.spacecraftType);
    f.keret.Left = f.uh[v.urhajotipus].Left - 120;
    v.urhajokep = spacecraftPicture(v.urhajotipus);
    if (!begun) {
        Platform& p = shell.platform();
        const std::string picture = programFile(p, v.urhajokep);
        p.loadPicture(picture);
        board.urhajo.picture = picture;
    }
}

void Opciok::mentes() {
    if (!saveMayWrite_) {
        std::cerr << "gombocok: the settings file could not be read, so it is left as it was\n";
        return;
    }
    const std::string content =
        v.nincs_beallitas
            ? defaultSettings()
            : formatSettings(v.programnyelv,
                             {f.vizeff.ticked() ? 1 : 0, f.hzene.ticked() ? 1 : 0,
                              f.effektek.ticked() ? 1 : 0},
                             f.nszcsuszka.value(), numericValue(f.mloszer.text), v.urhajotipus);
    const SaveResult saved = saveSettings(place_, content);
    if (!saved) {
        std::cerr << "gombocok: the settings were not saved: " << saved.describe() << '\n';
        const Message m = settingsNotSavedMessage(v.programnyelv, saved);
        shell.platform().messageBox(m.text, m.title, MsgIcon::critical, MsgButtons::ok, m.language);
    }
}

void Opciok::fules_Click(int tab) {
    f.fules.selected = tab;
    framekez();
}

void Opciok::framekez() {
    switch (f.fules.selected) {
        case 1:
            f.egy.visible = true;
            f.ketto.visible = false;
            f.harom.visible = false;
            break;
        case 2:
            f.ketto.visible = true;
            f.egy.visible = false;
            f.harom.visible = false;
            break;
        case 3:
            f.harom.visible = true;
            f.egy.visible = false;
            f.ketto.visible = false;
            break;
        default:
            break;
    }
}

void Opciok::uh_Click(int k) {
    if (k < 0 || k >= static_cast<int>(f.uh.size())) return;
    v.urhajotipus = static_cast<std::int16_t>(k);
    f.keret.Left = f.uh[k].Left - 120;
    v.urhajokep = spacecraftPicture(k);
}

void Opciok::nyelv_Click(int k) {
    if (k < 0 || k >= static_cast<int>(f.nyelv.size())) return;
    v.programnyelv = f.nyelv[k].caption;
    szovegkez(v, shell);
}

void Opciok::hzene_Click() {
    Platform& p = shell.platform();
    if (f.hzene.ticked()) {
        v.hatterzene = true;
        v.hang_zene = programFile(p, assets::csend.file);
        p.playSound(v.hang_zene);
        v.hang_zene = programFile(p, assets::beallit.file);
        p.playSound(v.hang_zene);
    } else {
        v.hang_zene = programFile(p, assets::csend.file);
        p.playSound(v.hang_zene);
        v.hatterzene = false;
    }
}

void Opciok::effektek_Click() {
    v.hanghatas = f.effektek.ticked();
}

void Opciok::nszcsuszka_Change() {
    v.serulesszint = f.nszcsuszka.value();
    if (v.serulesszint < 1) v.serulesszint = 1;
    v.serules = 10 / v.serulesszint;
}

// The test is on the key, not on the character: Backspace, Delete, the arrows and the keypad
// digits are refused like letters.
void Opciok::mloszer_KeyDown(int keyCode) {
    if (keyCode >= '0' && keyCode <= '9') return;
    refuseNonDigits(v, f, shell);
}

void Opciok::mloszer_Change(const std::string& text) {
    if (allDigits(text)) {
        f.mloszer.text = text;
        return;
    }
    refuseNonDigits(v, f, shell);
}

void Opciok::chloszer_DownClick() {
    const long value = numericValue(trimmed(f.mloszer.text));
    const long next = value <= 0 ? 0 : value - 1;
    f.mloszer.text = std::to_string(next);
}

void Opciok::chloszer_UpClick() {
    const long value = numericValue(trimmed(f.mloszer.text));
    const long next = value >= kMaxAmmunition ? kMaxAmmunition : value + 1;
    f.mloszer.text = std::to_string(next);
}

void Opciok::mehet_Click() {
    Platform& p = shell.platform();
    hibakez();
    szovegkez(v, shell);
    v.hang_zene = programFile(p, assets::csend.file);
    p.playSound(v.hang_zene);

    BoardForm& b = shell.board();
    const std::string picture = programFile(p, v.urhajokep);
    p.loadPicture(picture);
    b.urhajo.picture = picture;

    // hibakez has brought the box within 0 to 200.
    v.loszer = static_cast<std::int16_t>(numericValue(trimmed(f.mloszer.text)));
    b.mundb.caption = std::to_string(v.loszer);
    // One shot's step taken off the bar once.
    b.municio.Width = ammunitionBarAfterStep(b.municio.Width, v.teljes, v.loszer);

    shell.hide(WindowId::opciok);
    if (v.hatterzene) v.hang_zene = programFile(p, assets::urzaj.file);
}

void Opciok::hibakez() {
    if (v.urhajokep.empty()) {
        v.urhajokep = spacecraftPicture(2);
        v.urhajotipus = 2;
    }
    if (numericValue(trimmed(f.mloszer.text)) > kMaxAmmunition) {
        dialogMessage(v, shell, text::maximumAmmo);
        f.mloszer.text = std::to_string(kMaxAmmunition);
    }
}

}  // namespace gombocok
