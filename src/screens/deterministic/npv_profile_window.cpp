#include "screens/deterministic/npv_profile_window.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QShortcut>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/solver/number_format.h"
#include "screens/common/chart_view.h"
#include "screens/deterministic/profile_overlay.h"
#include "ui/decimal_separator.h"
#include "ui/dialogs.h"
#include "ui/on_screen.h"

namespace valmora {
namespace {

// The chart keeps its white plot in any palette (the marks' labels sit on
// white boxes); its colours read there as text does (4.5:1 and more), and as
// lines (3:1) on a dark background as well.
const QColor kMarkColour(220, 45, 45);
const QColor kMissedColour(160, 72, 222);
const QColor kCurveColour(35, 112, 230);
const QColor kHurdleColour(0, 134, 62);
// The curve and the shading are drawn up to this many times the largest
// value shown.
constexpr double kDrawnBeyond = 1000;

void HideFromLegend(QChart* chart, QAbstractSeries* series) {
    for (QLegendMarker* m : chart->legend()->markers(series)) m->setVisible(false);
}

QString CaptionText(std::size_t rates, int m, NpvProfileWindow::Search search, bool missedRoots, bool shaded,
                    const ValueWindow& values) {
    QString caption;
    if (search == NpvProfileWindow::Search::NotRun) caption = "No IRR listed yet: \"Locate Root(s)\" lists them.";
    else if (rates == 0) caption = "No IRR is listed for this series.";
    else
        caption = QString("%1 IRR%2 listed%3.")
                      .arg(rates)
                      .arg(rates == 1 ? "" : "s")
                      .arg(m > 1 ? " as annual rates (API)" : "");
    if (missedRoots) caption += " Hollow marks: roots no listed rate stands for.";
    if (shaded) caption += " Shaded: rates where the search may have missed roots.";
    if (values.cutLow || values.cutHigh)
        caption += QString(" The curve goes beyond the values shown (arrows at the edges): zoom out to see more.");
    return caption;
}

}  // namespace

NpvProfileWindow::NpvProfileWindow(ui::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), chart_(new QChart) {
    setWindowTitle("NPV Profile");
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(760, 520);

    // On the right every entry of the legend keeps its whole text.
    chart_->legend()->setAlignment(Qt::AlignRight);
    chart_->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    ChartView = new ZoomableChartView(chart_, this);
    ChartView->setAccessibleName("NPV profile");
    Overlay = new ProfileOverlay(chart_);
    Caption = new QLabel(this);
    Caption->setWordWrap(true);
    ResetButton = new QPushButton("&Reset Zoom", this);
    PngButton = new QPushButton("Export &PNG...", this);
    SvgButton = new QPushButton("Export &SVG...", this);
    CloseButton = new QPushButton("&Close", this);
    Readout = new QLabel(this);
    Readout->setMinimumWidth(220);

    // The readout and the hint on one line, the buttons on the next, so that
    // the window fits a small display and a large font.
    auto* hint = new QLabel("Zoom: mouse wheel, or drag a rectangle (right click zooms out).", this);
    hint->setWordWrap(true);
    auto* readings = new QHBoxLayout;
    readings->addWidget(Readout);
    readings->addWidget(hint, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ResetButton);
    buttons->addWidget(PngButton);
    buttons->addWidget(SvgButton);
    buttons->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Caption);
    layout->addWidget(ChartView, 1);
    layout->addLayout(readings);
    layout->addLayout(buttons);
    ui::KeepOnScreen(this);

    connect(ResetButton, &QPushButton::clicked, this, [this] { ChartView->ResetZoom(); });
    connect(ChartView, &ZoomableChartView::Hovered, this, [this](QPointF at, bool inside) { ShowReadout(at, inside); });
    connect(PngButton, &QPushButton::clicked, this, [this] { ExportChart(ChartView, ChartFormat::Png, dialogs_); });
    connect(SvgButton, &QPushButton::clicked, this, [this] { ExportChart(ChartView, ChartFormat::Svg, dialogs_); });
    // Esc closes the window, as it closes a dialog.
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

// The rate under the mouse and the present value of the series there,
// computed, not read off the drawn line.
void NpvProfileWindow::ShowReadout(QPointF at, bool inside) {
    const double rate = at.x();
    if (!inside || flows_.empty() || !(rate / periodsPerYear_ > -1)) {
        Readout->clear();
        return;
    }
    const double npv = PresentValue(flows_, rate / periodsPerYear_);
    Readout->setText(
        ui::NumbersInLocale(QString("Rate %1, NPV %2").arg(rate, 0, 'g', 5).arg(npv == 0.0 ? 0.0 : npv, 0, 'g', 6)));
}

void NpvProfileWindow::SetSeries(std::vector<double> flows, std::vector<double> rates, int periodsPerYear,
                                 std::vector<RateInterval> missed, std::vector<MissedRootMark> missedRoots,
                                 Search search) {
    const int m = std::max(periodsPerYear, 1);
    flows_ = flows;
    periodsPerYear_ = m;
    Readout->clear();
    Overlay->Clear();
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
    IrrMarks.clear();
    MissedRootMarks.clear();
    MissedAreas.clear();
    HurdleLine = nullptr;

    std::erase_if(missedRoots, [](const MissedRootMark& r) { return !std::isfinite(r.rate); });
    std::vector<double> marked;  // where the profile is looked at closely
    for (double r : rates)
        if (std::isfinite(r)) marked.push_back(r);
    for (const MissedRootMark& r : missedRoots) marked.push_back(r.rate);
    // The hurdle rate lies in the range shown, though the values are chosen around the roots.
    std::vector<double> ranged = marked;
    if (hurdle_ && std::isfinite(*hurdle_) && *hurdle_ / m > -1) ranged.push_back(*hurdle_);
    const NpvProfile profile = MakeNpvProfile(flows, ranged, m, missed);
    const double low = profile.range.low, high = profile.range.high;
    const ValueWindow values = ProfileValues(profile.points, marked);
    const double yLow = values.low, yHigh = values.high;

    AxisX = new QValueAxis;
    AxisX->setTitleText(m > 1 ? QString("Annual rate (API) = %1 x rate per period").arg(m)
                              : QString("Rate per period i"));
    AxisX->setLabelFormat("%.4g");
    AxisY = new QValueAxis;
    AxisY->setTitleText("Present value f");
    AxisY->setLabelFormat("%.6g");
    chart_->addAxis(AxisX, Qt::AlignBottom);
    chart_->addAxis(AxisY, Qt::AlignLeft);
    auto attach = [&](QAbstractSeries* s) {
        chart_->addSeries(s);
        s->attachAxis(AxisX);
        s->attachAxis(AxisY);
    };

    // Shading and curve reach far beyond the values shown, so that zooming
    // out shows more of them; no point lies so far off that drawing it fails.
    const double bound =
        std::min(kDrawnBeyond * std::max(std::abs(yLow), std::abs(yHigh)), std::numeric_limits<double>::max());
    for (const RateInterval& iv : missed) {
        auto* upper = new QLineSeries;
        auto* lower = new QLineSeries;
        const double a = std::max(iv.low, low), b = std::min(iv.high, high);
        upper->append(a, bound);
        upper->append(b, bound);
        lower->append(a, -bound);
        lower->append(b, -bound);
        auto* area = new QAreaSeries(upper, lower);
        area->setName("Roots possibly missed");
        area->setColor(QColor(255, 190, 60, 90));
        area->setBorderColor(QColor(230, 150, 20, 160));
        attach(area);
        for (QLegendMarker* marker : chart_->legend()->markers(area)) marker->setShape(QLegend::MarkerShapeRectangle);
        if (!MissedAreas.empty()) HideFromLegend(chart_, area);
        MissedAreas.push_back(area);
    }

    ZeroLine = new QLineSeries;
    ZeroLine->setName("Zero");
    ZeroLine->append(low, 0);
    ZeroLine->append(high, 0);
    ZeroLine->setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
    attach(ZeroLine);
    HideFromLegend(chart_, ZeroLine);

    if (hurdle_ && *hurdle_ >= low && *hurdle_ <= high) {
        HurdleLine = new QLineSeries;
        HurdleLine->setName("Hurdle rate = " + ui::InLocale(FormatRate(*hurdle_)));
        HurdleLine->append(*hurdle_, -bound);
        HurdleLine->append(*hurdle_, bound);
        HurdleLine->setPen(QPen(kHurdleColour, 2, Qt::DashDotLine));
        attach(HurdleLine);
    }

    Profile = new QLineSeries;
    Profile->setName("f(i)");
    QList<QPointF> points;
    for (const ProfilePoint& p : profile.points)
        if (std::isfinite(p.npv)) points.append(QPointF(p.rate, std::clamp(p.npv, -bound, bound)));
    Profile->replace(points);
    Profile->setPen(QPen(kCurveColour, 2));
    attach(Profile);

    for (std::size_t k = 0; k < rates.size(); ++k) {
        if (!std::isfinite(rates[k])) continue;
        QScatterSeries* mark = Mark(rates[k], QString("IRR %1").arg(k + 1), kMarkColour);
        mark->setColor(kMarkColour);
        mark->setBorderColor(Qt::white);
        IrrMarks.push_back(mark);
    }
    for (const MissedRootMark& root : missedRoots) {
        QScatterSeries* mark = Mark(root.rate, root.touching ? "Touching root" : "Missed root", kMissedColour);
        mark->setMarkerShape(QScatterSeries::MarkerShapeRotatedRectangle);
        mark->setBrush(Qt::NoBrush);
        mark->setPen(QPen(kMissedColour, 2));
        MissedRootMarks.push_back(mark);
    }
    Overlay->SetCurve({points.begin(), points.end()}, AxisX, AxisY, kCurveColour);

    chart_->setTitle("NPV profile:  f(i) = P0 + P1 x + ... + PN x^N,  x = 1/(1 + i)");
    Caption->setText(
        ui::NumbersInLocale(CaptionText(rates.size(), m, search, !missedRoots.empty(), !missed.empty(), values)));
    ChartView->setAccessibleDescription(Caption->text());
    ChartView->SetHome(AxisX, low, high, AxisY, yLow, yHigh, ZoomableChartView::NiceY);
}

// A mark at `rate` on the profile, labelled with the rate and named in the
// legend "`what` = rate".
QScatterSeries* NpvProfileWindow::Mark(double rate, const QString& what, const QColor& colour) {
    const QString text = ui::InLocale(FormatRate(rate));
    auto* mark = new QScatterSeries;
    mark->setName(what + " = " + text);
    mark->append(rate, PresentValue(flows_, rate / periodsPerYear_));
    mark->setMarkerSize(10);
    chart_->addSeries(mark);
    mark->attachAxis(AxisX);
    mark->attachAxis(AxisY);
    Overlay->AddLabel(mark, text, colour);
    return mark;
}

}  // namespace valmora
