// The deterministic screen with the keyboard alone: Tab follows the work,
// and Enter picks a rate right after "Locate Root(s)".
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <functional>

#include "form1_driver.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::FocusIn;
using valmora::testing::Form1Driver;

namespace {

// The controls Tab (or Shift+Tab) visits from `start` until it comes back.
QList<QWidget*> TabRound(QWidget* window, QWidget* start, bool backwards) {
    QList<QWidget*> visited{start};
    start->setFocus(Qt::OtherFocusReason);
    for (int i = 0; i < 40; ++i) {
        QTest::keyClick(FocusIn(window), Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
        if (FocusIn(window) == start) break;
        visited << FocusIn(window);
    }
    return visited;
}

QStringList Names(const QList<QWidget*>& widgets, const Form1* f) {
    const std::pair<const QWidget*, const char*> names[] = {
        {f->Text1, "Text1"},
        {f->UpDown1, "UpDown1"},
        {f->MSHFlexGrid1, "MSHFlexGrid1"},
        {f->Command1, "Command1"},
        {f->Text4, "Text4"},
        {f->Text5, "Text5"},
        {f->Command3, "Command3"},
        {f->MSHFlexGrid2, "MSHFlexGrid2"},
        {f->Command5, "Command5"},
        {f->MSHFlexGrid4, "MSHFlexGrid4"},
        {f->Option1, "Option1"},
        {f->Option2, "Option2"},
        {f->Text7, "Text7"},
        {f->UpDown2, "UpDown2"},
        {f->Command9, "Command9"},
        {f->Command6, "Command6"},
        {f->Command7, "Command7"},
        {f->Command8, "Command8"},
        {f->Command4, "Command4"},
        {f->Command2, "Command2"},
        {f->MSHFlexGrid3, "MSHFlexGrid3"},
    };
    QStringList out;
    for (const QWidget* w : widgets) {
        QString name = w ? w->metaObject()->className() : "none";
        for (const auto& [widget, n] : names)
            if (widget == w) name = n;
        out << name;
    }
    return out;
}

}  // namespace

class Form1KeyboardTest : public QObject {
    Q_OBJECT

private slots:
    void tabFollowsTheWork() {
        Form1Driver d;
        Form1* f = d.f;
        QVERIFY(QTest::qWaitForWindowActive(f));
        d.TypeInvestment("1000");
        d.EnterPayments({"3600", "-4310", "1716"});
        struct Stage {
            const char* name;
            std::function<void()> reach;
            QStringList order;  // from the investment box, Tab after Tab
        };
        const Stage stages[] = {
            {"payments entered",
             [&] { Click(f->Command1); },
             {"Text1", "UpDown1", "MSHFlexGrid1", "Command1", "Text4", "Text5", "Command3", "Command5", "Option1",
              "Command6", "Command7", "Command4", "Command2"}},
            {"a rate picked, rates as annual ones",
             [&] {
                 Click(f->Command3);
                 Form1Driver::ClickCell(f->MSHFlexGrid2, 1, 1);
                 Click(f->Option2);
             },
             {"Text1", "UpDown1", "MSHFlexGrid1", "Command1", "Text4", "Text5", "MSHFlexGrid2", "Command5",
              "MSHFlexGrid4", "Option2", "Text7", "UpDown2", "Command9", "Command6", "Command7", "Command8", "Command4",
              "Command2"}},
        };
        for (const Stage& stage : stages) {
            stage.reach();
            QCOMPARE(Names(TabRound(f, f->Text1, false), f), stage.order);
            // Shift+Tab goes the same way back.
            QStringList back = stage.order.mid(1);
            std::reverse(back.begin(), back.end());
            back.prepend("Text1");
            QCOMPARE(Names(TabRound(f, f->Text1, true), f), back);
        }
    }

    void theDerivativeIsReachedByAClickOnly() {
        Form1Driver d;
        d.TypeInvestment("1000");
        d.EnterPayments({"500", "500"});
        Click(d.f->Command1);
        QVERIFY(!Names(TabRound(d.f, d.f->Text1, false), d.f).contains("MSHFlexGrid3"));
        // A click still gives it the focus, for "Copy".
        Form1Driver::ClickCell(d.f->MSHFlexGrid3, 1, 1);
        QCOMPARE(FocusIn(d.f), static_cast<QWidget*>(d.f->MSHFlexGrid3));
    }

    // Right after "Locate Root(s)" the first rate is current, drawn as not
    // picked; Enter or Space picks the rate the keyboard is on.
    void keysPickRightAfterTheSearch() {
        const QColor white(255, 255, 255), blue(0, 0, 255);
        struct Case {
            const char* name;
            QList<Qt::Key> keys;
            int picked;
            const char* rate;
        };
        const Case cases[] = {
            {"Enter at once", {Qt::Key_Return}, 1, "0.3"},
            {"the keypad's Enter", {Qt::Key_Enter}, 1, "0.3"},
            {"Space at once", {Qt::Key_Space}, 1, "0.3"},
            {"Down, then Enter", {Qt::Key_Down, Qt::Key_Return}, 2, "0.2"},
            {"to the last, then Space", {Qt::Key_PageDown, Qt::Key_Space}, 3, "0.1"},
        };
        for (const Case& c : cases) {
            Form1Driver d;
            QVERIFY(QTest::qWaitForWindowActive(d.f));
            d.TypeInvestment("1000");
            d.EnterPayments({"3600", "-4310", "1716"});  // rates 0.3, 0.2 and 0.1
            // From the last payment, Tab reaches "Payments entered..."; its
            // Enter leaves the focus on "Locate Root(s)".
            QTest::keyClick(d.f->MSHFlexGrid1, Qt::Key_Tab);
            QCOMPARE(FocusIn(d.f), d.f->Command1);
            QTest::keyClick(d.f->Command1, Qt::Key_Return);
            QCOMPARE(FocusIn(d.f), d.f->Command3);
            QTest::keyClick(d.f->Command3, Qt::Key_Return);
            ui::Grid* g = d.f->MSHFlexGrid2;
            QCOMPARE(FocusIn(d.f), static_cast<QWidget*>(g));
            QCOMPARE(g->Row(), 1);
            QCOMPARE(g->Col(), 1);
            for (int r = 1; r <= 3; ++r) QVERIFY2(valmora::testing::CellBackground(g, r, 1) == white, c.name);
            QVERIFY2(!d.f->MSHFlexGrid4->isEnabled(), c.name);
            for (Qt::Key key : c.keys)
                QTest::keyClick(g, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            for (int r = 1; r <= 3; ++r)
                QVERIFY2(valmora::testing::CellBackground(g, r, 1) == (r == c.picked ? blue : white), c.name);
            QVERIFY2(d.f->MSHFlexGrid4->isEnabled(), c.name);
            QCOMPARE(d.f->MSHFlexGrid4->Text(0, 0), QString(c.rate));
            QCOMPARE(d.f->Label14->text(), QString("Nonsimple, mixed"));
        }
    }
};

QTEST_MAIN(Form1KeyboardTest)
#include "form1_keyboard_test.moc"
