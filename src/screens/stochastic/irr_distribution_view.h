// The distribution of the IRRs a simulation run kept: histogram (bins by the
// Freedman-Diaconis rule, adjustable) or empirical CDF, the run's summary,
// and normal, lognormal and logistic fits by maximum likelihood overlaid and
// ranked by AIC, with a kernel density estimate. Exports the chart (PNG, SVG)
// and the summary and fits (CSV).
#pragma once

#include <QWidget>

#include <optional>
#include <span>
#include <vector>

#include "core/statistics/fits.h"
#include "core/statistics/histogram.h"
#include "core/statistics/kernel_density.h"
#include "core/statistics/summary.h"

class QAreaSeries;
class QChart;
class QCheckBox;
class QLabel;
class QLineSeries;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace valmora {

namespace ui {
class Dialogs;
}
class ZoomableChartView;

// The counts of a run besides its kept IRRs.
struct RunFigures {
    long requested = 0;          // simulations asked for
    long simulations = 0;        // simulations run
    long withIrr = 0;            // simulations that kept an IRR
    long fallbacks = 0;          // kept the largest IRR instead of the one asked for
    long incompleteScans = 0;    // searches that stopped before their bound
    long missedRoots = 0;        // searches that listed fewer roots than lie in range
    long keptFromExact = 0;      // kept IRRs chosen from the exact roots, the list being incomplete or wrong
    bool running = false;        // the run is still going
    bool stopped = false;        // the user stopped the run
    bool otherSettings = false;  // the settings on screen are no longer those the run was made with
};

class IrrDistributionView : public QWidget {
    Q_OBJECT
public:
    explicit IrrDistributionView(ui::Dialogs& dialogs, QWidget* parent = nullptr);

    // Shows the kept IRRs of a run (rates per period times the periods per year).
    void SetRun(std::span<const double> irrs, const RunFigures& figures);

    // The summary and fits as CSV text.
    QString CsvText() const;

    QLabel* Caption;
    QTabWidget* Views;  // "Histogram", "Cumulative"
    ZoomableChartView* HistogramView;
    ZoomableChartView* CdfView;
    QSpinBox* Bins;
    QCheckBox* AutoBins;  // Freedman-Diaconis
    QPushButton* ResetButton;
    QPushButton* PngButton;
    QPushButton* SvgButton;
    QPushButton* CsvButton;
    QTableWidget* Summary;
    QTableWidget* Fits;

    // What is drawn.
    QAreaSeries* Bars = nullptr;
    QLineSeries* Ecdf = nullptr;
    std::vector<QLineSeries*> FitCurves;  // density curves in rank order
    std::vector<QLineSeries*> FitCdfs;    // distribution functions in rank order
    QLineSeries* KdeCurve = nullptr;
    const Histogram& CurrentHistogram() const { return histogram_; }
    const FitReport& CurrentFits() const { return fits_; }

private:
    void Redraw();
    void DrawHistogram();
    void DrawCdf();
    void FillSummary();
    void FillFits();
    ZoomableChartView* ActiveView() const;

    ui::Dialogs& dialogs_;
    QChart* histogramChart_;
    QChart* cdfChart_;
    std::vector<double> irrs_;
    RunFigures figures_;
    std::optional<SampleSummary> summary_;
    Histogram histogram_;
    FitReport fits_;
    std::optional<KernelDensity> kde_;
};

}  // namespace valmora
