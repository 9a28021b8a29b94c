// "NPV Profile..." on the deterministic screen: when it can be used, and the
// window it opens for the series on the screen.
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QPushButton>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <cmath>

#include "form1_driver.h"
#include "profile_labels.h"
#include "screens/deterministic/npv_profile_window.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::Form1Driver;

namespace {

NpvProfileWindow* ProfileWindow(Form1* f) { return f->findChild<NpvProfileWindow*>(); }

QStringList MarkLabels(const NpvProfileWindow* w) { return valmora::testing::LabelTexts(w, w->IrrMarks); }

QStringList MissedRootNames(const NpvProfileWindow* w) {
    QStringList names;
    for (const QScatterSeries* s : w->MissedRootMarks) names << s->name();
    return names;
}

}  // namespace

class Form1NpvProfileTest : public QObject {
    Q_OBJECT

private slots:
    // Enabled once the payments are analysed, with or without a search.
    void enabledOnceTheSeriesIsAnalysed() {
        Form1Driver d;
        Form1* f = d.f;
        QCOMPARE(f->Command5->text(), QString("NPV &Profile..."));
        QVERIFY(f->Command5->isVisible());
        QVERIFY(!f->Command5->isEnabled());
        d.TypeInvestment("100");
        d.EnterPayments({"230", "-132"});
        QVERIFY(!f->Command5->isEnabled());
        Click(f->Command1);
        QVERIFY(f->Command5->isEnabled());
        Click(f->Command3);
        QVERIFY(f->Command5->isEnabled());
        // Below the frames, between the buttons that leave the screen.
        QVERIFY(f->Command5->geometry().top() >= f->Frame2->geometry().bottom());
        QVERIFY(f->Command5->geometry().left() > f->Command4->geometry().right());
        QVERIFY(f->Command5->geometry().right() < f->Command2->geometry().left());
    }

    // An analysis that fails leaves nothing to draw.
    void disabledAfterAFailedAnalysis() {
        Form1Driver d;
        Form1* f = d.f;
        d.TypeInvestment("1000");
        d.EnterPayments({".1"});
        Click(f->Command1);
        QVERIFY(f->Command5->isEnabled());
        // An investment of 1E+308 against a payment of 0.1 has no whole-number bound.
        f->Text1->selectAll();
        f->Text1->insert("1e308");
        QVERIFY(!f->Command5->isEnabled());
        Click(f->Command1);
        QCOMPARE(d.h.dialogs.Texts().size(), 1);
        QVERIFY(!f->Command5->isEnabled());
        QCOMPARE(ProfileWindow(f), nullptr);
    }

    // Opened before roots are located, the window shows the profile with no
    // IRR marked; locating them marks them in the open window.
    void opensBeforeRootsAreLocated() {
        Form1Driver d;
        Form1* f = d.f;
        d.TypeInvestment("100");
        d.EnterPayments({"230", "-132"});
        Click(f->Command1);
        Click(f->Command5);
        NpvProfileWindow* w = ProfileWindow(f);
        QVERIFY(w && w->isVisible());
        QVERIFY(w->Caption->text().startsWith("No IRR listed yet: \"Locate Root(s)\" lists them."));
        QVERIFY(w->IrrMarks.empty() && w->MissedRootMarks.empty() && w->MissedAreas.empty());
        QVERIFY(w->AxisX->min() <= -0.5 && w->AxisX->max() >= 1.0);
        QVERIFY(w->Profile->count() > 400);
        Click(f->Command3);
        QVERIFY(w->isVisible());
        QCOMPARE(MarkLabels(w), QStringList({"0.2", "0.1"}));
        QCOMPARE(w->Caption->text(), QString("2 IRRs listed."));
    }

    // -100 220 -121 = -(10 - 11 x)^2: f touches 0 at the rate 0.1 without
    // changing sign, so the search lists nothing; the window marks the root.
    void aTouchingRootIsMarked() {
        Form1Driver d;
        Form1* f = d.f;
        d.Evaluate("100", {"220", "-121"});
        QCOMPARE(f->MSHFlexGrid2->Text(1, 1), QString());
        QVERIFY(f->Command5->isEnabled());
        Click(f->Command5);
        NpvProfileWindow* w = ProfileWindow(f);
        QVERIFY(w && w->isVisible());
        QVERIFY(w->IrrMarks.empty());
        QCOMPARE(MissedRootNames(w), QStringList("Touching root = 0.1"));
        QCOMPARE(valmora::testing::LabelTexts(w, w->MissedRootMarks), QStringList("0.1"));
        QVERIFY(w->Caption->text().startsWith("No IRR is listed for this series. Hollow marks:"));
        d.h.dialogs.shown.clear();
    }

    void opensTheProfileWithBothIrrsMarked() {
        Form1Driver d;
        Form1* f = d.f;
        d.Evaluate("100", {"230", "-132"});
        QCOMPARE(ProfileWindow(f), nullptr);
        Click(f->Command5);
        NpvProfileWindow* w = ProfileWindow(f);
        QVERIFY(w && w->isVisible());
        QCOMPARE(MarkLabels(w), QStringList({"0.2", "0.1"}));
        QCOMPARE(w->AxisX->titleText(), QString("Rate per period i"));
        QVERIFY(w->MissedAreas.empty());
        // What the screen lists is what the window marks.
        QCOMPARE(f->MSHFlexGrid2->Text(1, 1), MarkLabels(w)[0]);
        QVERIFY(w->MissedRootMarks.empty());
        QVERIFY(d.h.dialogs.shown.empty());
    }

    void rootsTheGridMissedAreShaded() {
        Form1Driver d;
        Form1* f = d.f;
        // Roots x = 0.5 and 0.505 share the grid step (0.49, 0.51].
        d.Evaluate("505", {"2262.5", "-3005", "1000"});
        Click(f->Command5);
        NpvProfileWindow* w = ProfileWindow(f);
        QVERIFY(w);
        QCOMPARE(MarkLabels(w), QStringList({"-0.5"}));
        // Both roots of the step are marked apart, with their rates.
        QCOMPARE(MissedRootNames(w), QStringList({"Missed root = 1.0", "Missed root = 0.9802"}));
        QCOMPARE(valmora::testing::LabelTexts(w, w->MissedRootMarks), QStringList({"1.0", "0.9802"}));
        QCOMPARE(w->MissedAreas.size(), size_t(1));
        const QList<QPointF> edge = w->MissedAreas[0]->upperSeries()->points();
        QVERIFY(!edge.isEmpty());
        QCOMPARE(std::round(edge.first().x() * 1e4) / 1e4, 0.9608);
        QCOMPARE(std::round(edge.last().x() * 1e4) / 1e4, 1.0408);
    }

    void apiModeShowsTheAnnualRate() {
        Form1Driver d;
        Form1* f = d.f;
        d.Evaluate("1000", {"500", "500", "500"});
        Click(f->Option2);
        valmora::testing::Retype(f->Text7, "12");
        QVERIFY(!f->Command5->isEnabled());
        Click(f->Command1);
        Click(f->Command3);
        Click(f->Command5);
        NpvProfileWindow* w = ProfileWindow(f);
        QVERIFY(w);
        QCOMPARE(w->AxisX->titleText(), QString("Annual rate (API) = 12 x rate per period"));
        QCOMPARE(MarkLabels(w), QStringList({"2.80502"}));
        QVERIFY(w->AxisX->min() < 2.80502 && w->AxisX->max() > 2.80502);
    }

    void anOpenWindowFollowsTheResults() {
        Form1Driver d;
        Form1* f = d.f;
        d.Evaluate("100", {"230", "-132"});
        Click(f->Command5);
        NpvProfileWindow* w = ProfileWindow(f);
        QVERIFY(w->isVisible());
        // Editing a payment erases the analysis: the button goes off and the window closes.
        Form1Driver::ClickCell(f->MSHFlexGrid1, 1, 2);
        QTest::keyClick(f->MSHFlexGrid1, Qt::Key_Delete);
        QVERIFY(!f->Command5->isEnabled());
        QVERIFY(!w->isVisible());
        // A new search with the window open again redraws it.
        QTest::keyClicks(f->MSHFlexGrid1, "-100");
        QTest::keyClick(f->MSHFlexGrid1, Qt::Key_Return);
        Click(f->Command1);
        Click(f->Command3);
        Click(f->Command5);
        QVERIFY(w->isVisible());
        QCOMPARE(ProfileWindow(f), w);
        QCOMPARE(w->IrrMarks.size(), std::size_t(d.h.ws.RootCount));
        // So does a new number of periods per year.
        Click(f->Option2);
        valmora::testing::Retype(f->Text7, "4");
        QVERIFY(!f->Command5->isEnabled());
        QVERIFY(!w->isVisible());
    }

    // Esc or "Close" close the window; the screen and its results stay.
    void escapeOrCloseClosesTheWindow() {
        Form1Driver d;
        Form1* f = d.f;
        d.Evaluate("100", {"230", "-132"});
        Click(f->Command5);
        NpvProfileWindow* w = ProfileWindow(f);
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        Click(f->Command5);
        QVERIFY(w->isVisible());
        QCOMPARE(w->CloseButton->text(), QString("&Close"));
        Click(w->CloseButton);
        QVERIFY(!w->isVisible());
        QVERIFY(f->Command5->isEnabled());
        QCOMPARE(f->MSHFlexGrid2->Text(1, 1), QString("0.2"));
    }

    // The window never marks rates other than those the screen lists: a
    // search with a finer increment is what it shows next.
    void aFinerSearchIsWhatTheWindowShows() {
        Form1Driver d;
        Form1* f = d.f;
        valmora::testing::Retype(f->Text4, "0.5");  // one step holds all three roots
        d.Evaluate("1000", {"3600", "-4310", "1716"});
        Click(f->Command5);
        NpvProfileWindow* w = ProfileWindow(f);
        QCOMPARE(MarkLabels(w).size(), 1);
        valmora::testing::Retype(f->Text4, "0.01");
        Click(f->Command1);
        // The rates it marked are gone from the screen, and from the window.
        QVERIFY(w->isVisible());
        QVERIFY(MarkLabels(w).isEmpty());
        Click(f->Command3);
        QCOMPARE(f->MSHFlexGrid2->Rows(), 4);
        QCOMPARE(MarkLabels(w), QStringList({"0.3", "0.2", "0.1"}));
    }
};

QTEST_MAIN(Form1NpvProfileTest)
#include "form1_npv_profile_test.moc"
