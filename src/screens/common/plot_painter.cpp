#include "screens/common/plot_painter.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <vector>

#include "ui/fonts.h"

namespace valmora {
namespace {

const QColor kCurveColor(255, 0, 0);

std::vector<double> Ticks(const PlotAxis& axis) {
    std::vector<double> ticks;
    const int count = static_cast<int>(std::lround((axis.to - axis.from) / axis.step));
    for (int k = 0; k <= count; ++k) ticks.push_back(axis.from + k * axis.step);
    return ticks;
}

QString TickLabel(double value, double step) {
    if (std::abs(value) < step * 1e-6) value = 0;
    return QString::number(value, 'g', 6);
}

// The legend box in the plot's top right corner: a red line and its name.
void DrawLegend(QPainter& p, const QRectF& area, const QString& name) {
    const QFont font = ui::ArialPixels(11);
    const double textWidth = QFontMetricsF(font).horizontalAdvance(name);
    const QRectF box(area.right() - textWidth - 44, area.top() + 6, textWidth + 38, 20);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(box);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kCurveColor, 1.5));
    p.drawLine(QPointF(box.left() + 6, box.center().y()), QPointF(box.left() + 28, box.center().y()));
    p.setPen(Qt::black);
    p.setFont(font);
    p.drawText(box.adjusted(32, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, name);
}

}  // namespace

void DrawPlot(QPainter& p, const QRectF& bounds, const Plot& plot) {
    const QFont tickFont = ui::ArialPixels(10);
    const QFont titleFont = ui::ArialPixels(11);
    const QFontMetricsF tickMetrics(tickFont);
    const std::vector<double> xTicks = Ticks(plot.x);
    const std::vector<double> yTicks = Ticks(plot.y);

    double yLabelWidth = 0;
    for (double v : yTicks)
        yLabelWidth = std::max(yLabelWidth, tickMetrics.horizontalAdvance(TickLabel(v, plot.y.step)));
    const double lastXLabel = tickMetrics.horizontalAdvance(TickLabel(xTicks.back(), plot.x.step));
    const double lineHeight = 14;
    // On half pixels, so that its one-pixel lines stay crisp.
    auto crisp = [](double v) { return std::floor(v) + 0.5; };
    const QRectF area(QPointF(crisp(bounds.left() + lineHeight + 6 + yLabelWidth + 6), crisp(bounds.top() + 20)),
                      QPointF(crisp(bounds.right() - std::max(4.0, lastXLabel / 2)),
                              crisp(bounds.bottom() - lineHeight * (1 + plot.x.title.size()) - 4)));
    auto mapX = [&](double x) { return area.left() + (x - plot.x.from) / (plot.x.to - plot.x.from) * area.width(); };
    auto mapY = [&](double y) { return area.bottom() - (y - plot.y.from) / (plot.y.to - plot.y.from) * area.height(); };

    // Grid lines, or tick marks along the bottom and left edges.
    p.setPen(QPen(plot.grid.isValid() ? plot.grid : QColor(Qt::black), 1));
    const double tick = plot.grid.isValid() ? area.height() : 5;
    for (double v : xTicks) p.drawLine(QPointF(mapX(v), area.bottom()), QPointF(mapX(v), area.bottom() - tick));
    const double yTick = plot.grid.isValid() ? area.width() : 5;
    for (double v : yTicks) p.drawLine(QPointF(area.left(), mapY(v)), QPointF(area.left() + yTick, mapY(v)));
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(area);

    p.setFont(tickFont);
    for (double v : xTicks)
        p.drawText(QRectF(mapX(v) - 30, area.bottom() + 4, 60, lineHeight), Qt::AlignHCenter | Qt::AlignTop,
                   TickLabel(v, plot.x.step));
    for (double v : yTicks)
        p.drawText(QRectF(area.left() - 6 - yLabelWidth, mapY(v) - lineHeight / 2, yLabelWidth, lineHeight),
                   Qt::AlignRight | Qt::AlignVCenter, TickLabel(v, plot.y.step));

    p.setFont(titleFont);
    for (int k = 0; k < plot.x.title.size(); ++k)
        p.drawText(QRectF(area.left(), area.bottom() + lineHeight * (k + 1) + 4, area.width(), lineHeight),
                   Qt::AlignHCenter | Qt::AlignTop, plot.x.title[k]);
    p.save();
    p.translate(bounds.left(), area.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-area.height() / 2, 0, area.height(), lineHeight), Qt::AlignCenter, plot.y.title.join(' '));
    p.restore();
    p.setFont(ui::ArialPixels(12));
    p.drawText(QRectF(area.left(), bounds.top(), area.width(), 18), Qt::AlignCenter, plot.title);

    constexpr int kSamples = 400;
    const QPainterPath path = SampledPath(kSamples, [&](int k) {
        const double x = plot.curveFrom + (plot.curveTo - plot.curveFrom) * k / kSamples;
        return QPointF(mapX(x), mapY(plot.curve(x)));
    });
    p.save();
    p.setClipRect(area);
    p.setPen(QPen(kCurveColor, 1.5));
    p.drawPath(path);
    p.restore();

    DrawLegend(p, area, plot.legend);
}

void ArrowAxes(QPainter& p, QPointF o, double right, double top, const QString& xName, const QString& yName) {
    p.setPen(QPen(Qt::black, 1.2));
    p.drawLine(o, QPointF(right, o.y()));
    p.drawLine(o, QPointF(o.x(), top));
    p.drawLine(QPointF(right, o.y()), QPointF(right - 5, o.y() - 3));
    p.drawLine(QPointF(right, o.y()), QPointF(right - 5, o.y() + 3));
    p.drawLine(QPointF(o.x(), top), QPointF(o.x() - 3, top + 5));
    p.drawLine(QPointF(o.x(), top), QPointF(o.x() + 3, top + 5));
    p.drawText(QRectF(right - 14, o.y() + 2, 18, 14), Qt::AlignCenter, xName);
    p.drawText(QRectF(o.x() + 4, top - 6, 40, 14), Qt::AlignLeft, yName);
}

QPainterPath SampledPath(int samples, const std::function<QPointF(int)>& point) {
    QPainterPath path;
    for (int k = 0; k <= samples; ++k) {
        if (k == 0) path.moveTo(point(k));
        else path.lineTo(point(k));
    }
    return path;
}

}  // namespace valmora
