#include "screens/deterministic/npv_profile_window.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QShortcut>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QChart>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

#include "core/solver/number_format.h"
#include "screens/common/chart_view.h"
#include "ui/dialogs.h"

namespace valmora {
namespace {

const QColor kMarkColour(200, 30, 30);

void HideFromLegend(QChart* chart, QAbstractSeries* series) {
    for (QLegendMarker* m : chart->legend()->markers(series)) m->setVisible(false);
}

}  // namespace

NpvProfileWindow::NpvProfileWindow(ui::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), chart_(new QChart) {
    setWindowTitle("NPV Profile");
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(760, 520);

    chart_->legend()->setAlignment(Qt::AlignBottom);
    ChartView = new ZoomableChartView(chart_, this);
    Caption = new QLabel(this);
    Caption->setWordWrap(true);
    ResetButton = new QPushButton("&Reset Zoom", this);
    PngButton = new QPushButton("Export &PNG...", this);
    SvgButton = new QPushButton("Export &SVG...", this);
    CloseButton = new QPushButton("&Close", this);
    Readout = new QLabel(this);
    Readout->setMinimumWidth(220);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Readout);
    buttons->addWidget(new QLabel("Zoom: mouse wheel, or drag a rectangle (right click zooms out).", this), 1);
    buttons->addWidget(ResetButton);
    buttons->addWidget(PngButton);
    buttons->addWidget(SvgButton);
    buttons->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Caption);
    layout->addWidget(ChartView, 1);
    layout->addLayout(buttons);

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
    Readout->setText(QString("Rate %1, NPV %2").arg(rate, 0, 'g', 5).arg(npv == 0.0 ? 0.0 : npv, 0, 'g', 6));
}

void NpvProfileWindow::SetSeries(std::vector<double> flows, std::vector<double> rates, int periodsPerYear,
                                 std::vector<RateInterval> missed) {
    const int m = std::max(periodsPerYear, 1);
    flows_ = flows;
    periodsPerYear_ = m;
    Readout->clear();
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
    IrrMarks.clear();
    MissedAreas.clear();

    const NpvProfile profile = MakeNpvProfile(flows, rates, m, missed);
    const double low = profile.range.low, high = profile.range.high;
    double yLow = 0, yHigh = 0;
    for (const ProfilePoint& p : profile.points) {
        if (!std::isfinite(p.npv)) continue;
        yLow = std::min(yLow, p.npv);
        yHigh = std::max(yHigh, p.npv);
    }
    const double pad = std::max(0.05 * (yHigh - yLow), 1e-9);
    yLow -= pad;
    yHigh += pad;

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

    for (const RateInterval& iv : missed) {
        auto* upper = new QLineSeries;
        auto* lower = new QLineSeries;
        const double a = std::max(iv.low, low), b = std::min(iv.high, high);
        upper->append(a, yHigh);
        upper->append(b, yHigh);
        lower->append(a, yLow);
        lower->append(b, yLow);
        auto* area = new QAreaSeries(upper, lower);
        area->setName("Roots possibly missed");
        area->setColor(QColor(255, 190, 60, 90));
        area->setBorderColor(QColor(230, 150, 20, 160));
        attach(area);
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

    Profile = new QLineSeries;
    Profile->setName("f(i) = P0 + P1 x + ... + PN x^N,  x = 1/(1 + i)");
    QList<QPointF> points;
    for (const ProfilePoint& p : profile.points)
        if (std::isfinite(p.npv)) points.append(QPointF(p.rate, p.npv));
    Profile->replace(points);
    Profile->setPen(QPen(QColor(20, 70, 160), 2));
    attach(Profile);

    for (std::size_t k = 0; k < rates.size(); ++k) {
        if (!std::isfinite(rates[k])) continue;
        auto* mark = new QScatterSeries;
        const QString text = QString::fromStdString(FormatRate(rates[k]));
        mark->setName(QString("IRR %1 = %2").arg(k + 1).arg(text));
        mark->append(rates[k], PresentValue(flows, rates[k] / m));
        mark->setMarkerSize(10);
        mark->setColor(kMarkColour);
        mark->setBorderColor(Qt::white);
        mark->setPointLabelsFormat(text);  // no placeholder: the text itself
        mark->setPointLabelsVisible(true);
        mark->setPointLabelsColor(kMarkColour);
        attach(mark);
        IrrMarks.push_back(mark);
    }

    chart_->setTitle("NPV profile");
    QString caption = rates.empty() ? QString("No IRR is listed for this series.")
                                    : QString("%1 IRR%2 listed%3.")
                                          .arg(rates.size())
                                          .arg(rates.size() == 1 ? "" : "s")
                                          .arg(m > 1 ? " as annual rates (API)" : "");
    if (!missed.empty()) caption += " Shaded: rates where the search may have missed roots.";
    Caption->setText(caption);
    ChartView->SetHome(AxisX, low, high, AxisY, yLow, yHigh, ZoomableChartView::NiceY);
}

}  // namespace valmora
