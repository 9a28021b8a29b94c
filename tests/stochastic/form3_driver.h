// Drives the stochastic screen as a user would.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "screen_harness.h"
#include "stochastic/form3.h"
#include "ui/grid.h"

namespace valmora::testing {

struct Form3Driver {
    Form3Driver() {
        h.screens.Show(ScreenId::Form3);
        f = h.screens.Find<Form3>();
    }

    static void Retype(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        if (text.isEmpty()) QTest::keyClick(edit, Qt::Key_Backspace);
        else QTest::keyClicks(edit, text);
    }

    void ClickTab(int index) {
        QTabBar* bar = f->SSTab1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }

    // A uniform set-up on [low, high) with `payments` payments, then tab 1.
    void UniformOnTabOne(const QString& low, const QString& high, int payments = 1) {
        Click(f->Option1);
        Retype(f->Text3, low);
        Retype(f->Text4, high);
        Retype(f->Text2, QString::number(payments));
        ClickTab(1);
    }

    // Tab 1 with "DO NOT save to file" or with a file chosen in the dialog.
    void ChooseNotSaving() { Click(f->Option5); }
    void ChooseFile(const QString& path) {
        Click(f->Option4);
        h.dialogs.fileNames.push_back(path);
        Click(f->Command3);
    }

    static QStringList Row(ui::Grid* grid, int row) {
        QStringList texts;
        for (int c = 0; c < grid->Cols(); ++c) texts << grid->Text(row, c);
        return texts;
    }
    static QStringList Column(ui::Grid* grid, int col) {
        QStringList texts;
        for (int r = 0; r < grid->Rows(); ++r) texts << grid->Text(r, col);
        return texts;
    }

    ScreenHarness h;
    Form3* f = nullptr;
};

}  // namespace valmora::testing
