// What the NPV profile window shows by its marks: the labels' texts, and
// where labels and marks are drawn (chart coordinates).
#pragma once

#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QStringList>
#include <QtCharts/QChart>
#include <QtCharts/QScatterSeries>

#include <vector>

#include "screens/common/chart_view.h"
#include "screens/deterministic/npv_profile_window.h"
#include "screens/deterministic/profile_overlay.h"

namespace valmora::testing {

// The label by `mark`; null when it has none.
inline const ProfileOverlay::Label* LabelOf(const NpvProfileWindow* w, const QScatterSeries* mark) {
    for (const ProfileOverlay::Label& l : w->Overlay->Labels())
        if (l.mark == mark) return &l;
    return nullptr;
}

// The texts shown by the marks, in their order; "" where none shows.
inline QStringList LabelTexts(const NpvProfileWindow* w, const std::vector<QScatterSeries*>& marks) {
    QStringList texts;
    for (const QScatterSeries* mark : marks) {
        const ProfileOverlay::Label* l = LabelOf(w, mark);
        texts << (l && l->box->isVisible() ? l->text->text() : QString());
    }
    return texts;
}

// Where the chart draws the mark.
inline QPointF MarkPosition(const NpvProfileWindow* w, QScatterSeries* mark) {
    return w->ChartView->chart()->mapToPosition(mark->at(0), mark);
}

}  // namespace valmora::testing
