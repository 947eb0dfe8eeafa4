#include "base/language.h"

namespace gombocok {

NamedLanguage namedLanguage(std::string_view programnyelv) {
    if (programnyelv == "magyar" || programnyelv == "hungarian") return NamedLanguage::hungarian;
    if (programnyelv == "angol" || programnyelv == "english") return NamedLanguage::english;
    return NamedLanguage::none;
}

bool namesHungarian(std::string_view programnyelv) {
    return namedLanguage(programnyelv) == NamedLanguage::hungarian;
}

bool isMagyar(std::string_view programnyelv) {
    return programnyelv == "magyar";
}

}  // namespace gombocok
