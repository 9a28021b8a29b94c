// The IRR distribution view: histogram and cumulative views, summary, fits,
// refreshing during a run, and exporting.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QLineSeries>

#include <random>

#include "chart_test_support.h"
#include "core/solver/number_format.h"
#include "recording_dialogs.h"
#include "screen_harness.h"
#include "screens/stochastic/irr_distribution_view.h"

using namespace valmora;
using namespace valmora::testing;

namespace {

std::vector<double> NormalIrrs(int n, double mu = 0.2, double sigma = 0.05) {
    std::mt19937_64 gen(11);
    std::normal_distribution<double> d(mu, sigma);
    std::vector<double> v(n);
    for (double& x : v) x = d(gen);
    return v;
}

RunFigures Complete(long n) {
    RunFigures f;
    f.requested = f.simulations = f.withIrr = n;
    return f;
}

// The value shown beside a name in the summary table.
QString SummaryValue(const IrrDistributionView& v, const QString& name) {
    for (int r = 0; r < v.Summary->rowCount(); ++r)
        if (v.Summary->item(r, 0)->text() == name) return v.Summary->item(r, 1)->text();
    return "(missing)";
}

QStringList FitColumn(const IrrDistributionView& v, int col) {
    QStringList texts;
    for (int r = 0; r < v.Fits->rowCount(); ++r) texts << v.Fits->item(r, col)->text();
    return texts;
}

}  // namespace

class IrrDistributionViewTest : public QObject {
    Q_OBJECT

private:
    RecordingDialogs dialogs;
    QTemporaryDir dir;

    std::unique_ptr<IrrDistributionView> Open(const std::vector<double>& irrs, const RunFigures& figures) {
        auto v = std::make_unique<IrrDistributionView>(dialogs);
        v->SetRun(irrs, figures);
        v->show();
        (void)QTest::qWaitForWindowExposed(v.get());
        return v;
    }

private slots:
    void initTestCase() { PrepareApplication(); }

    void opensEmptyBeforeAnyRun() {
        IrrDistributionView v(dialogs);
        v.show();
        QCOMPARE(v.windowTitle(), QString("IRR Distribution"));
        QCOMPARE(v.Caption->text(), QString("0 simulations, 0 with an IRR. No IRR to show yet."));
        QCOMPARE(v.Bars, nullptr);
        QCOMPARE(FitColumn(v, 2), QStringList(6, "not fitted: needs at least two IRRs"));
        QCOMPARE(SummaryValue(v, "Simulations run"), QString("0"));
        QCOMPARE(SummaryValue(v, "Mean"), QString("(missing)"));
    }

    void showsHistogramSummaryAndRankedFits() {
        const std::vector<double> irrs = NormalIrrs(10000);
        RunFigures figures = Complete(10000);
        figures.requested = figures.simulations = 10010;
        figures.fallbacks = 7;
        figures.incompleteScans = 3;
        figures.missedRoots = 5;
        auto v = Open(irrs, figures);
        QCOMPARE(v->Caption->text(), QString("10010 simulations, 10000 with an IRR."));

        // Freedman-Diaconis bins, counts adding up to the IRRs kept.
        QVERIFY(v->AutoBins->isChecked());
        QCOMPARE(v->Bins->value(), FreedmanDiaconisBins(irrs));
        QCOMPARE(v->CurrentHistogram().Total(), 10000L);
        QCOMPARE(v->Bars->upperSeries()->count(), 4 * v->Bins->value());

        const auto s = Summarise(irrs);
        QCOMPARE(SummaryValue(*v, "Simulations run"), QString("10010"));
        QCOMPARE(SummaryValue(*v, "With an IRR"), QString("10000"));
        QCOMPARE(SummaryValue(*v, "Without an IRR"), QString("10"));
        QCOMPARE(SummaryValue(*v, "Mean"), QString::fromStdString(FormatRate(s->mean)));
        QCOMPARE(SummaryValue(*v, "5th percentile"), QString::fromStdString(FormatRate(s->p05)));
        QCOMPARE(SummaryValue(*v, "Median (50th percentile)"), QString::fromStdString(FormatRate(s->p50)));
        QCOMPARE(SummaryValue(*v, "95th percentile"), QString::fromStdString(FormatRate(s->p95)));
        QCOMPARE(SummaryValue(*v, "Largest IRR used instead"), QString("7"));
        QCOMPARE(SummaryValue(*v, "Searches stopped early"), QString("3"));
        QCOMPARE(SummaryValue(*v, "Searches that missed roots"), QString("5"));

        // Six fits ranked and drawn, the normal first; the kernel density unranked.
        QCOMPARE(FitColumn(*v, 0), QStringList({"1", "2", "3", "4", "5", "6", "-"}));
        QCOMPARE(FitColumn(*v, 1).first(), QString("normal"));
        QVERIFY(FitColumn(*v, 1).contains("lognormal (of 1 + IRR)"));
        QCOMPARE(FitColumn(*v, 1).last(), QString("kernel density"));
        QVERIFY(FitColumn(*v, 2).first().startsWith("mu = 0.2"));
        QCOMPARE(v->FitCurves.size(), 6u);
        QCOMPARE(v->FitCurves[0]->name(), QString("1. normal"));
        QVERIFY(v->KdeCurve);
        // The normal density scaled to the bins peaks near n * width / (sigma sqrt(2 pi)).
        double peak = 0;
        for (const QPointF& p : v->FitCurves[0]->points()) peak = std::max(peak, p.y());
        const double expected = 10000 * v->CurrentHistogram().BinWidth() / (0.05 * std::sqrt(2 * M_PI));
        QVERIFY2(std::abs(peak / expected - 1) < 0.03, qPrintable(QString::number(peak / expected)));
    }

    void binsAreAdjustableAndAutomaticAgain() {
        const std::vector<double> irrs = NormalIrrs(2000);
        auto v = Open(irrs, Complete(2000));
        QLineEdit* edit = v->Bins->findChild<QLineEdit*>();
        QTest::mouseDClick(edit, Qt::LeftButton);
        edit->selectAll();
        QTest::keyClicks(edit, "25");
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(!v->AutoBins->isChecked());
        QCOMPARE(v->CurrentHistogram().counts.size(), 25u);
        QCOMPARE(v->CurrentHistogram().Total(), 2000L);
        QCOMPARE(v->Bars->name().left(8), QString("25 bins "));

        QTest::mouseClick(v->AutoBins, Qt::LeftButton);
        QCOMPARE(v->Bins->value(), FreedmanDiaconisBins(irrs));
        QCOMPARE(static_cast<int>(v->CurrentHistogram().counts.size()), FreedmanDiaconisBins(irrs));
    }

    void cumulativeViewIsTheSecondTab() {
        auto v = Open(NormalIrrs(500), Complete(500));
        QTabBar* bar = v->Views->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        QVERIFY(v->CdfView->isVisible());
        QVERIFY(!v->HistogramView->isVisible());
        QCOMPARE(v->Ecdf->at(0).y(), 0.0);
        QCOMPARE(v->Ecdf->at(v->Ecdf->count() - 1).y(), 1.0);
        QCOMPARE(v->FitCdfs.size(), 6u);
        // Zoom and reset act on the view shown.
        const double width = Width(static_cast<QValueAxis*>(v->CdfView->chart()->axes(Qt::Horizontal).first()));
        Wheel(v->CdfView, PlotCentre(v->CdfView), 3);
        auto* x = static_cast<QValueAxis*>(v->CdfView->chart()->axes(Qt::Horizontal).first());
        QVERIFY(Width(x) < 0.6 * width);
        QTest::mouseClick(v->ResetButton, Qt::LeftButton);
        QCOMPARE(Width(x), width);
    }

    void refreshesDuringARunAndShowsAStoppedRun() {
        const std::vector<double> irrs = NormalIrrs(1000);
        RunFigures f;
        f.requested = 1000;
        f.simulations = 120;
        f.withIrr = 100;
        f.running = true;
        auto v = Open(std::vector<double>(irrs.begin(), irrs.begin() + 100), f);
        QCOMPARE(v->Caption->text(), QString("Running: 120 of 1000 simulations, 100 with an IRR."));
        QCOMPARE(v->CurrentHistogram().Total(), 100L);

        f.simulations = 480;
        f.withIrr = 400;
        f.running = false;
        f.stopped = true;
        v->SetRun(std::vector<double>(irrs.begin(), irrs.begin() + 400), f);
        QCOMPARE(v->Caption->text(), QString("stopped after 480 of 1000 simulations, 400 with an IRR."));
        QCOMPARE(SummaryValue(*v, "Run"), QString("stopped after 480 of 1000 simulations"));
        QCOMPARE(v->CurrentHistogram().Total(), 400L);
        QCOMPARE(v->HistogramView->chart()->axes().size(), 2);
    }

    void lawsOfOnePlusIrrNeedIrrsAboveMinusOne() {
        std::vector<double> irrs = NormalIrrs(300, -0.5, 0.3);  // some at or below -1
        auto v = Open(irrs, Complete(300));
        QCOMPARE(v->FitCurves.size(), 3u);
        const QStringList params = FitColumn(*v, 2);
        QVERIFY(params[params.size() - 3].endsWith(" at or below -1, where 1 + IRR has no logarithm"));
        QVERIFY(params.last().endsWith(" at or below -1, where 1 + IRR is not positive"));
        QCOMPARE(FitColumn(*v, 1).mid(params.size() - 3), QStringList({"lognormal", "gamma", "weibull"}));
    }

    void exportsChartAndCsv() {
        auto v = Open(NormalIrrs(3000), Complete(3000));
        dialogs.fileNames = {dir.filePath("dist.png"), dir.filePath("dist"), dir.filePath("fits")};
        QTest::mouseClick(v->PngButton, Qt::LeftButton);
        QTest::mouseClick(v->SvgButton, Qt::LeftButton);
        QTest::mouseClick(v->CsvButton, Qt::LeftButton);
        QCOMPARE(dialogs.saveDialogs.last(), QString("Export Summary and Fits||CSV Files (*.csv)|*.csv"));
        QVERIFY(dialogs.shown.empty());
        QCOMPARE(QImage(dir.filePath("dist.png")).size(), v->HistogramView->size());
        QVERIFY(FileBytes(dir.filePath("dist.svg")).contains("<svg"));

        const QStringList lines = QString::fromUtf8(FileBytes(dir.filePath("fits.csv"))).split('\n');
        QCOMPARE(lines.first(), QString("quantity,value"));
        QVERIFY(lines.contains("with_irr,3000"));
        const int fits = lines.indexOf("rank,distribution,parameter_1,value_1,parameter_2,value_2,aic,ks,p_value");
        QVERIFY(fits > 0);
        QVERIFY(lines[fits + 1].startsWith("1,normal,mu,"));
        QCOMPARE(lines[fits + 1].split(',').size(), 9);
        const int bins = lines.indexOf("bin_low,bin_high,count");
        QVERIFY(bins > fits);
        long total = 0;
        for (int k = bins + 1; k < lines.size() && !lines[k].isEmpty(); ++k) total += lines[k].split(',')[2].toLong();
        QCOMPARE(total, 3000L);
        QCOMPARE(dialogs.unexpected, 0);
        dialogs.saveDialogs.clear();
    }
};

QTEST_MAIN(IrrDistributionViewTest)
#include "irr_distribution_view_test.moc"
