#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "screens/shell/form6.h"
#include "ui/controls.h"
#include "screen_harness.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::ScreenHarness;

class Form6Test : public QObject {
    Q_OBJECT

private:
    // The discussion opened beside an evaluation screen, the start screen
    // not loaded, so that any move back to it would show.
    static Form6& OpenBesideEvaluation(ScreenHarness& h) {
        h.screens.Show(ScreenId::Form1);
        h.screens.Show(Form6::kId);
        return *h.screens.Find<Form6>();
    }

private slots:
    void opensWithTheDiscussionReadyToGoBack() {
        ScreenHarness h;
        Form6& f = OpenBesideEvaluation(h);
        QCOMPARE(f.windowTitle(), QString("Normal Probability Distribution"));
        const QString text = f.Label1->text();
        QVERIFY(text.startsWith("Discussion - In a normal distribution, the ratio of the mean to the stardard"));
        QVERIFY(text.contains("with the mean = 400 and the SD = 400.  The CDF shows the area"));
        QVERIFY(text.contains("no less than one (1) SD greater than zero.  Additionally,"));
        QVERIFY(text.endsWith("no negative payments be generated."));
        QVERIFY2(f.Label1->heightForWidth(f.Label1->width()) <= f.Label1->height(), "the text fits its label");
        QCOMPARE(f.Label1->font().family(), QString("MS Sans Serif"));
        QCOMPARE(f.Label1->font().pointSizeF(), 9.75);
        QCOMPARE(f.Command1->text(), QString("<< &Back"));
        QCOMPARE(ui::FaceColor(f.Command1), QColor(255, 255, 0));
        QCOMPARE(valmora::testing::FocusIn(&f), f.Command1);
        QVERIFY(!f.Image1->geometry().intersects(f.Label1->geometry()));
        QVERIFY(!f.Image1->geometry().intersects(f.Command1->geometry()));

        // The density is drawn in red on white, its peak in the upper half.
        const QImage picture = f.Image1->grab().toImage();
        QCOMPARE(picture.pixelColor(1, 1), QColor(Qt::white));
        int highest = picture.height();
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (picture.pixelColor(x, y) == QColor(255, 0, 0)) highest = std::min(highest, y);
        QVERIFY2(highest < picture.height() / 2, "the bell curve rises to its peak");
    }

    void backClosesOnlyThisScreen_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("click") << QString("click");
        QTest::newRow("Alt+B") << QString("Alt+B");
        QTest::newRow("frame close") << QString("frame close");
    }

    void backClosesOnlyThisScreen() {
        QFETCH(QString, how);
        ScreenHarness h;
        Form6& f = OpenBesideEvaluation(h);
        if (how == "click") {
            Click(f.Command1);
        } else if (how == "Alt+B") {
            QVERIFY(QTest::qWaitForWindowActive(&f));  // keys reach the active window
            QTest::keyClick(&f, Qt::Key_B, Qt::AltModifier);
        } else {
            f.close();
        }
        // An access key presses its button after showing it pressed a moment.
        QTRY_VERIFY(!h.screens.IsLoaded(Form6::kId));
        h.Settle();

        QVERIFY(!h.screens.IsLoaded(ScreenId::Form2));
        QCOMPARE(h.VisibleScreens(), std::vector<ScreenId>{ScreenId::Form1});
        QVERIFY(!h.dialogs.ended);
    }

    void openingAgainShowsTheSameWindow() {
        ScreenHarness h;
        Form6& f = OpenBesideEvaluation(h);
        h.screens.Show(Form6::kId);
        QCOMPARE(h.screens.Find<Form6>(), &f);
        QCOMPARE(h.VisibleScreens(), (std::vector<ScreenId>{ScreenId::Form1, ScreenId::Form6}));
    }
};

QTEST_MAIN(Form6Test)
#include "form6_test.moc"
