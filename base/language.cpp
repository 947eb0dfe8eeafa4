#include "base/language.h"

#include "base/catalogue.h"

namespace gombocok {

NamedLanguage namedLanguage(std::string_view programnyelv) {
    // The words are the language buttons' captions in either interface.
    const Text& hu = text::hungarianButton;
    const Text& en = text::englishButton;
    if (programnyelv == hu.hu || programnyelv == hu.en) return NamedLanguage::hungarian;
    if (programnyelv == en.hu || programnyelv == en.en) return NamedLanguage::english;
    return NamedLanguage::none;
}

bool namesHungarian(std::string_view programnyelv) {
    return namedLanguage(programnyelv) == NamedLanguage::hungarian;
}

bool isMagyar(std::string_view programnyelv) {
    return programnyelv == text::hungarianButton.hu;
}

}  // namespace gombocok
