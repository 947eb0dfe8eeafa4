#include "qt/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <iostream>

namespace gombocok {

QtTranslations::QtTranslations() {
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    found_ = hu_.load(QStringLiteral("qtbase_hu"), dir);
    if (!found_)
        std::cerr << "gombocok: Qt's Hungarian translations (qtbase_hu.qm) are not in "
                  << dir.toStdString() << "; Qt's own texts stay English\n";
}

QtTranslations::~QtTranslations() {
    useHungarian(false);
}

void QtTranslations::useHungarian(bool hungarian) {
    if (!found_ || hungarian == installed_) return;
    installed_ = hungarian ? QCoreApplication::installTranslator(&hu_)
                           : !QCoreApplication::removeTranslator(&hu_);
}

}  // namespace gombocok
