// The deterministic screen's computation steps, validation and exits.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "form1_driver.h"
#include "screens/deterministic/npv_profile_window.h"
#include "screens/shell/form2.h"
#include "ui/controls.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::Form1Driver;

class Form1ResultsTest : public QObject {
    Q_OBJECT

private slots:
    void startExampleEndToEnd() {
        Form1Driver d;
        Form1* f = d.f;
        d.TypeInvestment("1000");
        d.EnterPayments({"500", "500", "500"});
        Click(f->Command1);
        QCOMPARE(f->Text3->text(), QString("1"));
        QCOMPARE(f->Text6->text(), QString("1"));
        QCOMPARE(valmora::testing::GridRow(f->MSHFlexGrid3, 1), QStringList({"500", "1000", "1500"}));
        QVERIFY(f->Command3->isEnabled());
        QCOMPARE(valmora::testing::FocusIn(f), f->Command3);

        Click(f->Command3);
        QCOMPARE(valmora::testing::GridColumn(f->MSHFlexGrid2, 1), QStringList({"Value", "0.23375"}));
        QCOMPARE(valmora::testing::GridColumn(f->MSHFlexGrid2, 0), QStringList({" # ", "1"}));
        QVERIFY(!f->Command3->isEnabled());
        QVERIFY(f->MSHFlexGrid2->isEnabled());
        QVERIFY(f->Label8->isEnabled());
        QVERIFY(f->Label13->isVisible());

        Form1Driver::ClickCell(f->MSHFlexGrid2, 1, 1);
        QVERIFY(f->Label9->isEnabled() && f->Label10->isEnabled() && f->MSHFlexGrid4->isEnabled());
        QCOMPARE(valmora::testing::GridColumn(f->MSHFlexGrid4, 0), QStringList({"0.23375", "0", "1", "2", "3"}));
        QCOMPARE(valmora::testing::GridColumn(f->MSHFlexGrid4, 1),
                 QStringList({"PB(n)", "-1000.00", "-733.75", "-405.27", "0.00"}));
        QCOMPARE(f->Label14->text(), QString("Simple, pure investment"));
        QVERIFY(d.h.dialogs.shown.empty());
    }

    void mixedInvestment() {
        Form1Driver d;
        d.Evaluate("1000", {"1300", "-400", "200"});
        QCOMPARE(d.f->Text3->text(), QString("3"));
        QCOMPARE(d.f->Text6->text(), QString("2"));
        QCOMPARE(valmora::testing::GridRow(d.f->MSHFlexGrid3, 1), QStringList({"1300", "-800", "600"}));
        // The IRR grid is cut after the one rate found.
        QCOMPARE(valmora::testing::GridColumn(d.f->MSHFlexGrid2, 1), QStringList({"Value", "0.1017"}));
        Form1Driver::ClickCell(d.f->MSHFlexGrid2, 1, 0);
        QCOMPARE(valmora::testing::GridColumn(d.f->MSHFlexGrid4, 1),
                 QStringList({"PB(n)", "-1000.00", "198.30", "-181.54", "0.00"}));
        QCOMPARE(d.f->Label14->text(), QString("Nonsimple, mixed"));
    }

    void emptyPaymentIsMarked() {
        Form1Driver d;
        d.EnterPayments({"1", "2", "", "4", "5"});
        Click(d.f->Command1);
        QCOMPARE(d.h.dialogs.Texts(), QStringList({"Please fill payment(s)!"}));
        QCOMPARE(d.h.dialogs.shown[0].title, QString("Error!"));
        QCOMPARE(d.h.dialogs.beeps, 1);
        QCOMPARE(d.h.ws.SelCol, 3);
        ui::Grid* g = d.f->MSHFlexGrid1;
        QCOMPARE(g->Col(), 3);
        QCOMPARE(g->CellColor(1, 3), QColor(255, 255, 0));
        QCOMPARE(valmora::testing::FocusIn(d.f), static_cast<QWidget*>(g));
        QVERIFY(!d.f->Command3->isEnabled());
        QCOMPARE(d.f->Text3->text(), QString());
        // Typing into the marked cell takes the mark away.
        QTest::keyClicks(g, "3");
        QCOMPARE(g->CellColor(1, 3), QColor(255, 255, 255));
    }

    void searchParametersAreCheckedOnEveryKey() {
        Form1Driver d;
        Form1* f = d.f;
        const QString incrementMessage = "Used to find approximate root locations\rEnter a valid increment (e.g.:0.01)";
        const QString toleranceMessage =
            "Used by Newton's Method to find roots\rEnter a valid tolerance (e.g.:0.0000001)";
        struct Case {
            QLineEdit* box;
            const char* typed;
            QString message;
            const char* shown;
            double stored;
            double* in;
        };
        const Case cases[] = {
            {f->Text4, "0.05", "", "0.05", 0.05, &d.h.ws.Increment},
            {f->Text4, "0.5", "", "0.5", 0.5, &d.h.ws.Increment},
            {f->Text4, "5", incrementMessage, "0.01", 0.01, &d.h.ws.Increment},
            {f->Text4, "1", incrementMessage, "0.01", 0.01, &d.h.ws.Increment},
            {f->Text4, "a", incrementMessage, "0.01", 0.01, &d.h.ws.Increment},
            {f->Text5, "", toleranceMessage, "1E-08", 1e-08, &d.h.ws.Tolerance},
            {f->Text5, "0", "", "0", 0.0, &d.h.ws.Tolerance},
            {f->Text5, "0.001", "", "0.001", 0.001, &d.h.ws.Tolerance},
        };
        for (const Case& c : cases) {
            d.h.dialogs.shown.clear();
            valmora::testing::Retype(c.box, c.typed);
            QCOMPARE(c.box->text(), QString(c.shown));
            QCOMPARE(*c.in, c.stored);
            if (c.message.isEmpty()) {
                QVERIFY(d.h.dialogs.shown.empty());
            } else {
                QCOMPARE(d.h.dialogs.Texts(), QStringList({c.message}));
                QCOMPARE(d.h.dialogs.shown[0].title, QString("Error!"));
            }
        }
    }

    void refusedParameterIsReplacedByTheNextKey() {
        // After a refusal the default comes back selected, so what is typed
        // next replaces it instead of being added to it.
        struct Case {
            const char* name;
            bool tolerance;
            const char* typed;
            const char* shown;
            double stored;
            int refusals;
        };
        const Case cases[] = {
            {"exponent typed into the tolerance", true, "1e-9", "1E-08", 1e-08, 4},
            {"increment begun with a point", false, ".05", "0.01", 0.01, 2},
            {"a slip, then a good increment", false, "x0.5", "0.5", 0.5, 1},
            {"a slip, then a good tolerance", true, "-0.0001", "0.0001", 0.0001, 1},
        };
        for (const Case& c : cases) {
            Form1Driver d;
            QLineEdit* box = c.tolerance ? d.f->Text5 : d.f->Text4;
            QVERIFY(QTest::qWaitForWindowActive(d.f));
            ui::FocusAndSelectAll(box);
            QTest::keyClicks(box, c.typed);
            QCOMPARE(box->text(), QString(c.shown));
            QCOMPARE(c.tolerance ? d.h.ws.Tolerance : d.h.ws.Increment, c.stored);
            QVERIFY2(d.h.dialogs.shown.size() == size_t(c.refusals), c.name);
        }
    }

    void noCellLooksPickedBeforeAClick() {
        Form1Driver d;
        d.Evaluate("1000", {"3600", "-4310", "1716"});  // rates 0.3, 0.2 and 0.1
        ui::Grid* g = d.f->MSHFlexGrid2;
        const QColor white(255, 255, 255);
        const QColor blue(0, 0, 255);
        for (int r = 1; r <= 3; ++r) QCOMPARE(valmora::testing::CellBackground(g, r, 1), white);
        Form1Driver::ClickCell(g, 2, 1);
        QCOMPARE(valmora::testing::CellBackground(g, 2, 1), blue);
        QCOMPARE(valmora::testing::CellBackground(g, 3, 1), white);
        // Erased and disabled once a payment changes: no empty blue cell stays behind.
        Form1Driver::ClickCell(d.f->MSHFlexGrid1, 1, 1);
        QTest::keyClicks(d.f->MSHFlexGrid1, "3");
        QVERIFY(!g->isEnabled());
        for (int r = 1; r <= 3; ++r) QCOMPARE(valmora::testing::CellBackground(g, r, 1), white);
        // A new search starts with nothing picked again.
        QTest::keyClicks(d.f->MSHFlexGrid1, "600");
        Click(d.f->Command1);
        Click(d.f->Command3);
        for (int r = 1; r <= 3; ++r) QCOMPARE(valmora::testing::CellBackground(g, r, 1), white);
    }

    void noRateAfterAnEarlierSeriesLeavesNothingOfIt() {
        Form1Driver d;
        d.Evaluate("1000", {"1300", "-400", "200"});
        Form1Driver::ClickCell(d.f->MSHFlexGrid2, 1, 1);
        QCOMPARE(d.f->Label14->text(), QString("Nonsimple, mixed"));
        QVERIFY(d.f->Label13->isVisible());
        // All payments negative: no sign change, no rate.
        d.EnterPayments({"-1300", "-400", "-200"});
        Click(d.f->Command1);
        Click(d.f->Command3);
        QCOMPARE(d.h.dialogs.Texts(), QStringList({"No IRR was found in the searched range."}));
        QVERIFY(!d.f->Label13->isVisible());
        QCOMPARE(d.f->Label14->text(), QString("Investment Type"));
        QVERIFY(valmora::testing::GridColumn(d.f->MSHFlexGrid4, 1).join("").isEmpty());
        QVERIFY(!d.f->MSHFlexGrid2->isEnabled());
        // The payments are where something must change: the focus goes there.
        QCOMPARE(valmora::testing::FocusIn(d.f), static_cast<QWidget*>(d.f->MSHFlexGrid1));
    }

    void zeroIncrementIsRefusedAtTheSearch() {
        Form1Driver d;
        d.EnterPayments({"500", "500", "500"});
        Click(d.f->Command1);
        valmora::testing::Retype(d.f->Text4, "0");
        QCOMPARE(d.h.ws.Increment, 0.0);
        Click(d.f->Command3);
        QCOMPARE(d.h.dialogs.Texts(),
                 QStringList({"Used to find approximate root locations\rEnter a valid increment (e.g.:0.01)"}));
        QCOMPARE(d.f->Text4->text(), QString("0.01"));
        QCOMPARE(d.f->MSHFlexGrid2->Text(1, 1), QString());
        // The next search runs with the restored increment.
        Click(d.f->Command3);
        QCOMPARE(d.f->MSHFlexGrid2->Text(1, 1), QString("0.23375"));
    }

    void newSearchParametersNeedANewAnalysis() {
        Form1Driver d;
        d.Evaluate("1000", {"3600", "-4310", "1716"});  // rates 0.3, 0.2 and 0.1
        QCOMPARE(valmora::testing::GridColumn(d.f->MSHFlexGrid2, 1).mid(1).size(), 3);
        valmora::testing::Retype(d.f->Text4, "0.5");
        QVERIFY(!d.f->Command3->isEnabled());
        Click(d.f->Command1);
        Click(d.f->Command3);
        // One bracket now holds all the roots: one rate, none left over from before.
        QCOMPARE(d.f->MSHFlexGrid2->Rows(), 2);
    }

    void periodsPerYearGiveTheAnnualRate() {
        Form1Driver d;
        Form1* f = d.f;
        d.Evaluate("1000", {"500", "500", "500"});
        Click(f->Option2);
        QVERIFY(f->Text7->isEnabled() && f->UpDown2->isEnabled() && f->Label1->isEnabled());
        QCOMPARE(f->Label8->text(), QString("IRR(s) API"));
        valmora::testing::Retype(f->Text7, "12");
        QCOMPARE(d.h.ws.PeriodsPerYear, 12);
        QVERIFY(!f->Command3->isEnabled());
        QVERIFY(!f->MSHFlexGrid2->isEnabled());
        QCOMPARE(valmora::testing::GridRow(f->MSHFlexGrid3, 1), QStringList({"", "", ""}));
        Click(f->Command1);
        Click(f->Command3);
        QCOMPARE(f->MSHFlexGrid2->Text(1, 1), QString("2.80502"));
        Form1Driver::ClickCell(f->MSHFlexGrid2, 1, 1);
        QCOMPARE(f->MSHFlexGrid4->Text(3, 1), QString("-405.27"));  // balances per period

        // A bad period count is refused on the key that makes it bad, and the
        // last good count comes back.
        struct Case {
            const char* typed;
            const char* kept;
        };
        for (const Case& c : {Case{"0", "12"}, Case{"54", "5"}, Case{"1.5", "1"}, Case{"x", "12"}, Case{"", "12"}}) {
            valmora::testing::Retype(f->Text7, "12");
            d.h.dialogs.shown.clear();
            valmora::testing::Retype(f->Text7, c.typed);
            QCOMPARE(f->Text7->text(), QString(c.kept));
            QCOMPARE(d.h.ws.PeriodsPerYear, QString(c.kept).toInt());
            QCOMPARE(d.h.dialogs.Texts(), QStringList({"Enter a whole number of periods per year from 1 to 53"}));
        }
        valmora::testing::Retype(f->Text7, "12");
        QTest::mouseClick(f->UpDown2->UpButton(), Qt::LeftButton);
        QCOMPARE(f->Text7->text(), QString("13"));
        QCOMPARE(d.h.ws.PeriodsPerYear, 13);
        // Back to the straight IRR: one period.
        Click(f->Option1);
        QCOMPARE(f->Text7->text(), QString("1"));
        QCOMPARE(d.h.ws.PeriodsPerYear, 1);
        QVERIFY(!f->Text7->isEnabled());
        QCOMPARE(f->Label8->text(), QString("IRR(s)"));
    }

    void changingThePaymentsCountForgetsTheRates() {
        Form1Driver d;
        d.Evaluate("1000", {"500", "500", "500"});
        d.SpinPayments(4);
        QVERIFY(!d.f->MSHFlexGrid2->isEnabled());
        QVERIFY(!d.f->Command3->isEnabled());
        // The rate goes; the headings and row numbers stay.
        QCOMPARE(valmora::testing::GridRow(d.f->MSHFlexGrid2, 0), QStringList({" # ", "Value"}));
        QCOMPARE(valmora::testing::GridRow(d.f->MSHFlexGrid2, 1), QStringList({"1", ""}));
    }

    // Every way of changing an input erases the rates, the balances, the
    // classification and the prompt to pick, disables "NPV Profile..." and
    // closes its window, whatever the user had looked at.
    void everyInputChangeErasesTheResults_data() {
        QTest::addColumn<QString>("path");
        for (const char* path : {"key in the current cell", "backspace in the current cell", "delete in a payment",
                                 "spinner", "investment", "periods per year", "payments entered again"})
            QTest::newRow(path) << QString(path);
    }
    void everyInputChangeErasesTheResults() {
        QFETCH(QString, path);
        Form1Driver d;
        Form1* f = d.f;
        d.Evaluate("1000", {"3600", "-4310", "1716"});
        QCOMPARE(valmora::testing::GridColumn(f->MSHFlexGrid2, 1), QStringList({"Value", "0.3", "0.2", "0.1"}));
        Form1Driver::ClickCell(f->MSHFlexGrid2, 1, 1);
        QCOMPARE(f->Label14->text(), QString("Nonsimple, mixed"));
        Click(f->Command5);
        NpvProfileWindow* window = f->findChild<NpvProfileWindow*>();
        QVERIFY(window && window->isVisible());

        if (path == "key in the current cell" || path == "backspace in the current cell") {
            // The cursor is still on the last payment, as after Tab into the grid.
            f->MSHFlexGrid1->setFocus();
            QCOMPARE(f->MSHFlexGrid1->Col(), 3);
            QTest::keyClick(f->MSHFlexGrid1, path.startsWith("key") ? Qt::Key_0 : Qt::Key_Backspace);
            // A key replaces the number entered with Enter; Backspace edits it.
            QCOMPARE(f->MSHFlexGrid1->Text(1, 3), QString(path.startsWith("key") ? "0" : "171"));
        } else if (path == "delete in a payment") {
            Form1Driver::ClickCell(f->MSHFlexGrid1, 1, 2);
            QTest::keyClick(f->MSHFlexGrid1, Qt::Key_Delete);
        } else if (path == "spinner") {
            d.SpinPayments(4);
        } else if (path == "investment") {
            d.TypeInvestment("2000");
        } else if (path == "periods per year") {
            Click(f->Option2);
            f->Text7->selectAll();
            QTest::keyClicks(f->Text7, "12");
        } else {
            Click(f->Command1);
            QVERIFY(f->Command3->isEnabled());
        }

        for (int r = 1; r < f->MSHFlexGrid2->Rows(); ++r) QCOMPARE(f->MSHFlexGrid2->Text(r, 1), QString());
        QVERIFY(!f->MSHFlexGrid2->isEnabled());
        QCOMPARE(valmora::testing::GridColumn(f->MSHFlexGrid4, 1).join(""), QString());
        QCOMPARE(f->Label14->text(), QString("Investment Type"));
        QVERIFY(!f->Label13->isVisible());
        // A new analysis is drawn at once, without the old rates; any other
        // change closes the window.
        const bool again = path == "payments entered again";
        QCOMPARE(f->Command5->isEnabled(), again);
        QCOMPARE(window->isVisible(), again);
        if (again) QVERIFY(window->IrrMarks.empty());
    }

    void failedAnalysisLeavesNothingToSearch() {
        Form1Driver d;
        d.Evaluate("1000", {"500"});
        Form1Driver::ClickCell(d.f->MSHFlexGrid1, 1, 1);
        QTest::keyClicks(d.f->MSHFlexGrid1, ".1");
        Click(d.f->Command1);
        QVERIFY(d.f->Command3->isEnabled());
        // An investment of 1E+308 against a payment of 0.1 has no whole-number bound.
        d.f->Text1->selectAll();
        d.f->Text1->insert("1e308");  // pasted: "1e" alone is no number
        Click(d.f->Command1);
        QCOMPARE(d.h.dialogs.Texts(),
                 QStringList({"The payments differ too much in size: no upper bound on the roots can be found."}));
        QCOMPARE(d.h.dialogs.shown[0].title, QString("Error!"));
        QVERIFY(!d.f->Command3->isEnabled());
        QVERIFY(!d.f->MSHFlexGrid2->isEnabled());
        QCOMPARE(d.f->MSHFlexGrid2->Text(1, 1), QString());
    }

    void noRateToPick() {
        Form1Driver d;
        d.Evaluate("1000", {"-500", "-500"});
        QCOMPARE(d.f->Text3->text(), QString("0"));
        QCOMPARE(d.f->MSHFlexGrid2->Rows(), 1);
        // Said by the search itself; there is nothing to pick.
        QCOMPARE(d.h.dialogs.Texts(), QStringList({"No IRR was found in the searched range."}));
        QVERIFY(!d.f->Label13->isVisible());
        QVERIFY(!d.f->MSHFlexGrid2->isEnabled());
        QTest::mouseClick(d.f->MSHFlexGrid2->viewport(), Qt::LeftButton);
        QCOMPARE(d.h.dialogs.shown.size(), size_t(1));
        QVERIFY(!d.f->MSHFlexGrid4->isEnabled());
        QCOMPARE(d.f->Label14->text(), QString("Investment Type"));
    }

    void unfinishedSearchIsReported() {
        Form1Driver d;
        // An increment far below the root's x: the grid stalls before reaching it.
        d.TypeInvestment("1000");
        d.EnterPayments({"1100"});
        Click(d.f->Command1);
        valmora::testing::Retype(d.f->Text4, "0.000000000000000000001");
        Click(d.f->Command3);
        QCOMPARE(d.h.dialogs.shown.size(), size_t(1));
        QVERIFY(d.h.dialogs.shown[0].text.startsWith(
            "No IRR was found in the searched range.\rThe search stopped at x = "));
        QVERIFY(d.h.dialogs.shown[0].text.endsWith(
            "were not searched.\r1 root lies between the rates 0.0 and 65535.0, beyond where the search stopped."
            "\rThe root the scan did not list lies at the rate 0.1."));
    }

    void aTouchingRootIsShownWithItsRate() {
        // F touches 0 at 10 % without changing sign: no increment lists it,
        // but its rate is said, and stays on screen after OK.
        Form1Driver d;
        d.Evaluate("100", {"220", "-121"});
        QCOMPARE(d.f->MSHFlexGrid2->Text(1, 1), QString());
        QCOMPARE(d.h.dialogs.shown.size(), size_t(1));
        QVERIFY(d.h.dialogs.shown[0].text.endsWith("\rThe root the scan did not list lies at the rate 0.1."));
        QCOMPARE(d.f->Label15->text(), QString("The root the scan did not list lies at the rate 0.1."));
        // Gone with the series it belongs to.
        Form1Driver::ClickCell(d.f->MSHFlexGrid1, 1, 2);
        QTest::keyClicks(d.f->MSHFlexGrid1, "-120");
        QCOMPARE(d.f->Label15->text(), QString());
        QCOMPARE(d.f->Label15->toolTip(), QString());
    }

    void missedRootsAreReportedAfterTheListedOnes() {
        Form1Driver d;
        // Roots x = 0.5 and 0.505 share one grid step; x = 2 is listed.
        d.Evaluate("505", {"2262.5", "-3005", "1000"});
        QCOMPARE(d.f->MSHFlexGrid2->Rows(), 2);
        QCOMPARE(d.f->MSHFlexGrid2->Text(1, 1), QString("-0.5"));
        const QString missed =
            "The search missed 2 roots between the rates 0.96078 and 1.04082: an increment of 0.0007 would separate "
            "them.";
        const QString rates = "The 2 roots the scan did not list lie at the rates 1.0 and 0.9802.";
        QCOMPARE(d.h.dialogs.Texts(), QStringList({missed + "\r" + rates}));
        // The rates stay in view after OK, every note in the line's tool tip.
        QVERIFY(d.f->Label15->isVisible());
        QCOMPARE(d.f->Label15->text(), rates);
        QCOMPARE(d.f->Label15->toolTip(), missed + "\n" + rates);
        // The rate list stays the scan's, ready to pick from.
        QVERIFY(d.f->MSHFlexGrid2->isEnabled());
        QCOMPARE(valmora::testing::FocusIn(d.f), static_cast<QWidget*>(d.f->MSHFlexGrid2));

        // The suggested increment lists all three, and says nothing more.
        d.h.dialogs.shown.clear();
        Click(d.f->Command1);
        valmora::testing::Retype(d.f->Text4, "0.0007");
        Click(d.f->Command3);
        QCOMPARE(d.h.dialogs.Texts(), QStringList());
        QCOMPARE(d.f->Label15->text(), QString());
        QCOMPARE(d.f->MSHFlexGrid2->Rows(), 4);
        QCOMPARE(d.f->MSHFlexGrid2->Text(1, 1), QString("1.0"));
        QCOMPARE(d.f->MSHFlexGrid2->Text(2, 1), QString("0.9802"));
        QCOMPARE(d.f->MSHFlexGrid2->Text(3, 1), QString("-0.5"));
    }

    void aRootWithNoFiniteRateIsCountedNotListed() {
        Form1Driver d;
        // The root x = 1E-600 rounds to 0: its rate is no number. Typed in
        // full, as the boxes take digits and a point only.
        d.Evaluate("0." + QString(299, '0') + "1", {"1" + QString(300, '0')});
        QCOMPARE(d.f->MSHFlexGrid2->Text(1, 1), QString());
        QCOMPARE(d.h.dialogs.Texts(),
                 QStringList({"No IRR was found in the searched range.\r1 root lies so near x = 0 that its rate is "
                              "too large for a number (x rounds to 0): it is not listed."}));
    }

    void exitAsksTwice() {
        {
            Form1Driver d;
            d.h.dialogs.answers = {false};
            Click(d.f->Command2);
            QCOMPARE(d.h.dialogs.Texts(), QStringList({"Sure you want to exit this deterministic evaluation?"}));
            QCOMPARE(d.h.dialogs.shown[0].title, QString("Confirm"));
            QVERIFY(d.h.Visible(ScreenId::Form1));
            QVERIFY(!d.h.dialogs.ended);
        }
        {
            Form1Driver d;
            d.h.dialogs.answers = {true, false};
            Click(d.f->Command2);
            QCOMPARE(d.h.dialogs.Texts(), QStringList({"Sure you want to exit this deterministic evaluation?",
                                                       "Want a stochastic simulation?"}));
            QVERIFY(d.h.dialogs.ended);
        }
    }

    void backReturnsToTheStartScreen() {
        for (bool byFrame : {false, true}) {
            Form1Driver d;
            Form2& start = d.h.screens.Get<Form2>();
            start.RevealModeChoice();
            if (byFrame) d.f->close();
            else Click(d.f->Command4);
            d.h.Settle();
            QVERIFY(!d.h.screens.IsLoaded(ScreenId::Form1));
            QVERIFY(start.isVisible());
            QVERIFY(start.Frame1->isVisible());
            QVERIFY(!start.Option1->isChecked() && !start.Option2->isChecked());
            QCOMPARE(valmora::testing::FocusIn(&start), start.Command2);
            QVERIFY(!d.h.dialogs.ended);
            // The same mode can be chosen again at once, and starts afresh.
            Click(start.Option1);
            QVERIFY(d.h.Visible(ScreenId::Form1));
            QVERIFY(!start.isVisible());
            QCOMPARE(d.h.screens.Find<Form1>()->Text1->text(), QString("1000"));
        }
    }
};

QTEST_MAIN(Form1ResultsTest)
#include "form1_results_test.moc"
