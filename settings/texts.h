// The interface texts of the three windows in Hungarian and English.
#pragma once

#include <string>

#include "game/vars.h"
#include "ui/shell.h"

namespace gombocok {

// The language `szovegkez` gives the captions for `programnyelv`: Hungarian for "magyar" and
// "hungarian", English for "angol" and "english", none (the captions stay) for anything else.
enum class CaptionLanguage { hungarian, english, unchanged };
CaptionLanguage captionLanguage(const std::string& programnyelv);

// Sets every language-dependent caption of the three windows from `programnyelv`; a value
// outside the four language words changes nothing.
void szovegkez(Vars& vars, Shell& shell);

}  // namespace gombocok
