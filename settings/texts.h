// The interface texts of the three windows in Hungarian and English.
#pragma once

#include <string>

#include "base/language.h"
#include "base/shell.h"
#include "base/vars.h"
#include "settings/settings_file.h"

namespace gombocok {

// Sets every language-dependent caption of the three windows from `programnyelv`; a value
// outside the four language words changes nothing.
void szovegkez(Vars& vars, Shell& shell);

// A message box about the settings file, in the interface language of `programnyelv`, or in both
// languages while it names none of the four words (at start-up, before the settings are read).
struct Message {
    std::string text, title;
    MsgLanguage language;  // of the text: the box's buttons speak it
};
// The settings file is there but cannot be read (`read` says why): the defaults are used and
// the file is left as it is.
Message settingsUnreadableMessage(const std::string& programnyelv, const std::string& path,
                                  const SettingsRead& read);
// The save failed, or was refused at a link of another user; `saved` names the path.
Message settingsNotSavedMessage(const std::string& programnyelv, const SaveResult& saved);

}  // namespace gombocok
