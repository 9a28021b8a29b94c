// The stochastic screen where the user's locale writes decimal commas: its
// number boxes take the comma as the decimal point, refuse what no number
// holds where it is typed, and never empty themselves.
#include <QLocale>

#include "form3_driver.h"

using namespace valmora;
using valmora::testing::Form3Driver;

class Form3LocaleTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void numberBoxesTakeTheLocalesComma() {
        struct Case {
            QLocale locale;
            const char* typed;
            const char* kept;  // the box's text after typing
            double mean;
            int beeps;
        };
        const Case cases[] = {
            {QLocale(QLocale::German, QLocale::Germany), "400,5", "400,5", 400.5, 0},
            {QLocale(QLocale::German, QLocale::Germany), "400,5,", "400,5", 400.5, 1},
            {QLocale(QLocale::German, QLocale::Germany), "400.5", "400.5", 400.5, 0},
            {QLocale(QLocale::French, QLocale::France), "400,5x", "400,5", 400.5, 1},
            {QLocale::c(), "400,5", "4005", 4005, 1},
        };
        for (const Case& c : cases) {
            QLocale::setDefault(c.locale);
            Form3Driver d;
            valmora::testing::Click(d.f->Option2);  // normal
            valmora::testing::Retype(d.f->Text3, c.typed);
            QCOMPARE(d.f->Text3->text(), QString(c.kept));
            QCOMPARE(d.h.ws.DistParam1, c.mean);
            QCOMPARE(d.h.dialogs.beeps, c.beeps);
            QVERIFY(d.h.dialogs.shown.empty());
        }
    }

    void theInvestmentAndItsLabelInTheLocale() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Form3Driver d;
        valmora::testing::Retype(d.f->Text1, "1000,5");
        QCOMPARE(d.h.ws.SimInvestment, 1000.5);
        QCOMPARE(d.f->Label13->text(), QString("Initial investment = 1000,5"));
        QCOMPARE(d.f->MSHFlexGrid1->Shown(1, 0), QString("-1000,5"));
        QCOMPARE(d.f->Text9->text(), QString("0,01"));  // the increment's default
    }
};

QTEST_MAIN(Form3LocaleTest)
#include "form3_locale_test.moc"
