// Every window of the program in the states worth looking at, for the tests
// that walk all of them: the start screen, the discussions, About, the
// login, the deterministic screen with its NPV profile and decision window,
// the stochastic screen before, ready for and after a run, and the
// multiple-IRR selection.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <vector>

#include "screen_harness.h"
#include "screens/deterministic/form1.h"
#include "screens/shell/form2.h"
#include "screens/stochastic/form3.h"
#include "ui/grid.h"
#include "ui/up_down.h"

namespace valmora::testing::tour {

struct Stop {
    const char* name;
    // Brings the program from nothing shown to this stop.
    std::function<void(ScreenHarness&)> show;
};

// The top-level windows shown.
inline QList<QWidget*> ShownWindows() {
    QList<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) windows << w;
    return windows;
}

inline void ClickCell(ui::Grid* grid, int row, int col) {
    grid->scrollToItem(grid->item(row, col));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(row, col)).center());
}

// The deterministic screen with `investment` and `payments` typed.
inline Form1& TypeSeries(ScreenHarness& h, const QString& investment, const QStringList& payments) {
    h.screens.Show(ScreenId::Form1);
    Form1& f = h.screens.Get<Form1>();
    Retype(f.Text1, investment);
    while (f.UpDown1->Value() < payments.size()) QTest::mouseClick(f.UpDown1->UpButton(), Qt::LeftButton);
    ClickCell(f.MSHFlexGrid1, 1, 1);
    for (const QString& p : payments) {
        QTest::keyClicks(f.MSHFlexGrid1, p);
        QTest::keyClick(f.MSHFlexGrid1, Qt::Key_Return);
    }
    return f;
}

// The series with rates 0.3, 0.2 and 0.1 searched, and 0.2 picked.
inline Form1& RatePicked(ScreenHarness& h) {
    Form1& f = TypeSeries(h, "1000", {"3600", "-4310", "1716"});
    Click(f.Command1);
    Click(f.Command3);
    ClickCell(f.MSHFlexGrid2, 2, 1);
    return f;
}

// The stochastic screen with a normal distribution of mean and SD 400,
// on its second tab, not saving to a file: ready to run.
inline Form3& ReadyToRun(ScreenHarness& h) {
    h.screens.Show(ScreenId::Form3);
    Form3& f = h.screens.Get<Form3>();
    Click(f.Option2);
    Retype(f.Text3, "400");
    Retype(f.Text4, "400");
    QTabBar* tabs = f.SSTab1->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    Click(f.Option5);
    return f;
}

inline std::vector<Stop> Stops() {
    return {
        {"start", [](ScreenHarness& h) { h.screens.Show(ScreenId::Form2); }},
        {"start, mode choice",
         [](ScreenHarness& h) {
             h.screens.Show(ScreenId::Form2);
             h.screens.Get<Form2>().RevealModeChoice();
         }},
        {"more discussion", [](ScreenHarness& h) { h.screens.Show(ScreenId::Form5); }},
        {"normal distribution discussion", [](ScreenHarness& h) { h.screens.Show(ScreenId::Form6); }},
        {"about", [](ScreenHarness& h) { h.screens.Show(ScreenId::About); }},
        {"login",
         [](ScreenHarness& h) {
             h.screens.Show(ScreenId::Form2);
             h.screens.Show(ScreenId::Login);
         }},
        {"deterministic", [](ScreenHarness& h) { h.screens.Show(ScreenId::Form1); }},
        {"deterministic, a payment missing",
         [](ScreenHarness& h) {
             Form1& f = TypeSeries(h, "1000", {"500", "", "500"});
             Click(f.Command1);
         }},
        {"deterministic, a rate picked", [](ScreenHarness& h) { RatePicked(h); }},
        {"deterministic, a root not listed",
         [](ScreenHarness& h) {
             Form1& f = TypeSeries(h, "100", {"220", "-121"});
             Click(f.Command1);
             Click(f.Command3);
         }},
        {"NPV profile and decision",
         [](ScreenHarness& h) {
             Form1& f = RatePicked(h);
             Click(f.Command5);
             Click(f.Command9);
         }},
        {"stochastic set-up",
         [](ScreenHarness& h) {
             h.screens.Show(ScreenId::Form3);
             Click(h.screens.Get<Form3>().Option2);
         }},
        {"stochastic, ready to run", [](ScreenHarness& h) { ReadyToRun(h); }},
        {"stochastic, after a run",
         [](ScreenHarness& h) {
             Form3& f = ReadyToRun(h);
             f.HScroll1->setValue(20);
             Click(f.Command4);
             h.Settle();
         }},
        {"IRR distribution after a run",
         [](ScreenHarness& h) {
             Form3& f = ReadyToRun(h);
             f.HScroll1->setValue(200);
             Click(f.Command4);
             h.Settle();
             Click(f.Command7);
             h.Settle();
         }},
        {"multiple-IRR selection",
         [](ScreenHarness& h) {
             Form3& f = ReadyToRun(h);
             Click(f.Command5);
         }},
    };
}

}  // namespace valmora::testing::tour
