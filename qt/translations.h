// Qt's own texts (a message box's standard buttons, a text box's context menu) in the language
// of the program, from the translations of Qt's base module that the system installs. English
// needs none: it is the language Qt's texts are written in.
#pragma once

#include <QTranslator>

namespace gombocok {

class QtTranslations {
public:
    QtTranslations();
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    // Whether Qt's Hungarian translations were found.
    bool hungarianFound() const { return found_; }
    // Installs the Hungarian translations on the application, or removes them for English.
    // Qt's texts created from then on speak that language; open windows get a language change.
    void useHungarian(bool hungarian);
    bool hungarian() const { return installed_; }

private:
    QTranslator hu_;
    bool found_ = false;
    bool installed_ = false;
};

}  // namespace gombocok
