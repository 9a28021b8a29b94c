// Which IRR a simulation keeps: the dialog's choices and its way back.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "form3_driver.h"
#include "screens/stochastic/form4.h"
#include "ui/controls.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::Form3Driver;

class Form4Test : public QObject {
    Q_OBJECT

private:
    static Form4* Open(Form3Driver& d) {
        d.UniformOnTabOne("500", "1500");
        d.ChooseNotSaving();
        Click(d.f->Command5);
        d.h.Settle();
        return d.h.screens.Find<Form4>();
    }

private slots:
    void opensFresh() {
        Form3Driver d;
        Form4* f = Open(d);
        QVERIFY(f);
        QCOMPARE(f->windowTitle(), QString("Multiple IIR Selection"));
        QCOMPARE(f->Frame1->title(), QString("Select IRR to use"));
        QCOMPARE(f->Option3->text(), QString("2nd  Lowest IRR"));
        QCOMPARE(f->Check1->text(),
                 QString("Notify me if the program must use an IRR other than the one specified above."));
        QCOMPARE(ui::FaceColor(f->Command1), QColor(255, 255, 0));
        QCOMPARE(d.h.VisibleScreens(), std::vector<ScreenId>{ScreenId::Form4});

        // A choice made at one opening does not carry over to the next.
        Click(f->Option2);
        Click(f->Check1);
        QCOMPARE(d.h.ws.IrrChoice, 4);
        QVERIFY(d.h.ws.NotifyOtherIrr);
        Click(f->Command1);
        d.h.Settle();
        Click(d.f->Command5);
        d.h.Settle();
        f = d.h.screens.Find<Form4>();
        for (QRadioButton* o : {f->Option1, f->Option2, f->Option3, f->Option4}) QVERIFY(!o->isChecked());
        QVERIFY(!f->Check1->isChecked());
        QCOMPARE(d.h.ws.IrrChoice, 1);
        QVERIFY(!d.h.ws.NotifyOtherIrr);
    }

    void eachOptionStoresItsRule() {
        Form3Driver d;
        Form4* f = Open(d);
        struct Case {
            QRadioButton* option;
            int code;
        };
        for (const Case& c : {Case{f->Option2, 4}, Case{f->Option3, 2}, Case{f->Option4, 3}, Case{f->Option1, 1}}) {
            Click(c.option);
            QCOMPARE(d.h.ws.IrrChoice, c.code);
        }
        Click(f->Check1);
        QVERIFY(d.h.ws.NotifyOtherIrr);
        Click(f->Check1);
        QVERIFY(!d.h.ws.NotifyOtherIrr);
    }

    void backShowsTheStochasticScreen() {
        for (bool byFrame : {false, true}) {
            Form3Driver d;
            Form4* f = Open(d);
            Click(f->Option2);
            if (byFrame) f->close();
            else Click(f->Command1);
            d.h.Settle();
            QCOMPARE(d.h.VisibleScreens(), std::vector<ScreenId>{ScreenId::Form3});
            QVERIFY(!d.h.screens.IsLoaded(ScreenId::Form4));
            QCOMPARE(valmora::testing::FocusIn(d.f), d.f->Command5);
            QCOMPARE(d.h.ws.IrrChoice, 4);  // the choice stays in force
            QVERIFY(!d.h.dialogs.ended);
        }
    }
};

QTEST_MAIN(Form4Test)
#include "form4_test.moc"
