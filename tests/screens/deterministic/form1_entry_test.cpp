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

    void investmentBoxTakesOnlyNumbers() {
        // A key that would make something other than a number (or its start)
        // is refused with a beep; the text typed so far stays.
        struct Case {
            const char* typed;
            const char* box;
            const char* cell;
            int beeps;
        };
        const Case cases[] = {
            {"12a", "12", "-12", 1},        // a letter is refused, not the box emptied
            {"abc", "1000", "-1000", 3},    // every key refused: the old number stays
            {"-", "-", "", 0},              // the start of a number: no investment yet
            {"1e5", "1e5", "-100000", 0},   // exponents are numbers
            {"1,500", "1500", "-1500", 1},  // the comma is refused where it is typed
            {"1.2.3", "1.23", "-1.23", 1},
        };
        for (const Case& c : cases) {
            Form1Driver d;
            valmora::testing::Retype(d.f->Text1, c.typed);
            QCOMPARE(d.f->Text1->text(), QString(c.box));
            QCOMPARE(d.f->MSHFlexGrid1->Text(1, 0), QString(c.cell));
            QCOMPARE(d.h.dialogs.beeps, c.beeps);
            QVERIFY(d.h.dialogs.shown.empty());
        }
        // A negative investment: the sign in front of digits already typed.
        Form1Driver d;
        valmora::testing::Retype(d.f->Text1, "50");
        d.f->Text1->setCursorPosition(0);
        QTest::keyClick(d.f->Text1, '-');
        QCOMPARE(d.f->MSHFlexGrid1->Text(1, 0), QString("50"));
        // A number too large to compute with is refused with a message, the
        // text kept, whether typed or pasted.
        valmora::testing::Retype(d.f->Text1, "1e30");
        QTest::keyClick(d.f->Text1, '9');
        QCOMPARE(d.f->Text1->text(), QString("1e30"));
        QCOMPARE(d.h.dialogs.Texts(), QStringList({"1e309 is too large for a number."}));
        d.f->Text1->selectAll();
        d.f->Text1->insert(QString(400, '9'));
        QCOMPARE(d.f->Text1->text(), QString("1e30"));
        QCOMPARE(d.h.dialogs.shown.size(), 2u);
    }

    void anUnfinishedNumberIsNeverReadAsAnother() {
        // "Payments entered..." reads only whole numbers: the start of one is
        // asked for, never taken as 0.
        struct Case {
            const char* investment;
            const char* payment;
            const char* message;
        };
        const Case cases[] = {
            {"-", "500", "Please enter the initial investment!"},
            {"", "500", "Please enter the initial investment!"},
            {"1000", "-", "Payment 1 is not a number: -\rPlease complete it!"},
            {"1000", "1e", "Payment 1 is not a number: 1e\rPlease complete it!"},
            {"1000", "", "Please fill payment(s)!"},
        };
        for (const Case& c : cases) {
            Form1Driver d;
            valmora::testing::Retype(d.f->Text1, c.investment);
            Form1Driver::ClickCell(d.f->MSHFlexGrid1, 1, 1);
            QTest::keyClicks(d.f->MSHFlexGrid1, c.payment);
            Click(d.f->Command1);
            QCOMPARE(d.h.dialogs.Texts(), QStringList({c.message}));
            QVERIFY(!d.f->Command3->isEnabled());
            QWidget* asked =
                QString(c.message).startsWith("Please enter") ? static_cast<QWidget*>(d.f->Text1) : d.f->MSHFlexGrid1;
            QCOMPARE(valmora::testing::FocusIn(d.f), asked);
        }
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

    void keysEditTheCellAsInASpreadsheet() {
        Form1Driver d;
        d.SpinPayments(2);
        ui::Grid* g = d.f->MSHFlexGrid1;
        Form1Driver::ClickCell(g, 1, 1);
        QTest::keyClicks(g, "12");
        QTest::keyClick(g, Qt::Key_Return);  // moves to payment 2
        QCOMPARE(g->Col(), 2);
        QTest::keyClicks(g, "250");
        QTest::keyClick(g, '-');  // a minus starts a new number
        QCOMPARE(g->Text(1, 2), QString("-"));
        QTest::keyClicks(g, "75x,.5");  // other characters are refused with a beep
        QCOMPARE(g->Text(1, 2), QString("-75.5"));
        QCOMPARE(d.h.dialogs.beeps, 2);
        QTest::keyClick(g, Qt::Key_Backspace);
        QTest::keyClick(g, Qt::Key_Backspace);
        QCOMPARE(g->Text(1, 2), QString("-75"));
        QTest::keyClick(g, Qt::Key_Return);  // Enter in the last column stays
        QCOMPARE(g->Col(), 2);
        // Enter over an old number: the first key replaces it, never appends.
        Form1Driver::ClickCell(g, 1, 1);
        QTest::keyClicks(g, "1716");
        QCOMPARE(valmora::testing::GridRow(g, 1), QStringList({"-1000", "1716", "-75"}));
        // Moving onto a cell keeps its number; Esc after typing brings it back.
        QTest::keyClick(g, Qt::Key_Right);
        QCOMPARE(g->Text(1, 2), QString("-75"));
        QTest::keyClick(g, Qt::Key_Left);
        QCOMPARE(g->Text(1, 1), QString("1716"));
        QTest::keyClicks(g, "99");
        QTest::keyClick(g, Qt::Key_Escape);
        QCOMPARE(g->Text(1, 1), QString("1716"));
        // F2 edits in place: keys go after the text.
        QTest::keyClick(g, Qt::Key_F2);
        QTest::keyClicks(g, "0");
        QCOMPARE(g->Text(1, 1), QString("17160"));
        // So does a double click.
        QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(g->item(1, 2)).center());
        QTest::keyClicks(g, "e2");
        QCOMPARE(g->Text(1, 2), QString("-75e2"));
        // Delete empties the cell; Esc brings back the number it had when entered.
        QTest::keyClick(g, Qt::Key_Delete);
        QCOMPARE(g->Text(1, 2), QString());
        QTest::keyClick(g, Qt::Key_Escape);
        QCOMPARE(g->Text(1, 2), QString("-75"));
        QTest::keyClick(g, Qt::Key_Left);  // the investment cell cannot be reached
        QTest::keyClick(g, Qt::Key_Left);
        QCOMPARE(g->Col(), 1);
        // A digit that makes the number too large is refused with a message.
        QTest::keyClicks(g, "1e30");
        QTest::keyClick(g, '9');
        QCOMPARE(g->Text(1, 1), QString("1e30"));
        QCOMPARE(d.h.dialogs.Texts(), QStringList({"1e309 is too large for a number."}));
    }

    void sixtyPaymentsTypedWithEnterAreTheSixtyTyped() {
        // Raising N and typing over cells that held numbers: each Enter
        // moves on and the next number replaces the old one.
        Form1Driver d;
        d.EnterPayments({"3600", "-4310", "1716"});
        d.SpinPayments(60);
        Form1Driver::ClickCell(d.f->MSHFlexGrid1, 1, 1);
        for (int k = 1; k <= 60; ++k) {
            QTest::keyClicks(d.f->MSHFlexGrid1, "250");
            QTest::keyClick(d.f->MSHFlexGrid1, Qt::Key_Return);
        }
        QStringList expected = {"-1000"};
        for (int k = 1; k <= 60; ++k) expected << "250";
        QCOMPARE(valmora::testing::GridRow(d.f->MSHFlexGrid1, 1), expected);
        Click(d.f->Command1);
        Click(d.f->Command3);
        QCOMPARE(valmora::testing::GridColumn(d.f->MSHFlexGrid2, 1), QStringList({"Value", "0.25"}));
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
        Form1Driver::ClickCell(g, 0, 1);
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
            {"payment 1 already typed", 2, "40", "5", "5"},  // the first key replaces
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
            d.f->UpDown1->setFocus();
            QTest::keyClick(d.f->UpDown1, Qt::Key_Tab);
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
            {"a payment typed over",
             [](Form1Driver& d) {
                 Form1Driver::ClickCell(d.f->MSHFlexGrid1, 1, 2);
                 QTest::keyClicks(d.f->MSHFlexGrid1, "4");
             }},
            {"a payment deleted",
             [](Form1Driver& d) {
                 Form1Driver::ClickCell(d.f->MSHFlexGrid1, 1, 2);
                 QTest::keyClick(d.f->MSHFlexGrid1, Qt::Key_Delete);
             }},
            {"the investment typed", [](Form1Driver& d) { d.TypeInvestment("1200"); }},
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
            // What the analysis said of the old series goes too.
            QCOMPARE(d.f->Text3->text(), QString());
            QCOMPARE(d.f->Text6->text(), QString());
            QCOMPARE(valmora::testing::GridRow(d.f->MSHFlexGrid3, 1), QStringList({"", "", ""}));
            QVERIFY(d.f->Command1->isEnabled());
        }
    }

    void lookingAtAPaymentKeepsItAndTheResults() {
        // Clicking, arrowing, Esc and refused keys change no number: the
        // results still belong to the series on screen.
        Form1Driver d;
        d.Evaluate("1000", {"500", "500", "500"});
        Form1Driver::ClickCell(d.f->MSHFlexGrid2, 1, 1);
        ui::Grid* g = d.f->MSHFlexGrid1;
        Form1Driver::ClickCell(g, 1, 2);
        QTest::keyClick(g, Qt::Key_Left);
        QTest::keyClick(g, Qt::Key_Right);
        QTest::keyClick(g, Qt::Key_Escape);
        QTest::keyClick(g, 'x');
        Form1Driver::ClickCell(g, 1, 2);
        QCOMPARE(valmora::testing::GridRow(g, 1), QStringList({"-1000", "500", "500", "500"}));
        QCOMPARE(d.h.ws.SelCol, 2);
        QVERIFY(d.f->MSHFlexGrid2->isEnabled());
        QCOMPARE(valmora::testing::GridColumn(d.f->MSHFlexGrid2, 1), QStringList({"Value", "0.23375"}));
        QCOMPARE(d.f->Label14->text(), QString("Simple, pure investment"));
    }
};

QTEST_MAIN(Form1EntryTest)
#include "form1_entry_test.moc"
