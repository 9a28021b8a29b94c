// "IRR Distribution..." on the stochastic screen: off until a run, the view
// of the run's kept IRRs, and its refresh while a run goes.
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include "form3_driver.h"
#include "scripted_random.h"
#include "screens/stochastic/irr_distribution_view.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::Form3Driver;
using valmora::testing::ScriptedRandom;
using valmora::testing::UniformFor;

namespace {

std::deque<float> Draws(const std::vector<std::vector<double>>& series) {
    std::deque<float> uniforms;
    for (const auto& s : series)
        for (double p : s) uniforms.push_back(UniformFor(p));
    return uniforms;
}

IrrDistributionView* View(Form3* f) { return f->findChild<IrrDistributionView*>(); }

QString SummaryValue(const IrrDistributionView* v, const QString& name) {
    for (int r = 0; r < v->Summary->rowCount(); ++r)
        if (v->Summary->item(r, 0)->text() == name) return v->Summary->item(r, 1)->text();
    return "(missing)";
}

QStringList CsvLines(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split('\n') : QStringList();
}

// A run of `sims` one-payment simulations drawn from `random`, not saved,
// then its distribution view opened.
IrrDistributionView* RunAndOpenView(Form3Driver& d, ScriptedRandom& random, int sims) {
    d.h.screens.SetRandom(random);
    d.UniformOnTabOne("-4096", "4096", 1);
    d.ChooseNotSaving();
    d.f->HScroll1->setValue(sims);
    Click(d.f->Command4);
    Click(d.f->Command7);
    return View(d.f);
}

}  // namespace

class Form3DistributionTest : public QObject {
    Q_OBJECT

private slots:
    void showsTheKeptIrrsOfTheLastRun() {
        Form3Driver d;
        Form3* f = d.f;
        QCOMPARE(f->Command7->text(), QString("IRR &Distribution..."));
        QVERIFY(f->Command7->isVisible());
        QVERIFY(!f->Command7->isEnabled());
        // Rates 0.3, 0.2 and 0.1 (the lowest kept); 0.1; none; 0.2 and 0.1.
        ScriptedRandom random(Draws({{3600, -4310, 1716}, {1100, 0, 0}, {-500, 0, 0}, {2300, -1320, 0}}));
        d.h.screens.SetRandom(random);
        d.UniformOnTabOne("-4096", "4096", 3);
        d.ChooseNotSaving();
        f->HScroll1->setValue(4);
        Click(f->Command4);
        QVERIFY(f->Command7->isEnabled());
        QCOMPARE(View(f), nullptr);

        Click(f->Command7);
        IrrDistributionView* v = View(f);
        QVERIFY(v && v->isVisible());
        QCOMPARE(v->Caption->text(), QString("4 simulations, 3 with an IRR."));
        QCOMPARE(SummaryValue(v, "Simulations run"), QString("4"));
        QCOMPARE(SummaryValue(v, "Without an IRR"), QString("1"));
        QCOMPARE(SummaryValue(v, "Mean"), QString("0.1"));
        QCOMPARE(v->CurrentHistogram().Total(), 3L);
        // Three equal IRRs: nothing to fit.
        QCOMPARE(v->Fits->item(0, 2)->text(), QString("not fitted: every IRR is the same"));
    }

    // What the run display and the view show belongs to the settings on
    // screen: once one changes, the display is erased and the view says it
    // shows the last run.
    void aChangedSettingLeavesNoStaleDisplay() {
        Form3Driver d;
        Form3* f = d.f;
        ScriptedRandom random(Draws({{1100}, {1210}}));
        IrrDistributionView* v = RunAndOpenView(d, random, 2);
        const QString caption = "2 simulations, 2 with an IRR.";
        QCOMPARE(v->Caption->text(), caption);
        QCOMPARE(f->Command4->text(), QString("Iteration = 2"));
        QVERIFY(!f->Text7->text().isEmpty());

        // The seed or the increment changes: nothing of the run stays on the tab.
        for (QLineEdit* box : {f->Text14, f->Text9}) {
            const QString before = box->text();
            box->setFocus();
            QTest::keyClick(box, Qt::Key_End);
            QTest::keyClicks(box, "1");
            QCOMPARE(f->Command4->text(), QString("Begin Simulation(s)"));
            QVERIFY(f->Text7->text().isEmpty());
            QCOMPARE(f->MSHFlexGrid2->Text(0, 0), QString());
            QVERIFY(v->isVisible());
            QVERIFY(f->Command7->isEnabled());
            QCOMPARE(v->Caption->text(),
                     caption + " These are the last run's: the settings on screen have changed since.");
            // Typed back as it was, the view is the run's again.
            QTest::keyClick(box, Qt::Key_Backspace);
            QCOMPARE(box->text(), before);
            QCOMPARE(v->Caption->text(), caption);
        }
        // The next run is the view's again.
        ScriptedRandom again(Draws({{1100}, {1210}}));
        d.h.screens.SetRandom(again);
        f->Text9->setText("0.02");
        QVERIFY(v->Caption->text().endsWith("have changed since."));
        Click(f->Command4);
        QCOMPARE(v->Caption->text(), caption);
        QCOMPARE(f->Command4->text(), QString("Iteration = 2"));
    }

    void anOpenViewIsRefreshedDuringARun() {
        Form3Driver d;
        Form3* f = d.f;
        // One payment each, one IRR each; asking for the 2nd lowest gives a
        // notice in every simulation, a moment to look at the view mid-run.
        ScriptedRandom random(Draws({{1100}, {1210}, {1331}, {1100}, {1210}}));
        IrrDistributionView* v = RunAndOpenView(d, random, 2);
        QCOMPARE(v->Caption->text(), QString("2 simulations, 2 with an IRR."));

        f->HScroll1->setValue(3);
        d.h.ws.IrrChoice = 2;
        d.h.ws.NotifyOtherIrr = true;
        // Each notice takes 150 ms on the screens' clock: the view is
        // redrawn at the next notice after it.
        qint64 now = 0;
        d.h.screens.SetClock([&now] { return now; });
        QStringList seen;
        d.h.dialogs.onMessage = [&](const valmora::testing::Shown& shown) {
            if (shown.title != "Note!") return;
            seen << v->Caption->text();
            now += 150;
        };
        Click(f->Command4);
        QCOMPARE(seen.size(), 3);
        QCOMPARE(seen[0], QString("Running: 0 of 3 simulations, 0 with an IRR. No IRR to show yet."));
        QCOMPARE(seen[1], QString("Running: 2 of 3 simulations, 2 with an IRR."));
        QCOMPARE(seen[2], QString("Running: 3 of 3 simulations, 3 with an IRR."));
        QCOMPARE(v->Caption->text(), QString("3 simulations, 3 with an IRR."));
        QCOMPARE(SummaryValue(v, "Largest IRR used instead"), QString("3"));
    }

    // The CSV exported from the view while the run goes says so; so does
    // the view. Exported again after the run, it holds the whole run.
    void anExportDuringARunSaysTheRunIsGoing() {
        Form3Driver d;
        Form3* f = d.f;
        ScriptedRandom random(Draws({{1100}, {1210}, {1331}, {1100}, {1210}}));
        IrrDistributionView* v = RunAndOpenView(d, random, 2);
        f->HScroll1->setValue(3);
        d.h.ws.IrrChoice = 2;
        d.h.ws.NotifyOtherIrr = true;
        qint64 now = 0;
        d.h.screens.SetClock([&now] { return now; });
        QTemporaryDir dir;
        int notices = 0;
        QString runRow;
        d.h.dialogs.onMessage = [&](const valmora::testing::Shown& shown) {
            if (shown.title != "Note!") return;
            now += 150;
            if (++notices != 2) return;
            // Looking at the view behind the notice of the second simulation.
            runRow = SummaryValue(v, "Run");
            d.h.dialogs.fileNames.push_back(dir.filePath("during.csv"));
            QTest::mouseClick(v->CsvButton, Qt::LeftButton);
        };
        Click(f->Command4);
        QCOMPARE(notices, 3);
        QCOMPARE(runRow, QString("running: 2 of 3 simulations"));
        QStringList lines = CsvLines(dir.filePath("during.csv"));
        QVERIFY(lines.size() > 3);
        QCOMPARE(lines[1], QString("run,running: 2 of 3 simulations"));
        QVERIFY(lines.contains("simulations,2"));

        QCOMPARE(SummaryValue(v, "Run"), QString("(missing)"));
        d.h.dialogs.fileNames.push_back(dir.filePath("after.csv"));
        QTest::mouseClick(v->CsvButton, Qt::LeftButton);
        lines = CsvLines(dir.filePath("after.csv"));
        QCOMPARE(lines[1], QString("run,complete"));
        QVERIFY(lines.contains("simulations,3"));
        QCOMPARE(d.h.dialogs.unexpected, 0);
    }
};

QTEST_MAIN(Form3DistributionTest)
#include "form3_distribution_test.moc"
