#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "screens/shell/form2.h"
#include "ui/controls.h"
#include "screen_harness.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::ScreenHarness;

class Form2Test : public QObject {
    Q_OBJECT

private:
    // The start screen as the program shows it at start.
    Form2& Start(ScreenHarness& h) {
        h.screens.Show(ScreenId::Form2);
        return h.screens.Get<Form2>();
    }

private slots:
    void startsInTheIntroduction() {
        ScreenHarness h;
        Form2& f = Start(h);
        QCOMPARE(f.windowTitle(), QString("Start"));
        QVERIFY(!f.Frame1->isVisible());
        QVERIFY(f.Command1->isEnabled());
        QCOMPARE(ui::FaceColor(f.Command1), QColor(255, 255, 0));
        QCOMPARE(valmora::testing::FocusIn(&f), f.Command1);
        QVERIFY(f.Label1->text().endsWith("yields a single IRR = 23.375%"));
        QVERIFY(f.Label2->text().contains("shown to the right.    The compounding periods MUST concide"));
        QCOMPARE(f.Command2->text(), QString("E&xit"));
        QCOMPARE(f.MenuBar->actions().at(0)->text(), QString("&File"));
        QCOMPARE(f.MenuBar->actions().at(1)->text(), QString("&About"));
        QCOMPARE(f.MExit->text(), QString("E&xit"));
        QCOMPARE(f.MAboutIRR->text(), QString("About Valmora"));
        QCOMPARE(h.VisibleScreens(), std::vector<ScreenId>{ScreenId::Form2});
    }

    void continueRevealsTheModeChoiceForGood() {
        ScreenHarness h;
        Form2& f = Start(h);
        Click(f.Command1);
        QVERIFY(f.Frame1->isVisible());
        QVERIFY(!f.Command1->isEnabled());
        QCOMPARE(ui::FaceColor(f.Command1), QApplication::palette().color(QPalette::Button));
        QVERIFY(!f.Option1->isChecked());
        QVERIFY(!f.Option2->isChecked());
    }

    void exitAsksFirst() {
        ScreenHarness h;
        Form2& f = Start(h);
        h.dialogs.answers = {false};
        Click(f.Command2);
        QCOMPARE(h.dialogs.shown.size(), size_t(1));
        QCOMPARE(h.dialogs.shown[0].text, QString("Sure you want to exit?"));
        QCOMPARE(h.dialogs.shown[0].title, QString("Exit?"));
        QVERIFY(!h.dialogs.ended);
        QVERIFY(f.isVisible());

        h.dialogs.answers = {true};
        Click(f.Command2);
        QVERIFY(h.dialogs.ended);
        QVERIFY(!h.screens.IsLoaded(ScreenId::Form2));
    }

    void fileExitEndsWithoutAsking() {
        ScreenHarness h;
        Form2& f = Start(h);
        f.MExit->trigger();
        QVERIFY(h.dialogs.ended);
        QVERIFY(h.dialogs.shown.empty());
    }

    void closingByTheFrameEndsTheProgram() {
        ScreenHarness h;
        Form2& f = Start(h);
        f.close();
        QVERIFY(h.dialogs.ended);
    }
};

QTEST_MAIN(Form2Test)
#include "form2_test.moc"
