// The language word `programnyelv` (the caption of the language button the player picked, or the
// first line of the settings file), decoded by exact, case-sensitive comparison. The program reads
// it in three ways, each with its own name here.
#pragma once

#include <string_view>

namespace gombocok {

// Which of the four words the options dialog offers it is: "magyar" and "hungarian" name
// Hungarian, "angol" and "english" English; any other word names none (the captions stay as
// they are, and a settings message speaks both languages).
enum class NamedLanguage { hungarian, english, none };
NamedLanguage namedLanguage(std::string_view programnyelv);

// Hungarian or English and nothing else: Hungarian for "magyar" and "hungarian", English for any
// other word (the level messages, the settings file's first line).
bool namesHungarian(std::string_view programnyelv);

// The word "magyar" itself: the game window's and the dialog's own messages are Hungarian only
// for it, so the English caption "hungarian" gets the English ones.
bool isMagyar(std::string_view programnyelv);

}  // namespace gombocok
