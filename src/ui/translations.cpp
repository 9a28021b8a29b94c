#include "ui/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace valmora::ui {

bool InstallQtTranslations(QCoreApplication& app, const QLocale& locale) {
    // English needs none; Qt's texts are written in it.
    if (locale.language() == QLocale::English || locale.language() == QLocale::C) return false;
    auto* translator = new QTranslator(&app);
    // "qt_" loads every Qt module's texts the system has for the language.
    if (!translator->load(locale, "qt", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

}  // namespace valmora::ui
