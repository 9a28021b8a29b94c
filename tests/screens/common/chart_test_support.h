// What the chart window tests share: mouse-wheel and rubber-band zooming as a
// user does it, and the check of exported files.
#pragma once

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTest>
#include <QWheelEvent>
#include <QtCharts/QValueAxis>

#include "screens/common/chart_view.h"

namespace valmora::testing {

inline void Wheel(ZoomableChartView* view, QPoint at, int notches) {
    QWheelEvent event(at, view->viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &event);
}

inline void DragRectangle(ZoomableChartView* view, QPoint from, QPoint to) {
    QWidget* vp = view->viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, from);
    QTest::mouseMove(vp, (from + to) / 2);
    QTest::mouseMove(vp, to);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, to);
}

// The middle of the plot area, in view coordinates.
inline QPoint PlotCentre(ZoomableChartView* view) {
    return view->mapFromScene(view->chart()->mapToScene(view->chart()->plotArea().center()));
}

inline double Width(const QValueAxis* axis) { return axis->max() - axis->min(); }

inline QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace valmora::testing
