#include "ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tervane {

void applyQtTranslations(UiLanguage language) {
    static QTranslator* qtRussian = nullptr;
    if (language == UiLanguage::Russian) {
        if (!qtRussian) {
            qtRussian = new QTranslator(QCoreApplication::instance());
            if (!qtRussian->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
                delete qtRussian;
                qtRussian = nullptr;
                return;
            }
        }
        QCoreApplication::installTranslator(qtRussian);
    } else if (qtRussian) {
        QCoreApplication::removeTranslator(qtRussian);
    }
}

} // namespace tervane
