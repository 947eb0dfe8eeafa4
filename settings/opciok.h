// The rules of the options dialog `opciok`, and the settings file it reads when it loads and
// writes when it unloads.
#pragma once

#include <string>

#include "base/forms.h"
#include "base/shell.h"
#include "base/vars.h"
#include "settings/settings_file.h"

namespace gombocok {

class Opciok {
public:
    // Installs the handlers of the check boxes, option buttons and the slider on the form.
    Opciok(Vars& vars, OpciokForm& form, Shell& shell);

    void Form_Load();    // cursors, then betoltes
    void Form_Unload();  // mentes

    void betoltes();
    void mentes();

    void fules_Click(int tab);  // the player picked tab `tab` (1-based)
    void framekez();
    void uh_Click(int k);
    void nyelv_Click(int k);
    void hzene_Click();
    void effektek_Click();
    void nszcsuszka_Change();
    // Refuses every key but the main keyboard's digits (codes 48 to 57) with a message and empties
    // the box. An accepted digit changes nothing here: the view inserts it and reports the new
    // text through mloszer_Change.
    void mloszer_KeyDown(int keyCode);
    // The box's new text, however it arrived (typing, paste, drag and drop, an input method):
    // kept when it is all digits, else refused like a key.
    void mloszer_Change(const std::string& text);
    void chloszer_DownClick();
    void chloszer_UpClick();
    void mehet_Click();
    void hibakez();

private:
    // Finds and reads the settings file. A missing file is reported and ends the program (the
    // save then writes the defaults); one that cannot be read is reported once per run and the
    // defaults are used.
    SettingsRead readStored();

    Vars& v;
    OpciokForm& f;
    Shell& shell;
    // Where this load found the settings.
    SettingsPlace place_;
    // Whether the save may write there: not when the file was there but could not be read, so
    // that the player's file is never lost.
    bool saveMayWrite_ = true;
};

}  // namespace gombocok
