// The two explanatory screens, Form5 (opened from the start screen) and
// Form6 (opened beside an evaluation screen), driven through one table.
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <functional>

#include "screens/shell/form2.h"
#include "screens/shell/form5.h"
#include "screens/shell/form6.h"
#include "ui/controls.h"
#include "screen_harness.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::ScreenHarness;

Q_DECLARE_METATYPE(valmora::ScreenId)

namespace {

// Where a discussion is opened from.
enum class Opener {
    StartIntroduction,  // the start screen's button, the start screen in its introduction
    StartModeChoice,    // the same, the start screen in its mode choice
    Evaluation,         // beside the deterministic screen, the start screen not loaded
};

// What a page must show.
struct Expected {
    QString caption;
    QString startsWith;
    QStringList contains;
    QString endsWith;
    QString family;
    double points;
    // The picture's artwork, checked on its pixels; the message says what was looked for.
    std::function<bool(const QImage&)> pictureOk;
    const char* pictureMessage;
};

int RedPixels(const QImage& picture) {
    int red = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixelColor(x, y) == QColor(255, 0, 0)) ++red;
    return red;
}

int HighestRedRow(const QImage& picture) {
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixelColor(x, y) == QColor(255, 0, 0)) return y;
    return picture.height();
}

const Expected& Page(ScreenId id) {
    static const Expected form5{
        "More Discussion of the Problem",
        "Investments are classified as SIMPLE or NON-SIMPLE.  Simple investments have",
        {"(essentailly a discounted analysis at each payment period).",
         "multiple IRRs.  Project balances (evaluted by using each IRR)"},
        "that can be mixed or pure!",
        "Arial",
        8.25,
        [](const QImage& p) { return RedPixels(p) > 100; },
        "the worked example's IRR function is drawn in red",
    };
    static const Expected form6{
        "Normal Probability Distribution",
        "Discussion - In a normal distribution, the ratio of the mean to the stardard",
        {"with the mean = 400 and the SD = 400.  The CDF shows the area",
         "no less than one (1) SD greater than zero.  Additionally,"},
        "no negative payments be generated.",
        "MS Sans Serif",
        9.75,
        [](const QImage& p) { return HighestRedRow(p) < p.height() / 2; },
        "the red bell curve rises to its peak in the upper half",
    };
    return id == ScreenId::Form5 ? form5 : form6;
}

ExplanatoryScreen* Open(ScreenHarness& h, ScreenId id, Opener opener) {
    if (opener == Opener::Evaluation) {
        h.screens.Show(ScreenId::Form1);
        h.screens.Show(id);
    } else {
        h.screens.Show(ScreenId::Form2);
        Form2& start = h.screens.Get<Form2>();
        if (opener == Opener::StartModeChoice) Click(start.Command1);
        Click(start.Command3);
    }
    return static_cast<ExplanatoryScreen*>(h.screens.Find(id));
}

// The screen's own way of being opened again while it is open.
void OpenAgain(ScreenHarness& h, ScreenId id, Opener opener) {
    if (opener == Opener::Evaluation) h.screens.Show(id);
    else Click(h.screens.Get<Form2>().Command3);
}

int WindowsTitled(const QString& title) {
    int count = 0;
    for (const QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowTitle() == title) ++count;
    return count;
}

}  // namespace

Q_DECLARE_METATYPE(Opener)

class ExplanatoryScreensTest : public QObject {
    Q_OBJECT

private:
    // Each screen as its opener opens it.
    static void AddPages() {
        QTest::addColumn<ScreenId>("id");
        QTest::addColumn<Opener>("opener");
        QTest::newRow("Form5") << ScreenId::Form5 << Opener::StartIntroduction;
        QTest::newRow("Form6") << ScreenId::Form6 << Opener::Evaluation;
    }

private slots:
    void opensWithTheDiscussionReadyToGoBack_data() { AddPages(); }

    void opensWithTheDiscussionReadyToGoBack() {
        QFETCH(ScreenId, id);
        QFETCH(Opener, opener);
        const Expected& page = Page(id);
        ScreenHarness h;
        ExplanatoryScreen& f = *Open(h, id, opener);
        QCOMPARE(f.windowTitle(), page.caption);
        const QString text = f.Label1->text();
        QVERIFY(text.startsWith(page.startsWith));
        for (const QString& part : page.contains) QVERIFY2(text.contains(part), qPrintable(part));
        QVERIFY(text.endsWith(page.endsWith));
        QVERIFY2(f.Label1->heightForWidth(f.Label1->width()) <= f.Label1->height(), "the text fits its label");
        QCOMPARE(f.Label1->font().family(), page.family);
        QCOMPARE(f.Label1->font().pointSizeF(), page.points);
        QCOMPARE(f.Command1->text(), QString("<< &Back"));
        QCOMPARE(ui::FaceColor(f.Command1), QColor(255, 255, 0));
        QCOMPARE(valmora::testing::FocusIn(&f), f.Command1);
        QVERIFY(!f.Image1->geometry().intersects(f.Label1->geometry()));
        QVERIFY(!f.Image1->geometry().intersects(f.Command1->geometry()));

        // The artwork is drawn on white, its curve in red.
        const QImage picture = f.Image1->grab().toImage();
        QCOMPARE(picture.pixelColor(1, 1), QColor(Qt::white));
        QVERIFY2(page.pictureOk(picture), page.pictureMessage);
    }

    void backLeavesTheOpenerAsItWas_data() {
        QTest::addColumn<ScreenId>("id");
        QTest::addColumn<Opener>("opener");
        QTest::addColumn<QString>("how");
        for (const char* how : {"click", "Alt+B", "frame close"}) {
            QTest::addRow("Form5, %s, introduction", how)
                << ScreenId::Form5 << Opener::StartIntroduction << QString(how);
            QTest::addRow("Form5, %s, mode choice", how) << ScreenId::Form5 << Opener::StartModeChoice << QString(how);
            QTest::addRow("Form6, %s", how) << ScreenId::Form6 << Opener::Evaluation << QString(how);
        }
    }

    void backLeavesTheOpenerAsItWas() {
        QFETCH(ScreenId, id);
        QFETCH(Opener, opener);
        QFETCH(QString, how);
        ScreenHarness h;
        ExplanatoryScreen& f = *Open(h, id, opener);
        if (how == "click") {
            Click(f.Command1);
        } else if (how == "Alt+B") {
            QVERIFY(QTest::qWaitForWindowActive(&f));  // keys reach the active window
            QTest::keyClick(&f, Qt::Key_B, Qt::AltModifier);
        } else {
            f.close();
        }
        // An access key presses its button after showing it pressed a moment.
        QTRY_VERIFY(!h.screens.IsLoaded(id));
        h.Settle();
        QVERIFY(!h.dialogs.ended);

        if (opener == Opener::Evaluation) {
            // Only this screen closed; nothing moved back to the start screen.
            QVERIFY(!h.screens.IsLoaded(ScreenId::Form2));
            QCOMPARE(h.VisibleScreens(), std::vector<ScreenId>{ScreenId::Form1});
            return;
        }
        // The start screen is in front, in the state it had.
        const bool modeChoice = opener == Opener::StartModeChoice;
        QCOMPARE(h.VisibleScreens(), std::vector<ScreenId>{ScreenId::Form2});
        Form2& start = h.screens.Get<Form2>();
        QCOMPARE(QApplication::activeWindow(), &start);
        QCOMPARE(start.Frame1->isVisible(), modeChoice);
        QCOMPARE(start.Command1->isEnabled(), !modeChoice);
    }

    void openingAgainShowsTheSameWindow_data() { AddPages(); }

    void openingAgainShowsTheSameWindow() {
        QFETCH(ScreenId, id);
        QFETCH(Opener, opener);
        ScreenHarness h;
        ExplanatoryScreen* f = Open(h, id, opener);
        OpenAgain(h, id, opener);
        QCOMPARE(h.screens.Find(id), f);
        QCOMPARE(WindowsTitled(Page(id).caption), 1);
        const ScreenId behind = opener == Opener::Evaluation ? ScreenId::Form1 : ScreenId::Form2;
        auto visible = h.VisibleScreens();
        std::sort(visible.begin(), visible.end());
        auto expected = std::vector<ScreenId>{behind, id};
        std::sort(expected.begin(), expected.end());
        QCOMPARE(visible, expected);
    }

    // The start screen stays usable beside Form5, and its button opens the
    // discussion again after "<< &Back".
    void theStartScreenStaysUsableBesideTheDiscussion() {
        ScreenHarness h;
        ExplanatoryScreen& f = *Open(h, ScreenId::Form5, Opener::StartIntroduction);
        Form2& start = h.screens.Get<Form2>();
        Click(start.Command1);
        QVERIFY(start.Frame1->isVisible());
        QCOMPARE(h.VisibleScreens(), (std::vector<ScreenId>{ScreenId::Form2, ScreenId::Form5}));

        Click(f.Command1);
        h.Settle();
        Click(start.Command3);
        QVERIFY(h.Visible(ScreenId::Form5));
        QCOMPARE(WindowsTitled("More Discussion of the Problem"), 1);
    }
};

QTEST_MAIN(ExplanatoryScreensTest)
#include "explanatory_screens_test.moc"
