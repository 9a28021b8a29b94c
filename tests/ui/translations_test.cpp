// Qt's own texts follow the user's language.
#include <QCoreApplication>
#include <QMessageBox>
#include <QTest>

#include "ui/translations.h"

using namespace valmora;

class TranslationsTest : public QObject {
    Q_OBJECT

private slots:
    void germanDialogsSpeakGerman() {
        QVERIFY(!ui::InstallQtTranslations(*QCoreApplication::instance(), QLocale(QLocale::English)));
        QVERIFY(ui::InstallQtTranslations(*QCoreApplication::instance(), QLocale(QLocale::German, QLocale::Germany)));
        // A standard button and a file dialog label, as Qt names them.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QString("&Ja"));
        QCOMPARE(QCoreApplication::translate("QFileDialog", "File &name:"), QString("Datei&name:"));
    }
};

QTEST_MAIN(TranslationsTest)
#include "translations_test.moc"
