// Plots drawn with QPainter: a framed plot with ticks, titles and a legend,
// bare axes with arrows, and curves sampled into paths.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>

namespace valmora {

// One axis of a plot: its range, the step of its ticks, and its title
// (lines under the horizontal axis, one line beside the vertical one).
struct PlotAxis {
    double from;
    double to;
    double step;
    QStringList title;
};

// A plot of one curve, drawn in red over [curveFrom, curveTo], with its
// legend.
struct Plot {
    QString title;
    PlotAxis x;
    PlotAxis y;
    QColor grid;  // grid lines at the ticks; invalid for tick marks only
    std::function<double(double)> curve;
    double curveFrom;
    double curveTo;
    QString legend;
};

// A framed plot of one curve inside `bounds`: title above, tick labels and
// axis titles outside the frame, grid lines or tick marks inside, legend.
// Sizes are in pixels of the painter's coordinates.
void DrawPlot(QPainter& p, const QRectF& bounds, const Plot& plot);

// Axes with an arrow on each, from the origin `o` right to `right` and up to
// `top`, named beside their arrows in the painter's font.
void ArrowAxes(QPainter& p, QPointF o, double right, double top, const QString& xName, const QString& yName);

// The polyline through point(0), point(1), ..., point(samples).
QPainterPath SampledPath(int samples, const std::function<QPointF(int)>& point);

}  // namespace valmora
