// The deterministic screen where the user's locale writes decimal commas: the
// comma key types the decimal point, never a digit run-on or an empty box,
// and numbers are shown with the comma.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include "form1_driver.h"

using namespace valmora;
using valmora::testing::Form1Driver;

class Form1LocaleTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void theCommaIsTheDecimalPointWhereTheLocaleSaysSo() {
        struct Case {
            QLocale locale;
            bool comma;  // the locale's decimal separator is a comma
        };
        const Case cases[] = {
            {QLocale::c(), false},
            {QLocale(QLocale::German, QLocale::Germany), true},
            {QLocale(QLocale::French, QLocale::France), true},
        };
        for (const Case& c : cases) {
            QLocale::setDefault(c.locale);
            Form1Driver d;
            ui::Grid* g = d.f->MSHFlexGrid1;
            Form1Driver::ClickCell(g, 1, 1);
            QTest::keyClicks(g, "500,5");
            // The keypad's decimal key sends the comma on such keyboards.
            Form1Driver::ClickCell(g, 1, 1);
            QTest::keyClicks(g, "2");
            QTest::keyClick(g, Qt::Key_Comma, Qt::KeypadModifier);
            QTest::keyClicks(g, "5,");  // a second separator is refused
            valmora::testing::Retype(d.f->Text1, "1000,5,");
            if (c.comma) {
                QCOMPARE(g->Text(1, 1), QString("2.5"));
                QCOMPARE(g->Shown(1, 1), QString("2,5"));
                QCOMPARE(d.f->Text1->text(), QString("1000,5"));
                QCOMPARE(g->Text(1, 0), QString("-1000.5"));
                QCOMPARE(g->Shown(1, 0), QString("-1000,5"));
                QCOMPARE(d.h.dialogs.beeps, 2);  // the second commas
                // A point typed is a decimal point too.
                valmora::testing::Retype(d.f->Text1, "750.25");
                QCOMPARE(g->Text(1, 0), QString("-750.25"));
            } else {
                // A comma is no number's part here: refused where typed, the
                // digits kept, never read as another number silently.
                QCOMPARE(g->Text(1, 1), QString("25"));
                QCOMPARE(g->Shown(1, 1), QString("25"));
                QCOMPARE(d.f->Text1->text(), QString("10005"));
                QCOMPARE(d.h.dialogs.beeps, 5);
            }
        }
    }

    void searchBoxesAndResultsUseTheLocalesSeparator() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Form1Driver d;
        QVERIFY(QTest::qWaitForWindowActive(d.f));
        // The defaults shown with the comma; a comma typed is read.
        QCOMPARE(d.f->Text4->text(), QString("0,01"));
        valmora::testing::Retype(d.f->Text4, "0,02");
        QCOMPARE(d.h.ws.Increment, 0.02);
        QVERIFY(d.h.dialogs.shown.empty());
        // -1000, 3600, -4310, 1716: rates 0.1, 0.2 and 0.3, shown with commas,
        // and copied as shown.
        d.Evaluate("1000", {"3600", "-4310", "1716"});
        ui::Grid* irrs = d.f->MSHFlexGrid2;
        QStringList shown;
        for (int r = 1; r < irrs->Rows(); ++r) {
            QVERIFY(irrs->Text(r, 1).contains('.'));
            shown << irrs->Shown(r, 1);
        }
        shown.sort();
        QCOMPARE(shown, QStringList({"0,1", "0,2", "0,3"}));
        // A screen reader reads the rate as shown.
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(irrs);
        QVERIFY(table && table->tableInterface());
        QAccessibleInterface* cell = table->tableInterface()->cellAt(1, 1);
        QVERIFY(cell);
        QCOMPARE(cell->text(QAccessible::Name), irrs->Shown(1, 1));
        QVERIFY(!d.f->Text6->text().contains('.'));  // the bound
        irrs->setFocus();
        QTest::keyClick(irrs, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(QApplication::clipboard()->text().contains("\t0,1\n"));
        // A note on a root the scan did not list gives its rate with the comma,
        // in the message and on the line under the search.
        Form1Driver t;
        t.h.dialogs.shown.clear();
        t.Evaluate("100", {"220", "-121"});
        QVERIFY2(t.h.dialogs.Texts().join("|").contains("rate 0,1."), qPrintable(t.h.dialogs.Texts().join("|")));
        QVERIFY2(t.f->Label15->text().contains("0,1"), qPrintable(t.f->Label15->text()));
    }

    void aSpreadsheetFileOpensWithItsDecimalCommas() {
        // As a German spreadsheet saves a column: a byte order mark, a
        // heading, semicolons, CRLF and decimal commas.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QTemporaryDir dir;
        const QString path = dir.filePath("reihe.csv");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\xEF\xBB\xBFZahlung;\r\n-1.000,5;\r\n3600;\r\n-4310;\r\n1716,25;\r\n");
        file.close();
        Form1Driver d;
        d.h.dialogs.fileNames = {path};
        valmora::testing::Click(d.f->Command6);
        QVERIFY2(d.h.dialogs.shown.empty(), qPrintable(d.h.dialogs.Texts().join("|")));
        QCOMPARE(valmora::testing::GridRow(d.f->MSHFlexGrid1, 1), QStringList({"-1000.5", "3600", "-4310", "1716.25"}));
        QCOMPARE(d.f->Text1->text(), QString("1000,5"));
    }

    void pasteReadsTheLocalesDecimalCommas() {
        struct Case {
            const char* copied;
            QStringList payments;
        };
        const Case cases[] = {
            {"500,5\t-100,25", {"500.5", "-100.25"}},
            {"1.000,5\n2.000\n", {"1000.5", "2000"}},
            {"1716.5\n-3.25\n", {"1716.5", "-3.25"}},  // written with points: read as such
            {"1.000\n2.500\n", {""}},                  // 1000 or 1? refused, nothing changed
        };
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        for (const Case& c : cases) {
            Form1Driver d;
            QVERIFY(QTest::qWaitForWindowActive(d.f));
            QApplication::clipboard()->setText(c.copied);
            Form1Driver::ClickCell(d.f->MSHFlexGrid1, 1, 1);
            QTest::keyClick(d.f->MSHFlexGrid1, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(valmora::testing::GridRow(d.f->MSHFlexGrid1, 1), QStringList({"-1000"}) + c.payments);
            if (c.payments == QStringList({""}))
                QVERIFY2(d.h.dialogs.Texts().join("|").contains("thousands points or decimal points"),
                         qPrintable(d.h.dialogs.Texts().join("|")));
            else QVERIFY(d.h.dialogs.shown.empty());
        }
    }
};

QTEST_MAIN(Form1LocaleTest)
#include "form1_locale_test.moc"
