// What the deterministic screen shows of long series and large numbers, and
// how it answers a user who works with the keyboard only.
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "form1_driver.h"

using namespace valmora;
using valmora::testing::CellShows;
using valmora::testing::CellToolTip;
using valmora::testing::Click;
using valmora::testing::FocusIn;
using valmora::testing::Form1Driver;

namespace {

QStringList Payments(int n, const QString& each) {
    QStringList payments;
    for (int k = 0; k < n; ++k) payments << each;
    return payments;
}

}  // namespace

class Form1ViewTest : public QObject {
    Q_OBJECT

private slots:
    void fixedCellsStayWhileTheGridsScroll() {
        Form1Driver d;
        Form1* f = d.f;
        d.Evaluate("1000", Payments(60, "100"));
        Form1Driver::ClickCell(f->MSHFlexGrid2, 1, 1);
        // Typing ended at payment 60, beside the investment and the headings.
        QCOMPARE(f->MSHFlexGrid1->Col(), 60);
        QVERIFY(CellShows(f->MSHFlexGrid1, 1, 60));

        // Scrolled to the far end; `between` has scrolled out of view. The
        // balances' value column is partly under the bar, so its rows are
        // seen in the fixed column.
        struct Case {
            const char* name;
            ui::Grid* grid;
            int lastRow;
            int lastCol;
            int betweenRow;
            int betweenCol;
        };
        const Case cases[] = {
            {"payments", f->MSHFlexGrid1, 1, 60, 1, 1},
            {"derivative", f->MSHFlexGrid3, 1, 59, 1, 1},
            {"balances", f->MSHFlexGrid4, 61, 0, 1, 0},
        };
        for (const Case& c : cases) {
            for (QScrollBar* bar : {c.grid->horizontalScrollBar(), c.grid->verticalScrollBar()})
                if (bar->maximum() > 0) valmora::testing::ScrollToEnd(bar);
            QVERIFY2(CellShows(c.grid, c.lastRow, c.lastCol), c.name);
            QVERIFY2(!CellShows(c.grid, c.betweenRow, c.betweenCol), c.name);
            // Row 0 and column 0 are fixed cells: they never scroll away.
            QVERIFY2(CellShows(c.grid, 0, 0), c.name);
            QVERIFY2(CellShows(c.grid, 0, c.lastCol), c.name);
            QVERIFY2(CellShows(c.grid, c.lastRow, 0), c.name);
        }
        QCOMPARE(f->MSHFlexGrid1->Text(1, 0), QString("-1000"));
        QCOMPARE(f->MSHFlexGrid4->Text(0, 1), QString("PB(n)"));
    }

    void irrGridShowsItsFirstRowsAfterASearch() {
        Form1Driver d;
        // Rates 0.5, 0.4, 0.3, 0.2 and 0.1: more than the grid shows at once.
        d.Evaluate("1000", {"6500", "-16850", "21775", "-14027.4", "3603.6"});
        ui::Grid* g = d.f->MSHFlexGrid2;
        QCOMPARE(valmora::testing::GridColumn(g, 1), QStringList({"Value", "0.5", "0.4", "0.3", "0.2", "0.1"}));
        // Whether a row shows is seen in its fixed number column.
        QVERIFY(g->verticalScrollBar()->isVisible());
        QVERIFY(CellShows(g, 0, 0));
        QVERIFY(CellShows(g, 1, 0));
        QVERIFY(!CellShows(g, 5, 0));
        valmora::testing::ScrollToEnd(g->verticalScrollBar());
        QVERIFY(CellShows(g, 5, 0));
        QVERIFY(CellShows(g, 0, 0));
    }

    void annualRateHeadingFitsOnItsLine() {
        Form1Driver d;
        for (QRadioButton* option : {d.f->Option2, d.f->Option1, d.f->Option2}) {
            Click(option);
            QLabel* label = d.f->Label8;
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->text()));
            QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(label->text()));
        }
        QCOMPARE(d.f->Label8->text(), QString("IRR(s) API"));
    }

    void numbersTooWideShowTheirStartAndTheWholeAsATip() {
        Form1Driver d;
        Form1* f = d.f;
        d.TypeInvestment("1000000000000");
        d.EnterPayments({"1"});
        Click(f->Command1);
        // The bound's box shows the number in a form that fits, never its
        // first digits cut off, and offers all of it.
        QCOMPARE(f->Text6->text(), QString("1E+12"));
        QCOMPARE(f->Text6->cursorPosition(), 0);
        QCOMPARE(f->Text6->toolTip(), QString("1000000000000"));
        QVERIFY(f->Text6->fontMetrics().horizontalAdvance(f->Text6->text()) < f->Text6->width());
        QCOMPARE(f->Text3->toolTip(), QString());  // "1" fits
        d.EnterPayments({"7456.3491234", "1"});
        Click(f->Command1);

        struct Case {
            const char* name;
            ui::Grid* grid;
            int row;
            int col;
            const char* tip;
        };
        const Case cases[] = {
            {"payment", f->MSHFlexGrid1, 1, 1, "7456.3491234"},
            {"short payment", f->MSHFlexGrid1, 1, 2, ""},
            {"investment", f->MSHFlexGrid1, 1, 0, "-1000000000000"},
            {"derivative", f->MSHFlexGrid3, 1, 0, "7456.3491234"},
            {"heading", f->MSHFlexGrid3, 0, 0, ""},
        };
        for (const Case& c : cases) QCOMPARE(CellToolTip(c.grid, c.row, c.col), QString(c.tip));
    }

    // Large balances beside the scroll bar are never cut off.
    void balancesFitBesideTheScrollBar() {
        Form1Driver d;
        Form1* f = d.f;
        d.Evaluate("10000000", {"-1500000", "0", "0", "0", "0", "0", "0", "13000000"});
        QVERIFY(f->MSHFlexGrid2->Rows() >= 2);
        Form1Driver::ClickCell(f->MSHFlexGrid2, 1, 1);
        ui::Grid* g = f->MSHFlexGrid4;
        QVERIFY(g->Rows() > 6);  // more rows than show: a vertical scroll bar
        for (int r = 0; r < g->Rows(); ++r)
            QVERIFY2(g->fontMetrics().horizontalAdvance(g->Text(r, 1)) < g->columnWidth(1), qPrintable(g->Text(r, 1)));
        QVERIFY(g->Text(1, 1).size() >= 12);  // -10000000.00
        // Both columns inside the room beside the vertical scroll bar.
        QVERIFY(g->verticalScrollBar()->isVisible());
        QVERIFY(g->columnWidth(0) + g->columnWidth(1) <= g->viewport()->width());
    }

    // x^2 = 1E+303: the bound 3.16227766016838E+151 is not shown as "3.16227".
    void aHugeBoundShowsItsExponent() {
        Form1Driver d;
        Form1* f = d.f;
        d.TypeInvestment("1000");
        d.EnterPayments({"0", "0." + QString(299, '0') + "1"});
        Click(f->Command1);
        QVERIFY2(f->Text6->text().endsWith("E+151"), qPrintable(f->Text6->text()));
        QVERIFY(f->Text6->fontMetrics().horizontalAdvance(f->Text6->text()) < f->Text6->width());
        QCOMPARE(f->Text6->toolTip(), QString("3.16227766016838E+151"));
    }

    void keyboardAloneWalksThroughTheSteps() {
        Form1Driver d;
        Form1* f = d.f;
        QVERIFY(QTest::qWaitForWindowActive(f));
        QCOMPARE(FocusIn(f), f->Text1);
        QTest::keyClicks(f->Text1, "1000");
        QTest::keyClick(f->Text1, Qt::Key_Tab);
        QCOMPARE(FocusIn(f), f->UpDown1);
        QTest::keyClick(f->UpDown1, Qt::Key_Up);
        QTest::keyClick(f->UpDown1, Qt::Key_Up);
        // On to the payments: Tab lands on payment 1.
        QTest::keyClick(FocusIn(f), Qt::Key_Tab);
        QCOMPARE(FocusIn(f), static_cast<QWidget*>(f->MSHFlexGrid1));
        for (const char* p : {"500", "500", "500"}) {
            QTest::keyClicks(f->MSHFlexGrid1, p);
            QTest::keyClick(f->MSHFlexGrid1, Qt::Key_Return);
        }
        QCOMPARE(valmora::testing::GridRow(f->MSHFlexGrid1, 1), QStringList({"-1000", "500", "500", "500"}));
        // On to "Payments entered..." and Enter presses it.
        QTest::keyClick(FocusIn(f), Qt::Key_Tab);
        QCOMPARE(FocusIn(f), f->Command1);
        QTest::keyClick(f->Command1, Qt::Key_Return);
        QCOMPARE(f->Text3->text(), QString("1"));
        // The focus is on "Locate Root(s)": the keypad's Enter presses it.
        QCOMPARE(FocusIn(f), f->Command3);
        QTest::keyClick(f->Command3, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(f->MSHFlexGrid2->Text(1, 1), QString("0.23375"));
        // The focus is on the rates, the first one current but none picked
        // yet; Down moves without picking, and Enter picks.
        QCOMPARE(FocusIn(f), static_cast<QWidget*>(f->MSHFlexGrid2));
        QCOMPARE(f->MSHFlexGrid2->Row(), 1);
        QVERIFY(!f->MSHFlexGrid4->isEnabled());
        QTest::keyClick(f->MSHFlexGrid2, Qt::Key_Down);
        QVERIFY(!f->MSHFlexGrid4->isEnabled());
        QTest::keyClick(f->MSHFlexGrid2, Qt::Key_Return);
        QCOMPARE(f->Label14->text(), QString("Simple, pure investment"));
        QCOMPARE(f->MSHFlexGrid4->Text(4, 1), QString("0.00"));
        QVERIFY(d.h.dialogs.shown.empty());
    }
};

QTEST_MAIN(Form1ViewTest)
#include "form1_view_test.moc"
