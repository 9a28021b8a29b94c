#include "screens/stochastic/irr_distribution_view.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

#include "core/solver/number_format.h"
#include "screens/common/chart_view.h"
#include "ui/dialogs.h"

namespace valmora {
namespace {

constexpr int kCurvePoints = 300;

QColor FamilyColour(FitFamily f) {
    switch (f) {
        case FitFamily::Normal: return QColor(30, 90, 200);
        case FitFamily::Lognormal: return QColor(20, 150, 60);
        case FitFamily::Logistic: return QColor(160, 40, 160);
        case FitFamily::Gamma: return QColor(220, 115, 0);
        case FitFamily::Weibull: return QColor(180, 130, 110);
        case FitFamily::StudentT: return QColor(240, 30, 30);
    }
    return Qt::black;
}

QString Number(double v) { return QString::number(v, 'g', 6); }
QString Rate(double v) { return QString::fromStdString(FormatRate(v)); }
// Full precision for files read by other programs.
QString Exact(double v) { return QString::number(v, 'g', 17); }

// The bootstrap p-value, "-" before it is computed.
QString PValueText(const DistributionFit& fit) { return fit.pValue ? Number(*fit.pValue) : "-"; }

QString ParamsText(const DistributionFit& fit) {
    QStringList parts;
    for (const FitParameter& p : fit.params) parts << QString::fromStdString(p.name) + " = " + Number(p.value);
    return parts.join(", ");
}

QString FitLabel(const DistributionFit& fit) {
    QString name = QString::fromStdString(FamilyName(fit.family));
    if (OfOnePlusIrr(fit.family)) name += " (of 1 + IRR)";
    return name;
}

void ClearChart(QChart* chart) {
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
}

std::pair<QValueAxis*, QValueAxis*> AddAxes(QChart* chart, const QString& yTitle) {
    auto* x = new QValueAxis;
    x->setTitleText("IRR");
    x->setLabelFormat("%.4g");
    auto* y = new QValueAxis;
    y->setTitleText(yTitle);
    y->setLabelFormat("%.4g");
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    return {x, y};
}

void Attach(QChart* chart, QAbstractSeries* s, QValueAxis* x, QValueAxis* y) {
    chart->addSeries(s);
    s->attachAxis(x);
    s->attachAxis(y);
}

QTableWidgetItem* Cell(const QString& text, bool right = false) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (right) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

}  // namespace

IrrDistributionView::IrrDistributionView(ui::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), histogramChart_(new QChart), cdfChart_(new QChart) {
    setWindowTitle("IRR Distribution");
    resize(1000, 760);

    Caption = new QLabel(this);
    Caption->setWordWrap(true);
    HistogramView = new ZoomableChartView(histogramChart_);
    CdfView = new ZoomableChartView(cdfChart_);
    Views = new QTabWidget;
    Views->addTab(HistogramView, "&Histogram");
    Views->addTab(CdfView, "&Cumulative");
    for (QChart* c : {histogramChart_, cdfChart_}) c->legend()->setAlignment(Qt::AlignBottom);

    Bins = new QSpinBox(this);
    Bins->setRange(kMinBins, kMaxBins);
    Bins->setAccessibleName("Bins");
    AutoBins = new QCheckBox("&Freedman-Diaconis", this);
    AutoBins->setChecked(true);
    ResetButton = new QPushButton("&Reset Zoom", this);
    PngButton = new QPushButton("Export &PNG...", this);
    SvgButton = new QPushButton("Export &SVG...", this);
    CsvButton = new QPushButton("Export CS&V...", this);

    Summary = new QTableWidget(0, 2);
    Summary->setHorizontalHeaderLabels({"Summary", "Value"});
    Summary->verticalHeader()->hide();
    Summary->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Summary->horizontalHeader()->setStretchLastSection(true);
    Summary->setMinimumWidth(300);
    Fits = new QTableWidget(0, 6);
    Fits->setHorizontalHeaderLabels({"Rank", "Distribution", "Parameters", "AIC", "KS", "p-value"});
    Fits->verticalHeader()->hide();
    Fits->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Fits->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    for (QTableWidget* t : {Summary, Fits}) {
        t->setEditTriggers(QAbstractItemView::NoEditTriggers);
        t->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        t->setWordWrap(false);
    }

    auto* controls = new QHBoxLayout;
    auto* binsLabel = new QLabel("&Bins:", this);
    binsLabel->setBuddy(Bins);
    controls->addWidget(binsLabel);
    controls->addWidget(Bins);
    controls->addWidget(AutoBins);
    controls->addStretch(1);
    controls->addWidget(ResetButton);
    controls->addWidget(PngButton);
    controls->addWidget(SvgButton);
    controls->addWidget(CsvButton);

    auto* tables = new QSplitter(Qt::Horizontal);
    tables->addWidget(Summary);
    tables->addWidget(Fits);
    tables->setStretchFactor(0, 2);
    tables->setStretchFactor(1, 5);
    tables->setSizes({320, 680});
    tables->setChildrenCollapsible(false);
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(Views);
    split->addWidget(tables);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setSizes({420, 290});
    split->setChildrenCollapsible(false);
    Views->setMinimumHeight(300);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Caption);
    layout->addLayout(controls);
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

    SetRun({}, {});
}

ZoomableChartView* IrrDistributionView::ActiveView() const {
    return Views->currentWidget() == CdfView ? CdfView : HistogramView;
}

void IrrDistributionView::SetRun(std::span<const double> irrs, const RunFigures& figures) {
    irrs_.assign(irrs.begin(), irrs.end());
    figures_ = figures;
    summary_ = Summarise(irrs_);
    fits_ = FitDistributions(irrs_);
    kde_.emplace(irrs_);
    Redraw();
}

void IrrDistributionView::Redraw() {
    QString caption;
    if (figures_.stopped)
        caption = QString("stopped after %1 of %2 simulations").arg(figures_.simulations).arg(figures_.requested);
    else if (figures_.running)
        caption = QString("Running: %1 of %2 simulations").arg(figures_.simulations).arg(figures_.requested);
    else caption = QString("%1 simulations").arg(figures_.simulations);
    caption += QString(", %1 with an IRR.").arg(figures_.withIrr);
    if (irrs_.empty()) caption += " No IRR to show yet.";
    if (figures_.otherSettings) caption += " These are the last run's: the settings on screen have changed since.";
    Caption->setText(caption);
    DrawHistogram();
    DrawCdf();
    FillSummary();
    FillFits();
}

void IrrDistributionView::DrawHistogram() {
    const int bins = AutoBins->isChecked() ? FreedmanDiaconisBins(irrs_) : Bins->value();
    if (AutoBins->isChecked()) {
        const QSignalBlocker block(Bins);
        Bins->setValue(bins);
    }
    histogram_ = MakeHistogram(irrs_, bins);
    ClearChart(histogramChart_);
    Bars = nullptr;
    FitCurves.clear();
    KdeCurve = nullptr;
    histogramChart_->setTitle("Histogram of the kept IRRs");
    auto [x, y] = AddAxes(histogramChart_, "Simulations per bin");
    if (histogram_.counts.empty()) {
        HistogramView->SetHome(x, 0, 1, y, 0, 1);
        return;
    }

    auto* upper = new QLineSeries;
    QList<QPointF> outline;
    double top = 0;
    for (std::size_t k = 0; k < histogram_.counts.size(); ++k) {
        const double c = static_cast<double>(histogram_.counts[k]);
        outline << QPointF(histogram_.edges[k], 0) << QPointF(histogram_.edges[k], c)
                << QPointF(histogram_.edges[k + 1], c) << QPointF(histogram_.edges[k + 1], 0);
        top = std::max(top, c);
    }
    upper->replace(outline);
    Bars = new QAreaSeries(upper);
    Bars->setName(QString("%1 bins of %2").arg(histogram_.counts.size()).arg(Number(histogram_.BinWidth())));
    Bars->setColor(QColor(150, 180, 220, 170));
    Bars->setBorderColor(QColor(70, 100, 150));
    Attach(histogramChart_, Bars, x, y);

    // Densities scaled to expected simulations per bin.
    const double lo = histogram_.edges.front(), hi = histogram_.edges.back();
    const double scale = static_cast<double>(histogram_.Total()) * histogram_.BinWidth();
    auto curve = [&](auto&& density, const QString& name, const QPen& pen) {
        auto* s = new QLineSeries;
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
        Attach(histogramChart_, s, x, y);
        return s;
    };
    int rank = 0;
    for (const DistributionFit& fit : fits_.ranked) {
        FitCurves.push_back(curve([&](double v) { return fit.Pdf(v); },
                                  QString("%1. %2").arg(++rank).arg(FitLabel(fit)), QPen(FamilyColour(fit.family), 2)));
    }
    if (kde_ && kde_->Valid())
        KdeCurve = curve([&](double v) { return (*kde_)(v); }, "kernel density", QPen(Qt::black, 1.5, Qt::DashLine));
    HistogramView->SetHome(x, lo, hi, y, 0, top * 1.05, ZoomableChartView::NiceY);
}

void IrrDistributionView::DrawCdf() {
    ClearChart(cdfChart_);
    Ecdf = nullptr;
    FitCdfs.clear();
    cdfChart_->setTitle("Empirical distribution function of the kept IRRs");
    auto [x, y] = AddAxes(cdfChart_, "Fraction at or below");
    const std::vector<CdfStep> steps = EmpiricalCdf(irrs_);
    if (steps.empty()) {
        CdfView->SetHome(x, 0, 1, y, 0, 1);
        return;
    }
    const double lo = histogram_.edges.front(), hi = histogram_.edges.back();
    Ecdf = new QLineSeries;
    Ecdf->setName("empirical");
    QList<QPointF> pts;
    pts << QPointF(lo, 0);
    double previous = 0;
    for (const CdfStep& s : steps) {
        pts << QPointF(s.value, previous) << QPointF(s.value, s.fraction);
        previous = s.fraction;
    }
    pts << QPointF(hi, 1);
    Ecdf->replace(pts);
    Ecdf->setPen(QPen(QColor(70, 100, 150), 2));
    Attach(cdfChart_, Ecdf, x, y);
    int rank = 0;
    for (const DistributionFit& fit : fits_.ranked) {
        auto* s = new QLineSeries;
        QList<QPointF> c;
        for (int k = 0; k <= kCurvePoints; ++k) {
            const double v = lo + (hi - lo) * k / kCurvePoints;
            const double f = fit.Cdf(v);
            if (std::isfinite(f)) c << QPointF(v, f);
        }
        s->replace(c);
        s->setName(QString("%1. %2").arg(++rank).arg(FitLabel(fit)));
        s->setPen(QPen(FamilyColour(fit.family), 1.5));
        Attach(cdfChart_, s, x, y);
        FitCdfs.push_back(s);
    }
    y->setTickCount(6);
    CdfView->SetHome(x, lo, hi, y, 0, 1.0, ZoomableChartView::NiceNone);
}

void IrrDistributionView::FillSummary() {
    struct Row {
        QString name, value;
    };
    std::vector<Row> rows;
    if (figures_.stopped)
        rows.push_back(
            {"Run", QString("stopped after %1 of %2 simulations").arg(figures_.simulations).arg(figures_.requested)});
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
}

void IrrDistributionView::FillFits() {
    const int rows = static_cast<int>(fits_.ranked.size() + fits_.skipped.size()) + (kde_ && kde_->Valid() ? 1 : 0);
    Fits->setRowCount(rows);
    int r = 0;
    for (const DistributionFit& fit : fits_.ranked) {
        Fits->setItem(r, 0, Cell(QString::number(r + 1), true));
        Fits->setItem(r, 1, Cell(FitLabel(fit)));
        Fits->setItem(r, 2, Cell(ParamsText(fit)));
        Fits->setItem(r, 3, Cell(Number(fit.aic), true));
        Fits->setItem(r, 4, Cell(Number(fit.ks), true));
        Fits->setItem(r, 5, Cell(PValueText(fit), true));
        Fits->item(r, 1)->setForeground(FamilyColour(fit.family));
        ++r;
    }
    if (kde_ && kde_->Valid()) {
        Fits->setItem(r, 0, Cell("-", true));
        Fits->setItem(r, 1, Cell("kernel density"));
        Fits->setItem(r, 2, Cell("Gaussian kernel, bandwidth = " + Number(kde_->Bandwidth()) + " (not ranked)"));
        for (int c = 3; c < 6; ++c) Fits->setItem(r, c, Cell(""));
        ++r;
    }
    for (const SkippedFit& s : fits_.skipped) {
        Fits->setItem(r, 0, Cell("-", true));
        Fits->setItem(r, 1, Cell(QString::fromStdString(FamilyName(s.family))));
        Fits->setItem(r, 2, Cell("not fitted: " + QString::fromStdString(s.reason)));
        for (int c = 3; c < 6; ++c) Fits->setItem(r, c, Cell(""));
        ++r;
    }
}

QString IrrDistributionView::CsvText() const {
    QString csv = "quantity,value\n";
    auto line = [&](const QString& name, const QString& value) { csv += name + "," + value + "\n"; };
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

    csv += "\nrank,distribution,parameter_1,value_1,parameter_2,value_2,aic,ks,p_value\n";
    int rank = 0;
    for (const DistributionFit& fit : fits_.ranked) {
        csv += QString::number(++rank) + "," + QString::fromStdString(FamilyName(fit.family));
        for (const FitParameter& p : fit.params) csv += "," + QString::fromStdString(p.name) + "," + Exact(p.value);
        csv += "," + Exact(fit.aic) + "," + Exact(fit.ks) + "," + (fit.pValue ? Exact(*fit.pValue) : QString()) + "\n";
    }
    if (kde_ && kde_->Valid()) csv += ",kernel_density,bandwidth," + Exact(kde_->Bandwidth()) + ",,,,,\n";

    csv += "\nbin_low,bin_high,count\n";
    for (std::size_t k = 0; k < histogram_.counts.size(); ++k)
        csv += Exact(histogram_.edges[k]) + "," + Exact(histogram_.edges[k + 1]) + "," +
               QString::number(histogram_.counts[k]) + "\n";
    return csv;
}

}  // namespace valmora
