// The deterministic screen at load and while the payments are typed.
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <functional>

#include "form1_driver.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::Form1Driver;

class Form1EntryTest : public QObject {
    Q_OBJECT

private slots:
    void loadsWithItsDefaults() {
        Form1Driver d;
        Form1* f = d.f;
        QCOMPARE(f->windowTitle(), QString("IRR - Deterministic"));
        QCOMPARE(valmora::testing::GridRow(f->MSHFlexGrid1, 0), QStringList({"0", "1"}));
        QCOMPARE(valmora::testing::GridRow(f->MSHFlexGrid1, 1), QStringList({"-1000", ""}));
        QCOMPARE(f->Text1->selectedText(), QString("1000"));
        QCOMPARE(valmora::testing::FocusIn(f), f->Text1);
        QCOMPARE(f->Text5->text(), QString(".00000001"));
        QCOMPARE(d.h.ws.Tolerance, 1e-07);
        QCOMPARE(d.h.ws.Increment, 0.01);
        QCOMPARE(d.h.ws.PeriodsPerYear, 1);
        QVERIFY(f->Option1->isChecked());
        QCOMPARE(f->Label8->text(), QString("IRR(s)"));
        QCOMPARE(valmora::testing::GridRow(f->MSHFlexGrid2, 0), QStringList({" # ", "Value"}));
        QCOMPARE(valmora::testing::GridRow(f->MSHFlexGrid3, 0), QStringList({"0"}));
        // The step-by-step enabling.
        QVERIFY(f->Command1->isEnabled());
        for (QWidget* w : std::initializer_list<QWidget*>{f->Command3, f->MSHFlexGrid2, f->Label8, f->Label9,
                                                          f->Label10, f->MSHFlexGrid4, f->Label1, f->Text7, f->UpDown2,
                                                          f->Text2, f->Text3, f->Text6})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName() + " " + w->metaObject()->className()));
        QVERIFY(!f->Label13->isVisible());
        QCOMPARE(
            f->Command1->text(),
            QString("Payments entered...  compute derivative, # of + real roots, and Upper Bound on + real roots"));
    }

    void investmentIsWrittenAsAnOutflowKeyByKey() {
        Form1Driver d;
        QStringList seen;
        QObject::connect(d.f->Text1, &QLineEdit::textChanged, [&] { seen << d.f->MSHFlexGrid1->Text(1, 0); });
        QTest::keyClicks(d.f->Text1, "1500");  // replaces the selected "1000"
        QCOMPARE(seen, QStringList({"-1", "-15", "-150", "-1500"}));
    }

    void badInvestmentEmptiesTheBox() {
        struct Case {
            const char* typed;
            const char* box;
            const char* cell;
        };
        const Case cases[] = {
            {"12a", "", "0"},    // a letter empties the box
            {"-", "", "0"},      // a lone minus is not a number
            {"1e3", "3", "-3"},  // "1e" on the way is not a number
        };
        for (const Case& c : cases) {
            Form1Driver d;
            valmora::testing::Retype(d.f->Text1, c.typed);
            QCOMPARE(d.f->Text1->text(), QString(c.box));
            QCOMPARE(d.f->MSHFlexGrid1->Text(1, 0), QString(c.cell));
        }
        // A negative investment: the sign in front of digits already typed.
        Form1Driver d;
        valmora::testing::Retype(d.f->Text1, "50");
        d.f->Text1->setCursorPosition(0);
        QTest::keyClick(d.f->Text1, '-');
        QCOMPARE(d.f->MSHFlexGrid1->Text(1, 0), QString("50"));
        // A pasted number too large to compute with is refused too.
        d.f->Text1->selectAll();
        d.f->Text1->insert(QString(400, '9'));
        QCOMPARE(d.f->Text1->text(), QString());
    }

    void spinningThePaymentsKeepsTheirTexts() {
        Form1Driver d;
        d.EnterPayments({"100", "200", "300"});
        QCOMPARE(d.f->Text2->text(), QString("3"));
        QCOMPARE(valmora::testing::GridRow(d.f->MSHFlexGrid1, 0), QStringList({"0", "1", "2", "3"}));
        QCOMPARE(valmora::testing::GridRow(d.f->MSHFlexGrid3, 0), QStringList({"0", "1", "2"}));
        d.SpinPayments(2);
        d.SpinPayments(3);
        QCOMPARE(valmora::testing::GridRow(d.f->MSHFlexGrid1, 1), QStringList({"-1000", "100", "200", ""}));
        // The spinner stops at its limits.
        d.SpinPayments(1);
        QTest::mouseClick(d.f->UpDown1->DownButton(), Qt::LeftButton);
        QCOMPARE(d.h.ws.NumPayments, 1);
        d.SpinPayments(72);
        QTest::mouseClick(d.f->UpDown1->UpButton(), Qt::LeftButton);
        QCOMPARE(d.h.ws.NumPayments, 72);
        QCOMPARE(d.f->MSHFlexGrid1->Cols(), 73);
    }

    void keysBuildTheCellText() {
        Form1Driver d;
        d.SpinPayments(2);
        ui::Grid* g = d.f->MSHFlexGrid1;
        Form1Driver::ClickCell(g, 1, 1);
        QTest::keyClicks(g, "12");
        QTest::keyClick(g, Qt::Key_Return);  // moves to payment 2 without erasing it
        QCOMPARE(g->Col(), 2);
        QTest::keyClicks(g, "250");
        QTest::keyClick(g, '-');  // a minus replaces the text
        QCOMPARE(g->Text(1, 2), QString("-"));
        QTest::keyClicks(g, "75x.5");  // other characters are ignored
        QCOMPARE(g->Text(1, 2), QString("-75.5"));
        QTest::keyClick(g, Qt::Key_Backspace);
        QTest::keyClick(g, Qt::Key_Backspace);
        QCOMPARE(g->Text(1, 2), QString("-75"));
        QTest::keyClick(g, Qt::Key_Return);  // Enter in the last column stays
        QCOMPARE(g->Col(), 2);
        QCOMPARE(valmora::testing::GridRow(g, 1), QStringList({"-1000", "12", "-75"}));
        // Back on payment 1 by the arrow key: the cell is emptied for a new value.
        QTest::keyClick(g, Qt::Key_Left);
        QCOMPARE(g->Text(1, 1), QString());
        QTest::keyClick(g, Qt::Key_Backspace);  // nothing to remove
        QCOMPARE(g->Text(1, 1), QString());
        QTest::keyClick(g, Qt::Key_Left);  // the investment cell cannot be reached
        QCOMPARE(g->Col(), 1);
    }

    void typingNeverReachesFixedCells() {
        Form1Driver d;
        ui::Grid* g = d.f->MSHFlexGrid1;
        // After load the current cell is the investment cell.
        QTest::keyClicks(g, "5");
        QTest::keyClick(g, Qt::Key_Backspace);
        QCOMPARE(valmora::testing::GridRow(g, 1), QStringList({"-1000", ""}));
        // After a change of N it is in the heading row.
        d.SpinPayments(2);
        QTest::keyClicks(g, "7");
        QCOMPARE(valmora::testing::GridRow(g, 0), QStringList({"0", "1", "2"}));
        Form1Driver::ClickCell(g, 0, 1);  // a heading click erases nothing
        Form1Driver::ClickCell(g, 1, 0);
        QCOMPARE(valmora::testing::GridRow(g, 1), QStringList({"-1000", "", ""}));
    }

    void tabIntoThePaymentsLandsOnAPayment() {
        // The current cell left on a fixed cell (the investment after load, a
        // heading after a change of N): Tab puts it on payment 1, not erased.
        struct Case {
            const char* name;
            int payments;
            const char* before;
            const char* typed;
            const char* after;
        };
        const Case cases[] = {
            {"after load", 1, "", "12", "12"},
            {"after a change of N", 3, "", "7", "7"},
            {"payment 1 already typed", 2, "40", "5", "405"},
        };
        for (const Case& c : cases) {
            Form1Driver d;
            QVERIFY(QTest::qWaitForWindowActive(d.f));
            ui::Grid* g = d.f->MSHFlexGrid1;
            if (c.payments > 1) d.SpinPayments(c.payments);
            if (*c.before) {
                Form1Driver::ClickCell(g, 1, 1);
                QTest::keyClicks(g, c.before);
                d.SpinPayments(c.payments + 1);
                d.SpinPayments(c.payments);
            }
            QVERIFY2(g->IsFixed(g->Row(), g->Col()), c.name);
            d.f->Text5->setFocus();
            QTest::keyClick(d.f->Text5, Qt::Key_Tab);
            QCOMPARE(valmora::testing::FocusIn(d.f), static_cast<QWidget*>(g));
            QCOMPARE(g->Row(), 1);
            QCOMPARE(g->Col(), 1);
            // The current cell is drawn as such, and typing lands in it.
            QCOMPARE(valmora::testing::CellBackground(g, 1, 1), QColor(255, 255, 128));
            QTest::keyClicks(g, c.typed);
            QCOMPARE(g->Text(1, 1), QString(c.after));
            QCOMPARE(g->Text(1, 0), QString("-1000"));
        }
    }

    void changingTheSeriesForgetsItsResults() {
        // Every change of what the results were computed from sends the user
        // back to "Payments entered...": nothing of the old series stays.
        struct Case {
            const char* name;
            std::function<void(Form1Driver&)> change;
        };
        const Case cases[] = {
            {"a payment clicked", [](Form1Driver& d) { Form1Driver::ClickCell(d.f->MSHFlexGrid1, 1, 2); }},
            {"a payment entered by the arrow keys",
             [](Form1Driver& d) { QTest::keyClick(d.f->MSHFlexGrid1, Qt::Key_Left); }},
            {"the investment typed", [](Form1Driver& d) { d.TypeInvestment("1200"); }},
            {"the investment refused", [](Form1Driver& d) { QTest::keyClicks(d.f->Text1, "x"); }},
            {"the periods per year",
             [](Form1Driver& d) {
                 Click(d.f->Option2);
                 valmora::testing::Retype(d.f->Text7, "12");
             }},
        };
        for (const Case& c : cases) {
            Form1Driver d;
            d.Evaluate("1000", {"500", "500", "500"});
            Form1Driver::ClickCell(d.f->MSHFlexGrid2, 1, 1);
            QCOMPARE(d.f->Label14->text(), QString("Simple, pure investment"));
            c.change(d);
            QVERIFY2(!d.f->Command3->isEnabled(), c.name);
            QVERIFY2(!d.f->MSHFlexGrid2->isEnabled(), c.name);
            QCOMPARE(valmora::testing::GridColumn(d.f->MSHFlexGrid2, 1), QStringList({"", ""}));
            for (int col = 0; col < 2; ++col)
                QVERIFY2(valmora::testing::GridColumn(d.f->MSHFlexGrid4, col).join("").isEmpty(), c.name);
            QCOMPARE(d.f->Label14->text(), QString("Investment Type"));
            QVERIFY(d.f->Command1->isEnabled());
        }
    }

    void touchingAPaymentSendsTheUserBack() {
        Form1Driver d;
        d.Evaluate("1000", {"500", "500", "500"});
        Form1Driver::ClickCell(d.f->MSHFlexGrid2, 1, 1);
        QVERIFY(d.f->MSHFlexGrid2->isEnabled());
        Form1Driver::ClickCell(d.f->MSHFlexGrid1, 1, 2);
        QCOMPARE(d.f->MSHFlexGrid1->Text(1, 2), QString());
        QVERIFY(!d.f->MSHFlexGrid2->isEnabled());
        QVERIFY(!d.f->Command3->isEnabled());
        QCOMPARE(valmora::testing::GridRow(d.f->MSHFlexGrid2, 1), QStringList({"", ""}));
        QCOMPARE(valmora::testing::GridRow(d.f->MSHFlexGrid4, 0), QStringList({"", ""}));
        QCOMPARE(d.h.ws.SelCol, 2);
        // A second click on the current cell empties what was typed since.
        QTest::keyClicks(d.f->MSHFlexGrid1, "42");
        Form1Driver::ClickCell(d.f->MSHFlexGrid1, 1, 2);
        QCOMPARE(d.f->MSHFlexGrid1->Text(1, 2), QString());
    }
};

QTEST_MAIN(Form1EntryTest)
#include "form1_entry_test.moc"
