#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "screens/shell/form2.h"
#include "screens/shell/form5.h"
#include "ui/controls.h"
#include "screen_harness.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::ScreenHarness;

class Form5Test : public QObject {
    Q_OBJECT

private:
    // The discussion opened from the start screen's button, the start screen
    // in the introduction, or in the mode choice when `modeChoice`.
    static Form5& OpenFromStart(ScreenHarness& h, bool modeChoice = false) {
        h.screens.Show(ScreenId::Form2);
        Form2& start = h.screens.Get<Form2>();
        if (modeChoice) Click(start.Command1);
        Click(start.Command3);
        return *h.screens.Find<Form5>();
    }

    static int WindowsTitled(const QString& title) {
        int count = 0;
        for (const QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && window->windowTitle() == title) ++count;
        return count;
    }

private slots:
    void opensWithTheDiscussionReadyToGoBack() {
        ScreenHarness h;
        Form5& f = OpenFromStart(h);
        QCOMPARE(f.windowTitle(), QString("More Discussion of the Problem"));
        const QString text = f.Label1->text();
        QVERIFY(text.startsWith("Investments are classified as SIMPLE or NON-SIMPLE.  Simple investments have"));
        QVERIFY(text.contains("(essentailly a discounted analysis at each payment period)."));
        QVERIFY(text.contains("multiple IRRs.  Project balances (evaluted by using each IRR)"));
        QVERIFY(text.endsWith("that can be mixed or pure!"));
        QVERIFY2(f.Label1->heightForWidth(f.Label1->width()) <= f.Label1->height(), "the text fits its label");
        QCOMPARE(f.Label1->font().family(), QString("Arial"));
        QCOMPARE(f.Command1->text(), QString("<< &Back"));
        QCOMPARE(ui::FaceColor(f.Command1), QColor(255, 255, 0));
        QCOMPARE(valmora::testing::FocusIn(&f), f.Command1);
        QVERIFY(!f.Image1->geometry().intersects(f.Label1->geometry()));
        QVERIFY(!f.Image1->geometry().intersects(f.Command1->geometry()));

        // The worked example: on white, its IRR function in red.
        const QImage picture = f.Image1->grab().toImage();
        QCOMPARE(picture.pixelColor(1, 1), QColor(Qt::white));
        int red = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (picture.pixelColor(x, y) == QColor(255, 0, 0)) ++red;
        QVERIFY2(red > 100, "the curve is drawn");
    }

    void backReturnsToTheStartScreenAsItWas_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("modeChoice");
        for (const char* how : {"click", "Alt+B", "frame close"}) {
            QTest::addRow("%s, introduction", how) << QString(how) << false;
            QTest::addRow("%s, mode choice", how) << QString(how) << true;
        }
    }

    void backReturnsToTheStartScreenAsItWas() {
        QFETCH(QString, how);
        QFETCH(bool, modeChoice);
        ScreenHarness h;
        Form5& f = OpenFromStart(h, modeChoice);
        if (how == "click") {
            Click(f.Command1);
        } else if (how == "Alt+B") {
            QVERIFY(QTest::qWaitForWindowActive(&f));  // keys reach the active window
            QTest::keyClick(&f, Qt::Key_B, Qt::AltModifier);
        } else {
            f.close();
        }
        // An access key presses its button after showing it pressed a moment.
        QTRY_VERIFY(!h.screens.IsLoaded(Form5::kId));
        h.Settle();

        QCOMPARE(h.VisibleScreens(), std::vector<ScreenId>{ScreenId::Form2});
        Form2& start = h.screens.Get<Form2>();
        QCOMPARE(QApplication::activeWindow(), &start);  // in front
        QCOMPARE(start.Frame1->isVisible(), modeChoice);
        QCOMPARE(start.Command1->isEnabled(), !modeChoice);
        QVERIFY(!h.dialogs.ended);
    }

    void theStartScreenStaysUsableAndShowsOneDiscussion() {
        ScreenHarness h;
        Form5& f = OpenFromStart(h);
        Form2& start = h.screens.Get<Form2>();
        Click(start.Command3);
        QCOMPARE(h.screens.Find<Form5>(), &f);
        QCOMPARE(WindowsTitled("More Discussion of the Problem"), 1);

        Click(start.Command1);
        QVERIFY(start.Frame1->isVisible());
        QCOMPARE(h.VisibleScreens(), (std::vector<ScreenId>{ScreenId::Form2, ScreenId::Form5}));

        // After going back the button opens the discussion again.
        Click(f.Command1);
        h.Settle();
        Click(start.Command3);
        QVERIFY(h.Visible(Form5::kId));
        QCOMPARE(WindowsTitled("More Discussion of the Problem"), 1);
    }
};

QTEST_MAIN(Form5Test)
#include "form5_test.moc"
