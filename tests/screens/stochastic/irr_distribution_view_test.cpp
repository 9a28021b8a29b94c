// The IRR distribution view: histogram and cumulative views, summary, fits
// and their p-values, refreshing during a run, and exporting.
#include <QCheckBox>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QLocale>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>

#include <limits>
#include <random>

#include "chart_test_support.h"
#include "core/solver/number_format.h"
#include "core/statistics/ks_bootstrap.h"
#include "recording_dialogs.h"
#include "screen_harness.h"
#include "screens/stochastic/irr_distribution_view.h"

using namespace valmora;
using namespace valmora::testing;

namespace {

const QString kComputing = QString("computing") + QChar(0x2026);

std::vector<double> NormalIrrs(int n, double mu = 0.2, double sigma = 0.05) {
    std::mt19937_64 gen(11);
    std::normal_distribution<double> d(mu, sigma);
    std::vector<double> v(n);
    for (double& x : v) x = d(gen);
    return v;
}

std::vector<double> UniformIrrs(int n) {
    std::mt19937_64 gen(12);
    std::uniform_real_distribution<double> d(-0.5, 0.5);
    std::vector<double> v(n);
    for (double& x : v) x = d(gen);
    return v;
}

RunFigures Complete(long n) {
    RunFigures f;
    f.requested = f.simulations = f.withIrr = n;
    return f;
}

RunFigures Running(long done, long requested) {
    RunFigures f;
    f.requested = requested;
    f.simulations = f.withIrr = done;
    f.running = true;
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

// The column of the ranked fits only.
QStringList RankedColumn(const IrrDistributionView& v, int col) {
    return FitColumn(v, col).mid(0, static_cast<int>(v.CurrentFits().ranked.size()));
}

// Every text the window shows: caption, tables, the line under the fits,
// the legends and the axes' titles.
QStringList AllTexts(const IrrDistributionView& v) {
    QStringList texts = {v.Caption->text(), v.FitVerdict->text()};
    for (const QTableWidget* t : {v.Summary, v.Fits})
        for (int r = 0; r < t->rowCount(); ++r)
            for (int c = 0; c < t->columnCount(); ++c) texts << t->item(r, c)->text();
    for (ZoomableChartView* view : {v.HistogramView, v.CdfView})
        for (QLegendMarker* m : view->chart()->legend()->markers())
            if (m->isVisible()) texts << m->label();
    return texts;
}

// The texts drawn in a chart's scene: axis labels, titles, legend.
int SceneTexts(ZoomableChartView* view) {
    int count = 0;
    for (QGraphicsItem* item : view->chart()->scene()->items())
        if (item->isVisible() &&
            (item->type() == QGraphicsTextItem::Type || item->type() == QGraphicsSimpleTextItem::Type))
            ++count;
    return count;
}

int VisibleMarkers(ZoomableChartView* view) {
    int count = 0;
    for (QLegendMarker* m : view->chart()->legend()->markers()) count += m->isVisible();
    return count;
}

// WCAG contrast of two colours.
double Contrast(const QColor& a, const QColor& b) {
    auto luminance = [](const QColor& c) {
        auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colours of a chart's background: those of its gradient.
QList<QColor> BackgroundColours(ZoomableChartView* view) {
    const QBrush brush = view->chart()->backgroundBrush();
    if (!brush.gradient()) return {brush.color()};
    QList<QColor> colours;
    for (const auto& stop : brush.gradient()->stops()) colours << stop.second;
    return colours;
}

double LeastContrast(const QColor& c, const QList<QColor>& background) {
    double least = 21;
    for (const QColor& b : background) least = std::min(least, Contrast(c, b));
    return least;
}

double Distance(const QColor& a, const QColor& b) {
    return std::hypot(a.red() - b.red(), a.green() - b.green(), a.blue() - b.blue());
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

    // Lets the background bootstrap finish and its p-values reach the table.
    static bool AwaitPValues(IrrDistributionView& v) {
        if (!RankedColumn(v, 5).contains(kComputing)) return true;
        QSignalSpy shown(&v, &IrrDistributionView::PValuesShown);
        return shown.wait(60000);
    }

    QStringList ExportedCsv(IrrDistributionView& v, const QString& name) {
        dialogs.fileNames = {dir.filePath(name)};
        QTest::mouseClick(v.CsvButton, Qt::LeftButton);
        return QString::fromUtf8(FileBytes(dir.filePath(name + ".csv"))).split('\n');
    }

private slots:
    void initTestCase() { PrepareApplication(); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void opensEmptyBeforeAnyRun() {
        IrrDistributionView v(dialogs);
        v.show();
        QCOMPARE(v.windowTitle(), QString("IRR Distribution"));
        QCOMPARE(v.Caption->text(), QString("0 simulations, 0 with an IRR. No IRR to show yet."));
        QCOMPARE(v.Bars, nullptr);
        QCOMPARE(v.Ecdf, nullptr);
        QCOMPARE(FitColumn(v, 2), QStringList(6, "not fitted: needs at least two IRRs"));
        QCOMPARE(FitColumn(v, 1), QStringList({"normal", "lognormal (of 1 + IRR)", "logistic", "gamma (of 1 + IRR)",
                                               "weibull (of 1 + IRR)", "Student t"}));
        QCOMPARE(SummaryValue(v, "Simulations run"), QString("0"));
        QCOMPARE(SummaryValue(v, "Mean"), QString("(missing)"));
        QVERIFY(!v.FitVerdict->isVisible());
        QCOMPARE(VisibleMarkers(v.HistogramView), 0);
    }

    void aGermanDesktopSeesDecimalCommas() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        auto v = Open(NormalIrrs(200), Complete(200));
        const QString mean = SummaryValue(*v, "Mean");
        QVERIFY2(mean.startsWith("0,") && !mean.contains('.'), qPrintable(mean));
        const QString params = RankedColumn(*v, 2).join(" | ");
        QVERIFY2(params.contains("; ") && !params.contains(QRegularExpression("[0-9][.][0-9]")), qPrintable(params));
        QVERIFY(v->HistogramView->chart()->localizeNumbers());
    }

    void tablesAreReachedAndLeftByTab() {
        auto v = Open(NormalIrrs(200), Complete(200));
        v->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(v.get()));
        // Both tables and both charts carry names for assistive technology.
        for (QWidget* w : std::initializer_list<QWidget*>{v->Summary, v->Fits, v->HistogramView, v->CdfView})
            QVERIFY(!w->accessibleName().isEmpty());
        // From the summary, Tab goes on to the fits table and beyond; Shift+Tab
        // comes back; neither stays inside a table.
        v->Summary->setFocus();
        QTest::keyClick(v->Summary, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), v->Fits);
        QTest::keyClick(v->Fits, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != v->Fits);
        v->Fits->setFocus();
        QTest::keyClick(v->Fits, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), v->Summary);
        // Every parameter text shows whole: its column is as wide as it.
        for (int r = 0; r < v->Fits->rowCount(); ++r) {
            const QTableWidgetItem* item = v->Fits->item(r, 2);
            QVERIFY(QFontMetrics(v->Fits->font()).horizontalAdvance(item->text()) <= v->Fits->columnWidth(2));
        }
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
        QCOMPARE(SummaryValue(*v, "Run"), QString("(missing)"));
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
        for (const char* label : {"lognormal (of 1 + IRR)", "gamma (of 1 + IRR)", "weibull (of 1 + IRR)", "Student t"})
            QVERIFY2(FitColumn(*v, 1).contains(label), label);
        QCOMPARE(FitColumn(*v, 1).last(), QString("kernel density"));
        QVERIFY(FitColumn(*v, 2).first().startsWith("mu = 0.2"));
        QCOMPARE(v->FitCurves.size(), 6u);
        QCOMPARE(v->FitCurves[0]->name(), QString("1. normal"));
        QVERIFY(v->KdeCurve);
        QCOMPARE(VisibleMarkers(v->HistogramView), 8);  // bars, six fits, kernel density
        // The normal density scaled to the bins peaks near n * width / (sigma sqrt(2 pi)).
        double peak = 0;
        for (const QPointF& p : v->FitCurves[0]->points()) peak = std::max(peak, p.y());
        const double expected = 10000 * v->CurrentHistogram().BinWidth() / (0.05 * std::sqrt(2 * M_PI));
        QVERIFY2(std::abs(peak / expected - 1) < 0.03, qPrintable(QString::number(peak / expected)));
    }

    // The p-values come from the background: "computing…" with the number of
    // resamples until they are in, then the same p-values as the command
    // line's for these IRRs.
    void pValuesArriveFromTheBackground() {
        const std::vector<double> irrs = NormalIrrs(300);
        auto v = Open(irrs, Complete(300));
        QCOMPARE(RankedColumn(*v, 5), QStringList(6, kComputing));
        QCOMPARE(RankedColumn(*v, 6), QStringList(6, "200"));
        QCOMPARE(
            v->FitVerdict->text(),
            "p-values: " + kComputing + " (200 resamples of a parametric bootstrap of the KS distance for each law)");
        QVERIFY(AwaitPValues(*v));
        FitReport expected = FitDistributions(irrs);
        QVERIFY(BootstrapPValues(expected, {}));
        QStringList pValues;
        for (const DistributionFit& fit : expected.ranked) pValues << QString::number(*fit.pValue, 'g', 6);
        QCOMPARE(RankedColumn(*v, 5), pValues);
        QCOMPARE(RankedColumn(*v, 6), QStringList(6, "200"));
        QCOMPARE(v->FitVerdict->text(),
                 QString("p-values from 200 resamples of a parametric bootstrap of the KS distance for each law."));
        QVERIFY(!AllTexts(*v).join(' ').contains(kComputing));
    }

    // A new sample stops the p-values of the one before: only those of the
    // IRRs shown reach the table.
    void aNewSampleReplacesThePValuesComing() {
        auto v = Open(NormalIrrs(300), Complete(300));
        const std::vector<double> uniform = UniformIrrs(600);
        v->SetRun(uniform, Complete(600));
        QSignalSpy shown(v.get(), &IrrDistributionView::PValuesShown);
        QVERIFY(AwaitPValues(*v));
        QCoreApplication::processEvents();
        QCOMPARE(shown.count(), 1);
        // Uniform IRRs: no law fits, and the window says so.
        QCOMPARE(RankedColumn(*v, 5), QStringList(6, "0.00497512"));
        QCOMPARE(v->FitVerdict->text(),
                 QString("p-values from 200 resamples of a parametric bootstrap of the KS distance for each law.\n"
                         "No law fits at the 1 % level: the best by AIC, weibull, has p = 0.00498."));
    }

    void noInfiniteStatisticIsShownAsANumber() {
        const double big = std::numeric_limits<double>::max();
        const std::vector<double> irrs = {-big, -big, -big, big, big, big};
        auto v = Open(irrs, Complete(6));
        QVERIFY(AwaitPValues(*v));
        QCOMPARE(SummaryValue(*v, "Standard deviation"), QString("too large to compute"));
        for (const QString& text : AllTexts(*v)) QVERIFY2(!text.contains("inf", Qt::CaseInsensitive), qPrintable(text));
        // The laws of 1 + IRR are refused, saying why.
        const QStringList params = FitColumn(*v, 2);
        QVERIFY(params.contains("not fitted: 3 IRRs are at or below -1, where 1 + IRR is not positive"));
        const QStringList csv = ExportedCsv(*v, "huge");
        QVERIFY(csv.contains("sd,too large to compute"));
        QVERIFY2(!csv.join('\n').contains("inf", Qt::CaseInsensitive), qPrintable(csv.join('\n')));
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

    // One of a thing is never "1 things".
    void countsOfOneAreSingular() {
        const struct {
            std::vector<double> irrs;
            RunFigures figures;
            QString caption;
            QString run;
        } cases[] = {
            {{0.1}, Complete(1), "1 simulation, 1 with an IRR.", "(missing)"},
            {{0.1}, Running(1, 1), "Running: 1 of 1 simulation, 1 with an IRR.", "running: 1 of 1 simulation"},
            {{0.1, 0.2},
             Running(2, 10),
             "Running: 2 of 10 simulations, 2 with an IRR.",
             "running: 2 of 10 simulations"},
        };
        for (const auto& c : cases) {
            auto v = Open(c.irrs, c.figures);
            QCOMPARE(v->Caption->text(), c.caption);
            QCOMPARE(SummaryValue(*v, "Run"), c.run);
        }
        auto v = Open(NormalIrrs(50), Complete(50));
        v->Bins->setValue(1);
        QVERIFY2(v->Bars->name().startsWith("1 bin of "), qPrintable(v->Bars->name()));
        v->Bins->setValue(2);
        QVERIFY2(v->Bars->name().startsWith("2 bins of "), qPrintable(v->Bars->name()));
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

    // The empirical line is drawn in the text colour, far from every fit's
    // colour, and every line stands out from the chart's background, light
    // or dark as the window is.
    void linesStandOutOnLightAndDarkPalettes() {
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(35, 35, 40));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        for (const QPalette& palette : {QApplication::palette(), dark}) {
            IrrDistributionView v(dialogs);
            v.setPalette(palette);
            v.SetRun(NormalIrrs(500), Complete(500));
            const bool isDark = palette.color(QPalette::Window).lightness() < 128;
            QCOMPARE(v.CdfView->chart()->theme(), isDark ? QChart::ChartThemeDark : QChart::ChartThemeLight);
            const QList<QColor> background = BackgroundColours(v.CdfView);
            const QColor ecdf = v.Ecdf->pen().color();
            QCOMPARE(ecdf, palette.color(QPalette::WindowText));
            QVERIFY2(LeastContrast(ecdf, background) >= 4.5,
                     qPrintable(QString::number(LeastContrast(ecdf, background))));
            for (QLineSeries* fit : v.FitCdfs) {
                const QColor c = fit->pen().color();
                QVERIFY2(LeastContrast(c, background) >= 3, qPrintable(fit->name()));
                QVERIFY2(Distance(c, ecdf) > 150, qPrintable(fit->name()));
            }
            // The fits apart from one another.
            for (std::size_t a = 0; a < v.FitCdfs.size(); ++a)
                for (std::size_t b = a + 1; b < v.FitCdfs.size(); ++b)
                    QVERIFY(Distance(v.FitCdfs[a]->pen().color(), v.FitCdfs[b]->pen().color()) > 80);
        }
    }

    // Redrawn while a run goes (never back in the event loop in between), the
    // charts keep their two axes and their texts: nothing piles up.
    void redrawsDuringARunKeepTheAxesClean() {
        const std::vector<double> irrs = NormalIrrs(1000);
        auto v = Open({}, Running(0, 1000));
        auto* x = v->HistogramView->chart()->axes(Qt::Horizontal).first();
        // As the run's display does: redraw, then let it paint.
        auto redraw = [&](int n) {
            v->SetRun(std::vector<double>(irrs.begin(), irrs.begin() + n), Running(n, 1000));
            QCoreApplication::processEvents();
        };
        redraw(100);
        const int texts = SceneTexts(v->HistogramView), cdfTexts = SceneTexts(v->CdfView);
        for (int k = 2; k <= 8; ++k) {
            redraw(100 * k);
            QCOMPARE(v->HistogramView->chart()->axes().size(), 2);
            QCOMPARE(v->CdfView->chart()->axes().size(), 2);
            QCOMPARE(v->HistogramView->chart()->axes(Qt::Horizontal).first(), x);
            QVERIFY(SceneTexts(v->HistogramView) < texts + 10);
        }
        // Back to the first IRRs, the same texts as then.
        redraw(100);
        QCOMPARE(SceneTexts(v->HistogramView), texts);
        QCOMPARE(SceneTexts(v->CdfView), cdfTexts);
        QCOMPARE(v->HistogramView->chart()->series().size(), 8);  // bars, six fits, kernel density
        QCOMPARE(VisibleMarkers(v->HistogramView), 8);
    }

    void refreshesDuringARunAndShowsAStoppedRun() {
        const std::vector<double> irrs = NormalIrrs(1000);
        RunFigures f = Running(120, 1000);
        f.withIrr = 100;
        auto v = Open(std::vector<double>(irrs.begin(), irrs.begin() + 100), f);
        QCOMPARE(v->Caption->text(), QString("Running: 120 of 1000 simulations, 100 with an IRR."));
        QCOMPARE(SummaryValue(*v, "Run"), QString("running: 120 of 1000 simulations"));
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
        for (int r = params.size() - 3; r < params.size(); ++r) {
            QVERIFY(params[r].startsWith("not fitted: "));
            QVERIFY(params[r].contains(" at or below -1, where 1 + IRR "));
        }
        QCOMPARE(FitColumn(*v, 1).mid(params.size() - 3),
                 QStringList({"lognormal (of 1 + IRR)", "gamma (of 1 + IRR)", "weibull (of 1 + IRR)"}));
    }

    // An export while the run goes says so, in the file as in the window.
    void anExportDuringARunSaysTheRunIsGoing() {
        const std::vector<double> irrs = NormalIrrs(1799);
        auto v = Open(irrs, Running(1799, 5000));
        const QStringList lines = ExportedCsv(*v, "running");
        QCOMPARE(lines[1], QString("run,running: 1799 of 5000 simulations"));
        QVERIFY(lines.contains("simulations,1799"));
        QCOMPARE(SummaryValue(*v, "Run"), QString("running: 1799 of 5000 simulations"));
        // Its p-values were still coming.
        const int fits = lines.indexOf(
            "rank,distribution,parameter_1,value_1,parameter_2,value_2,parameter_3,value_3,aic,ks,p_value,resamples,"
            "note");
        QVERIFY(fits > 0);
        QCOMPARE(lines[fits + 1].split(',')[10], kComputing);
    }

    void exportsChartAndCsv() {
        auto v = Open(NormalIrrs(3000), Complete(3000));
        QVERIFY(AwaitPValues(*v));
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
        QCOMPARE(lines[1], QString("run,complete"));
        QVERIFY(lines.contains("with_irr,3000"));
        const int fits = lines.indexOf(
            "rank,distribution,parameter_1,value_1,parameter_2,value_2,parameter_3,value_3,aic,ks,p_value,resamples,"
            "note");
        QVERIFY(fits > 0);
        QVERIFY(lines[fits + 1].startsWith("1,normal,mu,"));
        for (int k = 1; k <= 6; ++k) {
            const QStringList fields = lines[fits + k].split(',');
            QCOMPARE(fields[0], QString::number(k));
            QCOMPARE(fields[11], QString("200"));
            bool number = false;
            fields[10].toDouble(&number);
            QVERIFY2(number, qPrintable(lines[fits + k]));
        }
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
