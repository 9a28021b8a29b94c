#include "screens/stochastic/irr_distribution_view.h"

#include <QCheckBox>
#include <QSignalBlocker>
#include <QComboBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

#include "core/reporting/results_csv.h"
#include "core/solver/number_format.h"
#include "core/statistics/ks_bootstrap.h"
#include "screens/common/chart_view.h"
#include "ui/decimal_separator.h"
#include "ui/dialogs.h"
#include "ui/on_screen.h"

namespace valmora {
namespace {

constexpr int kCurvePoints = 300;
const QString kTooLarge = "too large to compute";
const QString kComputing = QString("computing") + QChar(0x2026);

// Colours of the fitted laws, told apart from one another and from the
// empirical lines (drawn in the palette's text colour): each is dark enough
// on a light chart and light enough on a dark one (a contrast of 3 or more
// on both).
QColor FamilyColour(FitFamily f) {
    switch (f) {
        case FitFamily::Normal: return QColor(40, 125, 230);
        case FitFamily::Lognormal: return QColor(0, 150, 90);
        case FitFamily::Logistic: return QColor(220, 40, 220);
        case FitFamily::Gamma: return QColor(220, 115, 0);
        case FitFamily::Weibull: return QColor(180, 130, 110);
        case FitFamily::StudentT: return QColor(240, 30, 30);
    }
    return Qt::gray;
}

QString Number(double v) { return std::isfinite(v) ? QString::number(v, 'g', 6) : kTooLarge; }
QString Rate(double v) { return std::isfinite(v) ? QString::fromStdString(FormatRate(v)) : kTooLarge; }
// Full precision for files read by other programs.
QString Exact(double v) { return std::isfinite(v) ? QString::number(v, 'g', 17) : kTooLarge; }

// "1 simulation", "2 simulations".
QString Count(long n, const QString& one, const QString& many) {
    return QString::number(n) + " " + (n == 1 ? one : many);
}

// A CSV field, quoted as the other exports quote theirs.
QString CsvField(const QString& text) { return QString::fromStdString(valmora::CsvField(text.toStdString())); }

// "mu = 0.2, sigma = 0.05"; where the locale writes decimal commas,
// "mu = 0,2; sigma = 0,05".
QString ParamsText(const DistributionFit& fit) {
    QStringList parts;
    for (const FitParameter& p : fit.params) parts << QString::fromStdString(p.name) + " = " + Number(p.value);
    QString text = parts.join(", ");
    if (!fit.note.empty()) text += " (" + QString::fromStdString(fit.note) + ")";
    return ui::NumbersInLocale(text);
}

// "gamma (of 1 + IRR)" in the table, "gamma" in the legends, whose entries
// share one line.
QString FitLabel(FitFamily family, bool full = true) {
    QString name = QString::fromStdString(DisplayName(family));
    if (full && OfOnePlusIrr(family)) name += " (of 1 + IRR)";
    return name;
}

// How far the run got: "running: 1799 of 5000 simulations", "stopped after
// 480 of 1000 simulations", or nothing for a run that ended.
QString RunState(const RunFigures& f) {
    const QString of = QString("%1 of %2").arg(f.simulations).arg(Count(f.requested, "simulation", "simulations"));
    if (f.running) return "running: " + of;
    if (f.stopped) return "stopped after " + of;
    return {};
}

QValueAxis* NewAxis(QChart* chart, const QString& title, Qt::Alignment side) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat("%.4g");
    chart->addAxis(axis, side);
    return axis;
}

QLineSeries* NewLine(QChart* chart, QValueAxis* x, QValueAxis* y) {
    auto* s = new QLineSeries;
    chart->addSeries(s);
    s->attachAxis(x);
    s->attachAxis(y);
    return s;
}

// The ticks of a new axis: the home range of a redrawn chart then does not
// depend on the ticks of the one before (rounded by a zoom, or by the
// previous home range).
void FreshTicks(QValueAxis* axis, int count = 5) {
    axis->setTickType(QValueAxis::TicksFixed);
    axis->setTickCount(count);
}

// Shows or hides a series with its legend entry.
void Show(QChart* chart, QAbstractSeries* s, bool shown) {
    s->setVisible(shown);
    for (QLegendMarker* m : chart->legend()->markers(s)) m->setVisible(shown);
}

// A table cell; a number in it with the locale's decimal separator.
QTableWidgetItem* Cell(const QString& shown, bool right = false) {
    const QString text = ui::InLocale(shown);
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setToolTip(text);  // the whole text where the column cuts it
    if (right) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

}  // namespace

IrrDistributionView::IrrDistributionView(ui::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), histogramChart_(new QChart), cdfChart_(new QChart) {
    setWindowTitle("IRR Distribution");
    resize(1060, 800);
    // Never larger than the screen it opens on.
    ui::KeepOnScreen(this);

    Caption = new QLabel(this);
    Caption->setWordWrap(true);
    HistogramView = new ZoomableChartView(histogramChart_);
    CdfView = new ZoomableChartView(cdfChart_);
    Views = new QTabWidget;
    Views->addTab(HistogramView, "&Histogram");
    Views->addTab(CdfView, "&Cumulative");
    HistogramView->setAccessibleName("Histogram chart");
    CdfView->setAccessibleName("Cumulative distribution chart");
    for (QChart* c : {histogramChart_, cdfChart_}) c->legend()->setAlignment(Qt::AlignBottom);

    histogramChart_->setTitle("Histogram of the kept IRRs");
    histogramX_ = NewAxis(histogramChart_, "IRR", Qt::AlignBottom);
    histogramY_ = NewAxis(histogramChart_, "Simulations per bin", Qt::AlignLeft);
    barTops_ = new QLineSeries(histogramChart_);
    bars_ = new QAreaSeries(barTops_);
    histogramChart_->addSeries(bars_);
    bars_->attachAxis(histogramX_);
    bars_->attachAxis(histogramY_);
    for (QLineSeries*& s : densitySlots_) s = NewLine(histogramChart_, histogramX_, histogramY_);
    kdeSlot_ = NewLine(histogramChart_, histogramX_, histogramY_);
    kdeSlot_->setName("kernel density");

    cdfChart_->setTitle("Empirical distribution function of the kept IRRs");
    cdfX_ = NewAxis(cdfChart_, "IRR", Qt::AlignBottom);
    cdfY_ = NewAxis(cdfChart_, "Fraction at or below", Qt::AlignLeft);
    ecdfSlot_ = NewLine(cdfChart_, cdfX_, cdfY_);
    ecdfSlot_->setName("empirical");
    for (QLineSeries*& s : cdfSlots_) s = NewLine(cdfChart_, cdfX_, cdfY_);

    Bins = new QSpinBox(this);
    Bins->setRange(kMinBins, kMaxBins);
    Bins->setAccessibleName("Bins");
    AutoBins = new QCheckBox("&Freedman-Diaconis", this);
    AutoBins->setChecked(true);
    Values = new QComboBox(this);
    Values->addItems({"Kept IRRs", "NPVs at the hurdle rate"});
    Values->setAccessibleName("Values shown");
    Values->setEnabled(false);
    connect(Values, &QComboBox::currentIndexChanged, this, [this] {
        Compute();
        Redraw();
    });
    ResetButton = new QPushButton("&Reset Zoom", this);
    PngButton = new QPushButton("Export &PNG...", this);
    SvgButton = new QPushButton("Export &SVG...", this);
    CsvButton = new QPushButton("Export CS&V...", this);

    Summary = new QTableWidget(0, 2);
    Summary->setHorizontalHeaderLabels({"Summary", "Value"});
    Summary->verticalHeader()->hide();
    Summary->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Summary->setAccessibleName("Summary of the kept values");
    Fits = new QTableWidget(0, 7);
    Fits->setHorizontalHeaderLabels({"Rank", "Distribution", "Parameters", "AIC", "KS", "p-value", "Resamples"});
    Fits->verticalHeader()->hide();
    // Every column as wide as its texts: a narrow window scrolls the table,
    // it never cuts a number or a parameter.
    Fits->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Fits->setAccessibleName("Fitted distributions, ranked");
    for (QTableWidget* t : {Summary, Fits}) {
        // Tab leaves a table; the arrows move in it.
        t->setTabKeyNavigation(false);
        t->setEditTriggers(QAbstractItemView::NoEditTriggers);
        t->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        t->setWordWrap(false);
    }
    FitVerdict = new QLabel;
    FitVerdict->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FitVerdict->setWordWrap(true);  // long lines wrap rather than widen the window

    auto* controls = new QHBoxLayout;
    auto* binsLabel = new QLabel("&Bins:", this);
    binsLabel->setBuddy(Bins);
    controls->addWidget(binsLabel);
    controls->addWidget(Bins);
    controls->addWidget(AutoBins);
    auto* valuesLabel = new QLabel("&Values:", this);
    valuesLabel->setBuddy(Values);
    controls->addWidget(valuesLabel);
    controls->addWidget(Values);
    controls->addStretch(1);
    // The zoom and the exports on a row of their own, so that the window
    // fits a small display even in a large font.
    auto* actions = new QHBoxLayout;
    actions->addStretch(1);
    actions->addWidget(ResetButton);
    actions->addWidget(PngButton);
    actions->addWidget(SvgButton);
    actions->addWidget(CsvButton);

    auto* fitsBox = new QWidget;
    auto* fitsLayout = new QVBoxLayout(fitsBox);
    fitsLayout->setContentsMargins(0, 0, 0, 0);
    fitsLayout->addWidget(Fits, 1);
    fitsLayout->addWidget(FitVerdict);
    auto* tables = new QSplitter(Qt::Horizontal);
    tables->addWidget(Summary);
    tables->addWidget(fitsBox);
    tables->setStretchFactor(0, 2);
    tables->setStretchFactor(1, 5);
    // The summary as narrow as its texts allow (its minimum follows them).
    tables->setSizes({300, 760});
    tables->setChildrenCollapsible(false);
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(Views);
    split->addWidget(tables);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setSizes({420, 310});
    split->setChildrenCollapsible(false);
    Views->setMinimumHeight(300);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Caption);
    layout->addLayout(controls);
    layout->addLayout(actions);
    layout->addWidget(split, 1);

    connect(Bins, &QSpinBox::valueChanged, this, [this] {
        AutoBins->setChecked(false);
        DrawHistogram();
    });
    connect(AutoBins, &QCheckBox::toggled, this, [this](bool on) {
        if (on) DrawHistogram();
    });
    connect(ResetButton, &QPushButton::clicked, this, [this] { ActiveView()->ResetZoom(); });
    connect(PngButton, &QPushButton::clicked, this, [this] { ExportChart(ActiveView(), ChartFormat::Png, dialogs_); });
    connect(SvgButton, &QPushButton::clicked, this, [this] { ExportChart(ActiveView(), ChartFormat::Svg, dialogs_); });
    connect(CsvButton, &QPushButton::clicked, this, [this] { ExportCsv(CsvText(), dialogs_); });

    FollowPalette();
    SetRun({}, {});
}

IrrDistributionView::~IrrDistributionView() {
    StopPValues();
    jobs_.clear();  // joins them
}

ZoomableChartView* IrrDistributionView::ActiveView() const {
    return Views->currentWidget() == CdfView ? CdfView : HistogramView;
}

void IrrDistributionView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        FollowPalette();
        Redraw();
    }
}

void IrrDistributionView::closeEvent(QCloseEvent* event) {
    StopPValues();
    QWidget::closeEvent(event);
}

// Dark charts in a dark window.
void IrrDistributionView::FollowPalette() {
    const bool dark = palette().color(QPalette::Window).lightness() < 128;
    const auto theme = dark ? QChart::ChartThemeDark : QChart::ChartThemeLight;
    for (QChart* c : {histogramChart_, cdfChart_})
        if (c->theme() != theme) c->setTheme(theme);
}

void IrrDistributionView::SetRun(std::span<const double> irrs, const RunFigures& figures,
                                 std::span<const double> npvs) {
    irrs_.assign(irrs.begin(), irrs.end());
    npvs_.clear();
    for (const double v : npvs)
        if (std::isfinite(v)) npvs_.push_back(v);
    figures_ = figures;
    const bool npvsShown = figures.hurdle && !npvs_.empty();
    Values->setEnabled(npvsShown);
    if (!npvsShown && Values->currentIndex() != 0) {
        const QSignalBlocker quiet(Values);
        Values->setCurrentIndex(0);
    }
    Compute();
    Redraw();
}

bool IrrDistributionView::ShowingNpvs() const { return Values->currentIndex() == 1 && !npvs_.empty(); }

void IrrDistributionView::Compute() {
    const bool npvs = ShowingNpvs();
    summary_ = Summarise(Sample());
    // The laws are fitted to the IRRs; the NPVs are shown as they fell.
    fits_ = npvs ? FitReport{} : FitDistributions(irrs_);
    kde_.emplace(Sample());
    const QString what =
        npvs ? "the NPVs at the hurdle rate " + ui::InLocale(FormatRate(*figures_.hurdle)) : QString("the kept IRRs");
    histogramChart_->setTitle("Histogram of " + what);
    cdfChart_->setTitle("Empirical distribution function of " + what);
    histogramX_->setTitleText(npvs ? "NPV at the hurdle rate" : "IRR");
    cdfX_->setTitleText(npvs ? "NPV at the hurdle rate" : "IRR");
    StartPValues();
}

void IrrDistributionView::StopPValues() {
    for (PValueJob& job : jobs_) job.thread.request_stop();
    pValuesPending_ = false;
}

void IrrDistributionView::StartPValues() {
    StopPValues();
    std::erase_if(jobs_, [](const PValueJob& job) { return job.finished->load(); });
    const int generation = ++generation_;
    if (fits_.ranked.empty()) return;
    pValuesPending_ = true;
    BootstrapSettings settings;
    settings.resamples = kResamples;
    // While a run goes it has a processor of its own.
    settings.threads = figures_.running ? 1 : std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    auto finished = std::make_shared<std::atomic<bool>>(false);
    jobs_.push_back(
        {finished, std::jthread([this, generation, settings, finished, fits = fits_](std::stop_token stop) mutable {
             if (BootstrapPValues(fits, settings, stop)) {
                 // Back on the window's thread; dropped if the window has gone.
                 QMetaObject::invokeMethod(
                     this, [this, generation, fits] { TakePValues(generation, fits); }, Qt::QueuedConnection);
             }
             finished->store(true);
         })});
}

void IrrDistributionView::TakePValues(int generation, const FitReport& computed) {
    if (generation != generation_ || computed.ranked.size() != fits_.ranked.size()) return;
    for (std::size_t k = 0; k < fits_.ranked.size(); ++k) {
        fits_.ranked[k].pValue = computed.ranked[k].pValue;
        fits_.ranked[k].resamples = computed.ranked[k].resamples;
    }
    pValuesPending_ = false;
    FillFits();
    ShowVerdict();
    emit PValuesShown();
}

void IrrDistributionView::Redraw() {
    QString caption = RunState(figures_);
    if (figures_.running) caption[0] = caption[0].toUpper();
    if (caption.isEmpty()) caption = Count(figures_.simulations, "simulation", "simulations");
    caption += QString(", %1 with an IRR.").arg(figures_.withIrr);
    if (irrs_.empty()) caption += " No IRR to show yet.";
    if (figures_.otherSettings) caption += " These are the last run's: the settings on screen have changed since.";
    Caption->setText(caption);
    DrawHistogram();
    DrawCdf();
    FillSummary();
    FillFits();
    ShowVerdict();
}

void IrrDistributionView::DrawHistogram() {
    const int bins = AutoBins->isChecked() ? FreedmanDiaconisBins(Sample()) : Bins->value();
    if (AutoBins->isChecked()) {
        const QSignalBlocker block(Bins);
        Bins->setValue(bins);
    }
    histogram_ = MakeHistogram(Sample(), bins);
    const QColor ink = palette().color(QPalette::WindowText);
    FitCurves.clear();
    const bool any = !histogram_.counts.empty();
    Bars = any ? bars_ : nullptr;
    KdeCurve = any && kde_ && kde_->Valid() ? kdeSlot_ : nullptr;
    Show(histogramChart_, bars_, any);
    Show(histogramChart_, kdeSlot_, KdeCurve != nullptr);
    for (std::size_t k = 0; k < densitySlots_.size(); ++k)
        Show(histogramChart_, densitySlots_[k], any && k < fits_.ranked.size());
    FreshTicks(histogramX_);
    FreshTicks(histogramY_);
    if (!any) {
        barTops_->clear();
        HistogramView->SetHome(histogramX_, 0, 1, histogramY_, 0, 1);
        return;
    }

    QList<QPointF> outline;
    double top = 0;
    for (std::size_t k = 0; k < histogram_.counts.size(); ++k) {
        const double c = static_cast<double>(histogram_.counts[k]);
        outline << QPointF(histogram_.edges[k], 0) << QPointF(histogram_.edges[k], c)
                << QPointF(histogram_.edges[k + 1], c) << QPointF(histogram_.edges[k + 1], 0);
        top = std::max(top, c);
    }
    barTops_->replace(outline);
    bars_->setName(ui::NumbersInLocale(QString("%1 of %2")
                                           .arg(Count(static_cast<long>(histogram_.counts.size()), "bin", "bins"))
                                           .arg(Number(histogram_.BinWidth()))));
    bars_->setColor(QColor(150, 180, 220, 170));
    bars_->setBorderColor(QColor(70, 100, 150));

    // Densities scaled to expected simulations per bin.
    const double lo = histogram_.edges.front(), hi = histogram_.edges.back();
    const double scale = static_cast<double>(histogram_.Total()) * histogram_.BinWidth();
    auto curve = [&](QLineSeries* s, auto&& density, const QString& name, const QPen& pen) {
        QList<QPointF> pts;
        for (int k = 0; k <= kCurvePoints; ++k) {
            const double v = lo + (hi - lo) * k / kCurvePoints;
            const double d = scale * density(v);
            if (std::isfinite(d)) {
                pts << QPointF(v, d);
                top = std::max(top, d);
            }
        }
        s->replace(pts);
        s->setName(name);
        s->setPen(pen);
    };
    for (std::size_t k = 0; k < fits_.ranked.size() && k < densitySlots_.size(); ++k) {
        const DistributionFit& fit = fits_.ranked[k];
        curve(
            densitySlots_[k], [&](double v) { return fit.Pdf(v); },
            QString("%1. %2").arg(k + 1).arg(FitLabel(fit.family, false)), QPen(FamilyColour(fit.family), 2));
        FitCurves.push_back(densitySlots_[k]);
    }
    if (KdeCurve)
        curve(
            kdeSlot_, [&](double v) { return (*kde_)(v); }, "kernel density", QPen(ink, 1.5, Qt::DashLine));
    HistogramView->SetHome(histogramX_, lo, hi, histogramY_, 0, top * 1.05, ZoomableChartView::NiceY);
}

void IrrDistributionView::DrawCdf() {
    FitCdfs.clear();
    const std::vector<CdfStep> steps = EmpiricalCdf(Sample());
    const bool any = !steps.empty();
    Ecdf = any ? ecdfSlot_ : nullptr;
    Show(cdfChart_, ecdfSlot_, any);
    for (std::size_t k = 0; k < cdfSlots_.size(); ++k) Show(cdfChart_, cdfSlots_[k], any && k < fits_.ranked.size());
    FreshTicks(cdfX_);
    FreshTicks(cdfY_);
    if (!any) {
        ecdfSlot_->clear();
        CdfView->SetHome(cdfX_, 0, 1, cdfY_, 0, 1);
        return;
    }
    const double lo = histogram_.edges.front(), hi = histogram_.edges.back();
    QList<QPointF> pts;
    pts << QPointF(lo, 0);
    double previous = 0;
    for (const CdfStep& s : steps) {
        pts << QPointF(s.value, previous) << QPointF(s.value, s.fraction);
        previous = s.fraction;
    }
    pts << QPointF(hi, 1);
    ecdfSlot_->replace(pts);
    ecdfSlot_->setPen(QPen(palette().color(QPalette::WindowText), 2.5));
    for (std::size_t k = 0; k < fits_.ranked.size() && k < cdfSlots_.size(); ++k) {
        const DistributionFit& fit = fits_.ranked[k];
        QList<QPointF> c;
        for (int i = 0; i <= kCurvePoints; ++i) {
            const double v = lo + (hi - lo) * i / kCurvePoints;
            const double f = fit.Cdf(v);
            if (std::isfinite(f)) c << QPointF(v, f);
        }
        cdfSlots_[k]->replace(c);
        cdfSlots_[k]->setName(QString("%1. %2").arg(k + 1).arg(FitLabel(fit.family, false)));
        cdfSlots_[k]->setPen(QPen(FamilyColour(fit.family), 1.5));
        FitCdfs.push_back(cdfSlots_[k]);
    }
    FreshTicks(cdfY_, 6);
    CdfView->SetHome(cdfX_, lo, hi, cdfY_, 0, 1.0, ZoomableChartView::NiceNone);
}

void IrrDistributionView::FillSummary() {
    struct Row {
        QString name, value;
    };
    std::vector<Row> rows;
    if (const QString state = RunState(figures_); !state.isEmpty()) rows.push_back({"Run", state});
    rows.push_back({"Simulations run", QString::number(figures_.simulations)});
    rows.push_back({"With an IRR", QString::number(figures_.withIrr)});
    rows.push_back({"Without an IRR", QString::number(figures_.simulations - figures_.withIrr)});
    if (summary_) {
        rows.push_back({"Mean", Rate(summary_->mean)});
        rows.push_back({"Standard deviation", Number(summary_->sd)});
        rows.push_back({"Minimum", Rate(summary_->min)});
        rows.push_back({"5th percentile", Rate(summary_->p05)});
        rows.push_back({"Median (50th percentile)", Rate(summary_->p50)});
        rows.push_back({"95th percentile", Rate(summary_->p95)});
        rows.push_back({"Maximum", Rate(summary_->max)});
    }
    rows.push_back({"Largest IRR used instead", QString::number(figures_.fallbacks)});
    rows.push_back({"Searches stopped early", QString::number(figures_.incompleteScans)});
    rows.push_back({"Searches that missed roots", QString::number(figures_.missedRoots)});
    rows.push_back({"IRRs kept from exact roots", QString::number(figures_.keptFromExact)});
    Summary->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        Summary->setItem(r, 0, Cell(rows[r].name));
        Summary->setItem(r, 1, Cell(rows[r].value, true));
    }
    // Wide enough for both columns, whatever the font.
    Summary->resizeColumnsToContents();
    Summary->setMinimumWidth(Summary->horizontalHeader()->length() + 2 * Summary->frameWidth() +
                             Summary->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4);
}

void IrrDistributionView::FillFits() {
    const int rows = static_cast<int>(fits_.ranked.size() + fits_.skipped.size()) + (kde_ && kde_->Valid() ? 1 : 0);
    const int columns = Fits->columnCount();
    Fits->setRowCount(rows);
    int r = 0;
    for (const DistributionFit& fit : fits_.ranked) {
        Fits->setItem(r, 0, Cell(QString::number(r + 1), true));
        Fits->setItem(r, 1, Cell(FitLabel(fit.family)));
        Fits->setItem(r, 2, Cell(ParamsText(fit)));
        Fits->setItem(r, 3, Cell(Number(fit.aic), true));
        Fits->setItem(r, 4, Cell(Number(fit.ks), true));
        Fits->setItem(r, 5, Cell(fit.pValue ? Number(*fit.pValue) : pValuesPending_ ? kComputing : "-", true));
        Fits->setItem(r, 6, Cell(QString::number(pValuesPending_ ? kResamples : fit.resamples), true));
        // The law's colour as a swatch beside its name: the name itself keeps
        // the palette's text colour, readable on light and dark tables alike.
        Fits->item(r, 1)->setData(Qt::DecorationRole, FamilyColour(fit.family));
        ++r;
    }
    if (kde_ && kde_->Valid()) {
        Fits->setItem(r, 0, Cell("-", true));
        Fits->setItem(r, 1, Cell("kernel density"));
        Fits->setItem(
            r, 2,
            Cell(ui::NumbersInLocale("Gaussian kernel, bandwidth = " + Number(kde_->Bandwidth()) + " (not ranked)")));
        for (int c = 3; c < columns; ++c) Fits->setItem(r, c, Cell(""));
        ++r;
    }
    for (const SkippedFit& s : fits_.skipped) {
        Fits->setItem(r, 0, Cell("-", true));
        Fits->setItem(r, 1, Cell(FitLabel(s.family)));
        Fits->setItem(r, 2, Cell("not fitted: " + QString::fromStdString(s.reason)));
        for (int c = 3; c < columns; ++c) Fits->setItem(r, c, Cell(""));
        ++r;
    }
}

void IrrDistributionView::ShowVerdict() {
    QStringList lines;
    if (!fits_.ranked.empty()) {
        const QString how = QString("%1 of a parametric bootstrap of the KS distance for each law")
                                .arg(Count(kResamples, "resample", "resamples"));
        if (pValuesPending_) lines << "p-values: " + kComputing + " (" + how + ")";
        else lines << "p-values from " + how + ".";
        if (const std::string none = NoLawFitsSentence(fits_); !none.empty()) lines << QString::fromStdString(none);
    }
    for (const std::string& note : fits_.notes) lines << QString::fromStdString(note) + ".";
    if (ShowingNpvs()) lines << "The laws are fitted to the kept IRRs: choose them under Values to see the fits.";
    FitVerdict->setText(ui::NumbersInLocale(lines.join("\n")));
    FitVerdict->setVisible(!lines.isEmpty());
}

QString IrrDistributionView::CsvText() const {
    QString csv = "quantity,value\n";
    auto line = [&](const QString& name, const QString& value) { csv += name + "," + CsvField(value) + "\n"; };
    const QString state = RunState(figures_);
    line("run", state.isEmpty() ? "complete" : state);
    line("simulations_requested", QString::number(figures_.requested));
    line("simulations", QString::number(figures_.simulations));
    line("stopped", figures_.stopped ? "yes" : "no");
    line("with_irr", QString::number(figures_.withIrr));
    line("without_irr", QString::number(figures_.simulations - figures_.withIrr));
    if (summary_) {
        line("mean", Exact(summary_->mean));
        line("sd", Exact(summary_->sd));
        line("min", Exact(summary_->min));
        line("p05", Exact(summary_->p05));
        line("p50", Exact(summary_->p50));
        line("p95", Exact(summary_->p95));
        line("max", Exact(summary_->max));
    }
    line("fallbacks", QString::number(figures_.fallbacks));
    line("incomplete_scans", QString::number(figures_.incompleteScans));
    line("missed_roots", QString::number(figures_.missedRoots));
    line("kept_from_exact", QString::number(figures_.keptFromExact));
    for (const std::string& note : fits_.notes) line("note", QString::fromStdString(note));

    csv +=
        "\nrank,distribution,parameter_1,value_1,parameter_2,value_2,parameter_3,value_3,aic,ks,p_value,resamples,"
        "note\n";
    int rank = 0;
    for (const DistributionFit& fit : fits_.ranked) {
        csv += QString::number(++rank) + "," + QString::fromStdString(FamilyName(fit.family));
        for (std::size_t k = 0; k < 3; ++k) {
            if (k < fit.params.size())
                csv += "," + QString::fromStdString(fit.params[k].name) + "," + Exact(fit.params[k].value);
            else csv += ",,";
        }
        const QString p = fit.pValue ? Exact(*fit.pValue) : pValuesPending_ ? kComputing : QString();
        csv += "," + Exact(fit.aic) + "," + Exact(fit.ks) + "," + p + "," +
               QString::number(pValuesPending_ ? kResamples : fit.resamples) + "," +
               CsvField(QString::fromStdString(fit.note)) + "\n";
    }
    if (kde_ && kde_->Valid()) csv += ",kernel_density,bandwidth," + Exact(kde_->Bandwidth()) + ",,,,,,,,,\n";
    if (!fits_.skipped.empty()) {
        csv += "\nnot_fitted,reason\n";
        for (const SkippedFit& s : fits_.skipped)
            csv +=
                QString::fromStdString(FamilyName(s.family)) + "," + CsvField(QString::fromStdString(s.reason)) + "\n";
    }

    csv += "\nbin_low,bin_high,count\n";
    for (std::size_t k = 0; k < histogram_.counts.size(); ++k)
        csv += Exact(histogram_.edges[k]) + "," + Exact(histogram_.edges[k + 1]) + "," +
               QString::number(histogram_.counts[k]) + "\n";
    return csv;
}

}  // namespace valmora
