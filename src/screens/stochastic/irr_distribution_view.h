// The distribution of the IRRs a simulation run kept: histogram (bins by the
// Freedman-Diaconis rule, adjustable) or empirical CDF, the run's summary,
// and the maximum-likelihood fits (normal, lognormal, logistic, gamma,
// Weibull, Student t) overlaid and ranked by AIC, with a kernel density
// estimate. The fits' p-values come from a parametric bootstrap computed in
// the background. Exports the chart (PNG, SVG) and the summary and fits
// (CSV).
#pragma once

#include <QWidget>

#include <array>
#include <atomic>
#include <memory>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "core/statistics/fits.h"
#include "core/statistics/histogram.h"
#include "core/statistics/kernel_density.h"
#include "core/statistics/ks_bootstrap.h"
#include "core/statistics/summary.h"

class QAreaSeries;
class QChart;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineSeries;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QValueAxis;

namespace valmora {

namespace ui {
class Dialogs;
}
class ZoomableChartView;

// The counts of a run besides its kept IRRs.
struct RunFigures {
    long requested = 0;            // simulations asked for
    long simulations = 0;          // simulations run
    long withIrr = 0;              // simulations that kept an IRR
    long fallbacks = 0;            // kept the largest IRR instead of the one asked for
    long incompleteScans = 0;      // searches that stopped before their bound
    long missedRoots = 0;          // searches that listed fewer roots than lie in range
    long keptFromExact = 0;        // kept IRRs chosen from the exact roots, the list being incomplete or wrong
    bool running = false;          // the run is still going
    bool stopped = false;          // the user stopped the run
    bool otherSettings = false;    // the settings on screen are no longer those the run was made with
    std::optional<double> hurdle;  // the run's hurdle rate, when it had one
};

class IrrDistributionView : public QWidget {
    Q_OBJECT
public:
    explicit IrrDistributionView(ui::Dialogs& dialogs, QWidget* parent = nullptr);
    ~IrrDistributionView() override;

    // Shows the kept IRRs of a run (rates per period times the periods per
    // year) and starts their p-values, stopping those of the IRRs shown before.
    void SetRun(std::span<const double> irrs, const RunFigures& figures, std::span<const double> npvs = {});

    // The summary and fits as CSV text.
    QString CsvText() const;

    // Resamples of the bootstrap behind each p-value: as many as the command
    // line's, which therefore gives the same p-values for the same IRRs.
    static constexpr int kResamples = kDefaultResamples;

    QLabel* Caption;
    QTabWidget* Views;  // "Histogram", "Cumulative"
    ZoomableChartView* HistogramView;
    ZoomableChartView* CdfView;
    QSpinBox* Bins;
    QCheckBox* AutoBins;  // Freedman-Diaconis
    QComboBox* Values;    // "Kept IRRs", or "NPVs at the hurdle rate" when the run had one
    QPushButton* ResetButton;
    QPushButton* PngButton;
    QPushButton* SvgButton;
    QPushButton* CsvButton;
    QTableWidget* Summary;
    QTableWidget* Fits;
    QLabel* FitVerdict;  // how the p-values are made, and whether any law fits

    // What is drawn; null or empty when not shown.
    QAreaSeries* Bars = nullptr;
    QLineSeries* Ecdf = nullptr;
    std::vector<QLineSeries*> FitCurves;  // density curves in rank order
    std::vector<QLineSeries*> FitCdfs;    // distribution functions in rank order
    QLineSeries* KdeCurve = nullptr;
    const Histogram& CurrentHistogram() const { return histogram_; }
    const FitReport& CurrentFits() const { return fits_; }

signals:
    // The p-values of the IRRs shown are in the fits table.
    void PValuesShown();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Redraw();
    // Summary, fits and density of the values chosen in Values.
    void Compute();
    bool ShowingNpvs() const;
    const std::vector<double>& Sample() const { return ShowingNpvs() ? npvs_ : irrs_; }
    void DrawHistogram();
    void DrawCdf();
    void FillSummary();
    void FillFits();
    void ShowVerdict();
    void FollowPalette();
    void StartPValues();
    void StopPValues();
    void TakePValues(int generation, const FitReport& computed);
    ZoomableChartView* ActiveView() const;

    ui::Dialogs& dialogs_;
    QChart* histogramChart_;
    QChart* cdfChart_;
    // The axes and series are made once and refilled: a chart drops removed
    // ones only once back in the event loop, which a run does not return to.
    QValueAxis* histogramX_;
    QValueAxis* histogramY_;
    QValueAxis* cdfX_;
    QValueAxis* cdfY_;
    QAreaSeries* bars_;
    QLineSeries* barTops_;
    std::array<QLineSeries*, std::size(kFitFamilies)> densitySlots_;  // by rank
    std::array<QLineSeries*, std::size(kFitFamilies)> cdfSlots_;      // by rank
    QLineSeries* kdeSlot_;
    QLineSeries* ecdfSlot_;

    std::vector<double> irrs_;
    std::vector<double> npvs_;  // the run's NPVs at its hurdle rate, when it had one
    RunFigures figures_;
    std::optional<SampleSummary> summary_;
    Histogram histogram_;
    FitReport fits_;
    std::optional<KernelDensity> kde_;

    // The bootstraps going; the last is for the IRRs shown, the others are
    // stopping. Joined (stopped first) when the view goes.
    struct PValueJob {
        std::shared_ptr<std::atomic<bool>> finished;
        std::jthread thread;
    };
    std::vector<PValueJob> jobs_;
    int generation_ = 0;  // of the IRRs shown
    bool pValuesPending_ = false;
};

}  // namespace valmora
