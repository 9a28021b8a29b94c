#include "screens/common/chart_view.h"

#include <QLocale>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QWheelEvent>
#include <QtCharts/QChart>
#include <QtCharts/QValueAxis>

#include "screens/common/text_files.h"
#include "ui/dialogs.h"

#include <cmath>

namespace valmora {
namespace {


// The label format the axis was given, kept while zoomed ticks have their own.
QString OwnFormat(QValueAxis* axis) {
    const char* kFormat = "valmoraLabelFormat";
    if (!axis->property(kFormat).isValid()) axis->setProperty(kFormat, axis->labelFormat());
    return axis->property(kFormat).toString();
}

// Ticks at whole multiples of 1, 2 or 5 times a power of ten, about six of
// them, whatever the range.
void RoundTicks(QValueAxis* axis) {
    const double span = axis->max() - axis->min();
    if (!(span > 0) || !std::isfinite(span)) return;
    const double raw = span / 6;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (double m : {2.0, 5.0, 10.0})
        if (step < raw) step = m * power;
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickInterval(step);
    const QString own = OwnFormat(axis);
    if (step >= 1) {
        // Whole steps add up exactly.
        axis->setTickAnchor(0.0);
        axis->setLabelFormat(own);
        return;
    }
    // Qt finds each tick by adding the step to the one before, which leaves a
    // trace of rounding where a tick stands for 0 (-5.55112e-17, or -0.0 in
    // fixed notation): the ticks stand a billionth of a step above the round
    // values, and their labels show the step's decimals.
    const int decimals = static_cast<int>(-std::floor(std::log10(step) + 1E-9));
    axis->setTickAnchor(step * 1E-9);
    axis->setLabelFormat(QString("%.%1f").arg(decimals));
}

// After a zoom, `axis` gets round ticks anchored at 0, so that no tick
// reads like 6.39488e-14 where it stands for 0. Connected once an axis.
void RoundTicksWhenZoomed(QValueAxis* axis) {
    const char* kConnected = "valmoraRoundTicks";
    if (axis->property(kConnected).toBool()) return;
    axis->setProperty(kConnected, true);
    QObject::connect(axis, &QValueAxis::rangeChanged, axis, [axis] { RoundTicks(axis); });
}

// Lays the chart out now rather than when the event loop comes to it: a new
// range changes the tick labels, and their width the plot area.
void SettleLayout(QChart* chart) {
    if (QGraphicsLayout* layout = chart->layout()) layout->activate();
}

}  // namespace

ZoomableChartView::ZoomableChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
    setRubberBand(QChartView::RectangleRubberBand);
    setRenderHint(QPainter::Antialiasing);
    setMouseTracking(true);  // for the readout under the mouse
    // Axis labels in the user's locale (a decimal comma where it writes one).
    chart->setLocale(QLocale());
    chart->setLocalizeNumbers(true);
}

void ZoomableChartView::mouseMoveEvent(QMouseEvent* event) {
    QChartView::mouseMoveEvent(event);
    const QPointF p = chart()->mapFromScene(mapToScene(event->position().toPoint()));
    const bool inside = chart()->plotArea().contains(p);
    emit Hovered(inside ? chart()->mapToValue(p) : QPointF(), inside);
}

void ZoomableChartView::leaveEvent(QEvent* event) {
    QChartView::leaveEvent(event);
    emit Hovered(QPointF(), false);
}

void ZoomableChartView::SetHome(QValueAxis* x, double xLow, double xHigh, QValueAxis* y, double yLow, double yHigh,
                                int nice) {
    x_ = x;
    y_ = y;
    chart()->zoomReset();
    // Round numbers at the ends and on the ticks.
    x->setRange(xLow, xHigh);
    y->setRange(yLow, yHigh);
    if (nice & NiceX) x->applyNiceNumbers();
    else RoundTicks(x);
    if (nice & NiceY) y->applyNiceNumbers();
    RoundTicksWhenZoomed(x);
    RoundTicksWhenZoomed(y);
    home_[0] = x->min();
    home_[1] = x->max();
    home_[2] = y->min();
    home_[3] = y->max();
}

void ZoomableChartView::ResetZoom() {
    chart()->zoomReset();
    if (x_) x_->setRange(home_[0], home_[1]);
    if (y_) y_->setRange(home_[2], home_[3]);
}

void ZoomableChartView::ZoomAround(QPointF at, double factor) {
    if (!(factor > 0) || !std::isfinite(factor)) return;
    QChart* c = chart();
    SettleLayout(c);  // the plot area as drawn
    const QPointF p = c->mapFromScene(mapToScene(at.toPoint()));
    QRectF area = c->plotArea();
    if (!area.contains(p) || area.isEmpty()) return;
    if (!x_ || !y_) {
        c->zoomIn(QRectF(p - (p - area.topLeft()) / factor, area.size() / factor));
        return;
    }
    // The value under the pointer, and what a pixel stands for once zoomed.
    const double spanX = x_->max() - x_->min(), spanY = y_->max() - y_->min();
    const QPointF value(x_->min() + (p.x() - area.left()) / area.width() * spanX,
                        y_->max() - (p.y() - area.top()) / area.height() * spanY);
    const double perX = spanX / area.width() / factor, perY = spanY / area.height() / factor;
    // New tick labels can be wider or narrower than the old ones, which moves
    // the plot area: the ranges are set again until the value stays under the
    // pointer.
    for (int pass = 0; pass < 4; ++pass) {
        const double left = value.x() - (p.x() - area.left()) * perX;
        const double top = value.y() + (p.y() - area.top()) * perY;
        x_->setRange(left, left + area.width() * perX);
        y_->setRange(top - area.height() * perY, top);
        SettleLayout(c);
        const QRectF now = c->plotArea();
        const QPointF moved = now.topLeft() - area.topLeft(), grown = now.bottomRight() - area.bottomRight();
        area = now;
        if (moved.manhattanLength() + grown.manhattanLength() < 0.1) break;
    }
}

void ZoomableChartView::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) return QChartView::wheelEvent(event);
    ZoomAround(event->position(), std::pow(1.25, delta / 120.0));
    event->accept();
}

bool ExportChart(QChartView* view, ChartFormat format, ui::Dialogs& dialogs) {
    const bool png = format == ChartFormat::Png;
    QString name = dialogs.SaveFileName(png ? "Export Chart as PNG" : "Export Chart as SVG", QString(),
                                        png ? "PNG Image (*.png)|*.png" : "SVG Drawing (*.svg)|*.svg");
    if (name.isEmpty()) return false;
    name = WithExtension(name, png ? "png" : "svg");
    bool ok;
    if (png) {
        ok = view->grab().save(name, "PNG");
    } else {
        QSvgGenerator svg;
        svg.setFileName(name);
        svg.setSize(view->size());
        svg.setViewBox(QRect(QPoint(0, 0), view->size()));
        svg.setTitle(view->chart()->title());
        QPainter painter;
        ok = painter.begin(&svg);
        if (ok) {
            view->render(&painter);
            ok = painter.end();
        }
        ok = ok && QFileInfo(name).size() > 0;
    }
    if (!ok) dialogs.Message("The chart could not be written to " + name + ".", "Export");
    return ok;
}

bool ExportCsv(const QString& text, ui::Dialogs& dialogs) {
    return SaveTextFile(dialogs, "Export Summary and Fits", "CSV Files (*.csv)|*.csv", "csv", text.toUtf8());
}

}  // namespace valmora
