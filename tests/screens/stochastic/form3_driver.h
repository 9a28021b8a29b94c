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
#include "screens/stochastic/form3.h"
#include "ui/grid.h"

namespace valmora::testing {

struct Form3Driver {
    Form3Driver() {
        h.screens.Show(ScreenId::Form3);
        f = h.screens.Find<Form3>();
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


    ScreenHarness h;
    Form3* f = nullptr;
};

}  // namespace valmora::testing
