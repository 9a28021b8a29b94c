// Drives the deterministic screen as a user would: clicks, keys, spinner.
#pragma once

#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <QToolButton>

#include "screens/deterministic/form1.h"
#include "screen_harness.h"
#include "ui/grid.h"
#include "ui/up_down.h"

namespace valmora::testing {

struct Form1Driver {
    Form1Driver() {
        h.screens.Show(ScreenId::Form1);
        f = h.screens.Find<Form1>();
    }

    // Clicks a cell of a grid.
    static void ClickCell(ui::Grid* grid, int row, int col) {
        QTableWidgetItem* item = grid->item(row, col);
        QVERIFY2(item, "no such cell");
        grid->scrollToItem(item);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(item).center());
    }

    // Spins the number of payments to n with the spinner's arrows.
    void SpinPayments(int n) {
        while (f->UpDown1->Value() < n) QTest::mouseClick(f->UpDown1->UpButton(), Qt::LeftButton);
        while (f->UpDown1->Value() > n) QTest::mouseClick(f->UpDown1->DownButton(), Qt::LeftButton);
    }

    // Types the investment over the selected text box contents.
    void TypeInvestment(const QString& text) {
        f->Text1->selectAll();
        QTest::keyClicks(f->Text1, text);
    }

    // Sets the number of payments, clicks the first payment cell and types
    // each payment followed by Enter.
    void EnterPayments(const QStringList& payments) {
        SpinPayments(static_cast<int>(payments.size()));
        ClickCell(f->MSHFlexGrid1, 1, 1);
        for (const QString& p : payments) {
            QTest::keyClicks(f->MSHFlexGrid1, p);
            QTest::keyClick(f->MSHFlexGrid1, Qt::Key_Return);
        }
    }

    // A whole deterministic evaluation up to the listed rates.
    void Evaluate(const QString& investment, const QStringList& payments) {
        TypeInvestment(investment);
        EnterPayments(payments);
        Click(f->Command1);
        Click(f->Command3);
    }


    ScreenHarness h;
    Form1* f = nullptr;
};

}  // namespace valmora::testing
