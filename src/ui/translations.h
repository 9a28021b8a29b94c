// Qt's own texts (the file dialogs' labels, the message boxes' buttons, the
// context menus) in the language of the user's locale, so that the standard
// dialogs speak one language with the dates and sizes they show.
#pragma once

#include <QLocale>

class QCoreApplication;

namespace valmora::ui {

// Loads Qt's translations for `locale` from Qt's translations folder;
// false when there are none for it (the texts stay English).
bool InstallQtTranslations(QCoreApplication& app, const QLocale& locale = QLocale::system());

}  // namespace valmora::ui
