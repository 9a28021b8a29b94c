// What the NPV profile draws over its chart besides the series: a label for
// each marked rate, placed where it covers no other label and tied to its
// mark by a thin line, and arrows at the plot's top and bottom edges over
// the stretches where the curve runs beyond the values shown. Laid out
// again whenever the plot area or the range of an axis changes.
#pragma once

#include <QColor>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QString>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <vector>

class QChart;
class QGraphicsLineItem;
class QGraphicsPolygonItem;
class QGraphicsRectItem;
class QGraphicsSimpleTextItem;

namespace valmora {

class ProfileOverlay : public QObject {
public:
    explicit ProfileOverlay(QChart* chart);

    struct Label {
        QPointer<QScatterSeries> mark;  // its first point is the one labelled
        QGraphicsRectItem* box;         // the label's background; holds the text
        QGraphicsSimpleTextItem* text;  // in the mark's colour
        QGraphicsLineItem* leader;      // from the label to the mark
    };

    // Drops the labels and the curve, before the chart's series go.
    void Clear();
    // Labels the first point of `mark` with `text`.
    void AddLabel(QScatterSeries* mark, const QString& text, const QColor& colour);
    // The curve, as drawn against the axes `x` and `y`, whose stretches
    // beyond the values shown get arrows; lays out whenever the axes' ranges
    // change.
    void SetCurve(std::vector<QPointF> points, QValueAxis* x, QValueAxis* y, const QColor& colour);

    // Places the labels and the arrows for the plot area and ranges now.
    void Layout();

    const std::vector<Label>& Labels() const { return labels_; }
    // The arrows shown: those at the top point up, those at the bottom down.
    std::vector<QGraphicsPolygonItem*> Arrows() const;

private:
    QPointF Position(QPointF value) const;
    void LayoutLabels();
    void LayoutArrows();

    QChart* chart_;
    QPointer<QValueAxis> x_;
    QPointer<QValueAxis> y_;
    std::vector<QPointF> curve_;
    QColor curveColour_;
    std::vector<Label> labels_;
    std::vector<QGraphicsPolygonItem*> arrows_;  // kept for the next layout; the unused ones hidden
};

}  // namespace valmora
