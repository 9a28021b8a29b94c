#include "screens/deterministic/profile_overlay.h"

#include <QBrush>
#include <QGraphicsLineItem>
#include <QGraphicsPolygonItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QPen>
#include <QPolygonF>
#include <QtCharts/QChart>
#include <QtCharts/QScatterSeries>

#include <algorithm>
#include <cmath>

namespace valmora {
namespace {

// Above the series and the axes.
constexpr double kOverlayZ = 100;
// Around a label's text, between a mark and its label, between labels.
constexpr double kPadding = 2;
constexpr double kGap = 8;
constexpr double kSpacing = 3;
// An arrow's width and height; stretches closer than two arrows share one.
constexpr double kArrow = 9;

// A free place for a label of `size` by the mark at `p`: just above or below
// it, else ever farther above or below, within `area`, clear of `taken`;
// just above it when there is none.
QRectF FreePlace(QPointF p, QSizeF size, const QRectF& area, const std::vector<QRectF>& taken) {
    const double left =
        std::clamp(p.x() - size.width() / 2, area.left(), std::max(area.left(), area.right() - size.width()));
    auto at = [&](int level, bool above) {
        const double step = level * (size.height() + kSpacing);
        const double top = above ? p.y() - kGap - size.height() - step : p.y() + kGap + step;
        return QRectF(QPointF(left, top), size);
    };
    for (int level = 0;; ++level) {
        bool inside = false;
        for (bool above : {true, false}) {
            const QRectF r = at(level, above);
            if (r.top() < area.top() || r.bottom() > area.bottom()) continue;
            inside = true;
            const QRectF clear = r.adjusted(-kSpacing, -kSpacing, kSpacing, kSpacing);
            if (std::none_of(taken.begin(), taken.end(), [&](const QRectF& t) { return t.intersects(clear); }))
                return r;
        }
        if (!inside && level > 0) break;
    }
    return at(0, true);
}

}  // namespace

ProfileOverlay::ProfileOverlay(QChart* chart) : QObject(chart), chart_(chart) {
    connect(chart_, &QChart::plotAreaChanged, this, [this] { Layout(); });
}

void ProfileOverlay::Clear() {
    for (const Label& l : labels_) {
        delete l.box;
        delete l.leader;
    }
    labels_.clear();
    curve_.clear();
    for (QGraphicsPolygonItem* a : arrows_) a->hide();
}

void ProfileOverlay::AddLabel(QScatterSeries* mark, const QString& text, const QColor& colour) {
    Label l;
    l.mark = mark;  // drawn from its first point
    l.box = new QGraphicsRectItem(chart_);
    l.box->setPen(Qt::NoPen);
    l.box->setBrush(QColor(255, 255, 255, 210));
    l.box->setZValue(kOverlayZ + 1);
    l.text = new QGraphicsSimpleTextItem(text, l.box);
    l.text->setBrush(colour);
    l.text->setFont(chart_->font());
    l.leader = new QGraphicsLineItem(chart_);
    QColor line = colour;
    line.setAlpha(160);
    l.leader->setPen(QPen(line, 1));
    l.leader->setZValue(kOverlayZ);
    labels_.push_back(l);
    Layout();
}

void ProfileOverlay::SetCurve(std::vector<QPointF> points, QValueAxis* x, QValueAxis* y, const QColor& colour) {
    curve_ = std::move(points);
    curveColour_ = colour;
    x_ = x;
    y_ = y;
    for (QValueAxis* axis : {x, y}) connect(axis, &QValueAxis::rangeChanged, this, [this] { Layout(); });
    Layout();
}

std::vector<QGraphicsPolygonItem*> ProfileOverlay::Arrows() const {
    std::vector<QGraphicsPolygonItem*> shown;
    for (QGraphicsPolygonItem* a : arrows_)
        if (a->isVisible()) shown.push_back(a);
    return shown;
}

// Where `value` is drawn, in chart coordinates: from the axes' ranges now,
// which may be newer than the series' own mapping.
QPointF ProfileOverlay::Position(QPointF value) const {
    const QRectF area = chart_->plotArea();
    return {area.left() + (value.x() - x_->min()) / (x_->max() - x_->min()) * area.width(),
            area.bottom() - (value.y() - y_->min()) / (y_->max() - y_->min()) * area.height()};
}

void ProfileOverlay::Layout() {
    LayoutLabels();
    LayoutArrows();
}

void ProfileOverlay::LayoutLabels() {
    const QRectF area = chart_->plotArea();
    std::vector<std::pair<QPointF, const Label*>> shown;
    for (const Label& l : labels_) {
        const QPointF p = x_ && y_ && l.mark && l.mark->count() > 0 ? Position(l.mark->at(0)) : QPointF(-1E9, -1E9);
        const bool inside = area.adjusted(-0.5, -0.5, 0.5, 0.5).contains(p);
        l.box->setVisible(inside);
        l.leader->setVisible(inside);
        if (inside) shown.emplace_back(p, &l);
    }
    // From left to right, each label in the first free place by its mark.
    std::stable_sort(shown.begin(), shown.end(),
                     [](const auto& a, const auto& b) { return a.first.x() < b.first.x(); });
    std::vector<QRectF> taken;
    for (const auto& [p, l] : shown) {
        const QRectF text = l->text->boundingRect();
        const QRectF r = FreePlace(p, text.size() + QSizeF(2 * kPadding, 2 * kPadding), area, taken);
        taken.push_back(r);
        l->box->setRect(r);
        l->text->setPos(r.topLeft() + QPointF(kPadding, kPadding));
        // To the near edge of the label, from the mark.
        const double y = r.bottom() <= p.y() ? r.bottom() : (r.top() >= p.y() ? r.top() : p.y());
        l->leader->setLine(QLineF(p, QPointF(std::clamp(p.x(), r.left(), r.right()), y)));
    }
}

void ProfileOverlay::LayoutArrows() {
    std::size_t used = 0;
    auto arrow = [&](double x, bool up) {
        if (used == arrows_.size()) {
            auto* a = new QGraphicsPolygonItem(chart_);
            a->setZValue(kOverlayZ);
            a->setPen(Qt::NoPen);
            arrows_.push_back(a);
        }
        QGraphicsPolygonItem* a = arrows_[used++];
        const QRectF area = chart_->plotArea();
        const double tip = up ? area.top() + 1 : area.bottom() - 1, base = up ? tip + kArrow : tip - kArrow;
        a->setPolygon(QPolygonF({QPointF(x, tip), QPointF(x - kArrow / 2, base), QPointF(x + kArrow / 2, base)}));
        a->setBrush(curveColour_);
        a->show();
    };
    if (x_ && y_ && !curve_.empty() && x_->max() > x_->min() && y_->max() > y_->min()) {
        // Stretches of the curve above the top (side 1) or below the bottom
        // (side -1), in pixels across, one arrow in the middle of each.
        struct Stretch {
            int side;
            double from, to;
        };
        std::vector<Stretch> stretches;
        for (const QPointF& v : curve_) {
            if (v.x() < x_->min() || v.x() > x_->max()) continue;
            const int side = v.y() > y_->max() ? 1 : (v.y() < y_->min() ? -1 : 0);
            const double at = Position(v).x();
            if (side == 0) continue;
            if (!stretches.empty() && stretches.back().side == side && at - stretches.back().to < 2 * kArrow)
                stretches.back().to = at;
            else stretches.push_back({side, at, at});
        }
        const QRectF area = chart_->plotArea();
        for (const Stretch& s : stretches)
            arrow(std::max(area.left() + kArrow / 2, std::min((s.from + s.to) / 2, area.right() - kArrow / 2)),
                  s.side > 0);
    }
    for (std::size_t k = used; k < arrows_.size(); ++k) arrows_[k]->hide();
}

}  // namespace valmora
