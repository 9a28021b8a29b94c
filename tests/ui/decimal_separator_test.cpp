// Numbers as the user's locale writes them: what is shown, what is read.
#include <QLocale>
#include <QTest>

#include "ui/decimal_separator.h"

using namespace valmora::ui;

class DecimalSeparatorTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void numbersAreShownAndReadInTheLocale() {
        struct Case {
            const char* program;  // the program's own text
            const char* shown;    // InLocale where the locale writes decimal commas
        };
        const Case cases[] = {
            {"0.1", "0,1"},       {"-1000.5", "-1000,5"}, {"1.5E-08", "1,5E-08"}, {".00000001", ",00000001"},
            {"1E+20", "1E+20"},   {"1000", "1000"},       {"-.", "-,"},           {"1.5e", "1,5e"},
            {"IRR(s)", "IRR(s)"}, {"1.2.3", "1.2.3"},     {"0.3 %", "0.3 %"},     {"", ""},
        };
        for (const QLocale& locale :
             {QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::French, QLocale::France)}) {
            QLocale::setDefault(locale);
            QVERIFY(DecimalComma());
            for (const Case& c : cases) {
                QCOMPARE(InLocale(QString(c.program)), QString(c.shown));
                // What is shown reads back as the program's text.
                if (QString(c.program).count('.') <= 1)
                    QCOMPARE(FromLocale(InLocale(QString(c.program))), QString(c.program));
            }
            QCOMPARE(FromLocale("1.5"), QString("1.5"));  // a point typed stays a point
        }
        QLocale::setDefault(QLocale::c());
        QVERIFY(!DecimalComma());
        for (const Case& c : cases) QCOMPARE(InLocale(QString(c.program)), QString(c.program));
        QCOMPARE(FromLocale("1,5"), QString("1,5"));  // a comma is no decimal point here
    }

    void sentencesKeepTheirListsReadable() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const struct {
            const char* program;
            const char* shown;
        } cases[] = {
            {"worth -0.25 today: reject.", "worth -0,25 today: reject."},
            {"at the rates 0.1, 0.2 and 0.3.", "at the rates 0,1; 0,2 and 0,3."},
            {"Rate 0.15, NPV -0.25", "Rate 0,15; NPV -0,25"},
            {"valmora-cli 1.1.4 reads it", "valmora-cli 1.1.4 reads it"},
            {"1.5E-08 and 2.5.", "1,5E-08 and 2,5."},
            {"no number here, none.", "no number here, none."},
        };
        for (const auto& c : cases) QCOMPARE(NumbersInLocale(QString(c.program)), QString(c.shown));
        QLocale::setDefault(QLocale::c());
        for (const auto& c : cases) QCOMPARE(NumbersInLocale(QString(c.program)), QString(c.program));
    }
};

QTEST_MAIN(DecimalSeparatorTest)
#include "decimal_separator_test.moc"
