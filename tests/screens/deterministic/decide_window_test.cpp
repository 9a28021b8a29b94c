// "Decide...": the series judged at a hurdle rate, every IRR's verdict, and
// the hurdle rate on the NPV profile.
#include <QLabel>
#include <QLocale>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtCharts/QLineSeries>

#include "core/decision/decision.h"
#include "core/solver/number_format.h"
#include "form1_driver.h"
#include "screens/deterministic/decide_window.h"
#include "screens/deterministic/npv_profile_window.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::Form1Driver;

namespace {

QStringList Column(const QTableWidget* table, int col) {
    QStringList cells;
    for (int r = 0; r < table->rowCount(); ++r) cells << table->item(r, col)->text();
    return cells;
}

}  // namespace

class DecideWindowTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void everyIrrGivesTheVerdictOfNpv() {
        Form1Driver d;
        Form1* f = d.f;
        QVERIFY(!f->Command9->isEnabled());
        d.Evaluate("1000", {"3600", "-4310", "1716"});  // rates 0.3, 0.2, 0.1
        QVERIFY(f->Command9->isEnabled());
        Click(f->Command9);
        auto* w = f->findChild<DecideWindow*>();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->RatesNote->text(), QString("Rates are per period, as the IRRs are listed."));
        QVERIFY(w->Irrs->rowCount() == 0);

        struct Case {
            const char* hurdle;
            const char* verdict;
            QStringList streams;
        };
        const Case cases[] = {
            {"0.15", "reject", {"net borrowing", "net borrowing", "net investment"}},
            {"0.25", "accept", {"net investment", "net borrowing", "net investment"}},
        };
        const std::vector<double> flows = {-1000, 3600, -4310, 1716};
        for (const Case& c : cases) {
            valmora::testing::Retype(w->HurdleBox, c.hurdle);
            QCOMPARE(Column(w->Irrs, 0), QStringList({"0.3", "0.2", "0.1"}));
            QCOMPARE(Column(w->Irrs, 3), QStringList({c.verdict, c.verdict, c.verdict}));
            QVERIFY2(w->NpvValue->text().endsWith(QString("(") + c.verdict + ")"), qPrintable(w->NpvValue->text()));
            const double r = QString(c.hurdle).toDouble();
            const Decision expected = Decide(flows, std::vector<double>{0.3, 0.2, 0.1}, DecisionRates{r, r, r, 1});
            QCOMPARE(w->Sentence->text(), QString::fromStdString(DecisionSentence(expected)));
            QVERIFY(!w->MirrValue->text().isEmpty());
            QCOMPARE(w->PaybackValue->text(), QString("1"));
        }
        // The stream kinds at 15 %: read as the returns on their own streams.
        valmora::testing::Retype(w->HurdleBox, "0.15");
        QCOMPARE(Column(w->Irrs, 2), cases[0].streams);
    }

    void aGermanDesktopReadsAndShowsDecimalCommas() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Form1Driver d;
        d.Evaluate("1000", {"3600", "-4310", "1716"});
        Click(d.f->Command9);
        auto* w = d.f->findChild<DecideWindow*>();
        QVERIFY(w);
        valmora::testing::Retype(w->HurdleBox, "0,15");
        QCOMPARE(Column(w->Irrs, 0), QStringList({"0,3", "0,2", "0,1"}));
        QCOMPARE(Column(w->Irrs, 3), QStringList({"reject", "reject", "reject"}));
        QVERIFY2(w->NpvValue->text().startsWith("-0,2"), qPrintable(w->NpvValue->text()));
        QVERIFY2(w->Sentence->text().contains("-0,25") && !w->Sentence->text().contains("0.2"),
                 qPrintable(w->Sentence->text()));
    }

    void financeAndReinvestmentRatesDefaultToTheHurdle() {
        Form1Driver d;
        d.Evaluate("1000", {"500", "500", "500"});
        Click(d.f->Command9);
        auto* w = d.f->findChild<DecideWindow*>();
        valmora::testing::Retype(w->HurdleBox, "0.1");
        const QString atHurdle = w->MirrValue->text();
        const std::vector<double> flows = {-1000, 500, 500, 500};
        QCOMPARE(atHurdle, QString::fromStdString(FormatRate(*Mirr(flows, DecisionRates{0.1, 0.1, 0.1, 1}).rate)));
        valmora::testing::Retype(w->ReinvestBox, "0.05");
        QCOMPARE(w->MirrValue->text(),
                 QString::fromStdString(FormatRate(*Mirr(flows, DecisionRates{0.1, 0.1, 0.05, 1}).rate)));
        // The start of a number is asked to be completed, never read as 0.
        valmora::testing::Retype(w->ReinvestBox, "-");
        QCOMPARE(w->MirrValue->text(), QString());
        QVERIFY(w->Sentence->text().startsWith("Complete the rate typed"));
        // A rate of -100 % or below is refused with the reason.
        valmora::testing::Retype(w->ReinvestBox, "");
        valmora::testing::Retype(w->HurdleBox, "-1");
        QVERIFY(w->Irrs->rowCount() == 0);
        QVERIFY(!w->Sentence->text().isEmpty());
    }

    void theHurdleIsMarkedOnTheNpvProfile() {
        Form1Driver d;
        Form1* f = d.f;
        d.Evaluate("1000", {"3600", "-4310", "1716"});
        Click(f->Command5);
        auto* profile = f->findChild<NpvProfileWindow*>();
        QVERIFY(profile && !profile->HurdleLine);
        Click(f->Command9);
        auto* w = f->findChild<DecideWindow*>();
        valmora::testing::Retype(w->HurdleBox, "0.15");
        QVERIFY(profile->HurdleLine);
        QCOMPARE(profile->HurdleLine->name(), QString("Hurdle rate = 0.15"));
        QCOMPARE(profile->HurdleLine->at(0).x(), 0.15);
        // Closing the decision takes the mark away; Esc closes it.
        QTest::keyClick(w->HurdleBox, Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QVERIFY(!profile->HurdleLine);
    }

    void theWindowFollowsTheSeriesOnScreen() {
        Form1Driver d;
        Form1* f = d.f;
        d.Evaluate("1000", {"3600", "-4310", "1716"});
        Click(f->Command9);
        auto* w = f->findChild<DecideWindow*>();
        valmora::testing::Retype(w->HurdleBox, "0.15");
        // A new search redraws it; a changed payment closes it.
        Click(f->Command1);
        QVERIFY(!w->isVisible());
        QVERIFY(!f->Command9->isEnabled());
        Click(f->Command3);
        Click(f->Command9);
        QVERIFY(w->isVisible());
        QCOMPARE(w->Irrs->rowCount(), 3);
        Form1Driver::ClickCell(f->MSHFlexGrid1, 1, 1);
        QTest::keyClicks(f->MSHFlexGrid1, "3");
        QVERIFY(!w->isVisible());
        // Annual rates with 12 periods a year, as the IRRs are listed.
        Click(f->Option2);
        valmora::testing::Retype(f->Text7, "12");
        d.Evaluate("1000", {"3600", "-4310", "1716"});
        Click(f->Command9);
        QCOMPARE(w->RatesNote->text(),
                 QString("Rates are annual (API), with 12 periods a year, as the IRRs are listed."));
        QCOMPARE(Column(w->Irrs, 0).size(), 3);
    }
};

QTEST_MAIN(DecideWindowTest)
#include "decide_window_test.moc"
