#include "screens/common/formula_painter.h"

#include <QFontMetricsF>
#include <QPainterPath>

#include <algorithm>

#include "ui/fonts.h"

namespace valmora {

void TallParenthesis(QPainter& p, double x, double top, double bottom, double bulge) {
    QPainterPath path;
    path.moveTo(x, top);
    path.cubicTo(x + bulge, top + (bottom - top) * 0.25, x + bulge, top + (bottom - top) * 0.75, x, bottom);
    p.drawPath(path);
}

Formula::Extent Formula::Measure(double px, const Piece& piece) {
    Formula f(nullptr, QPointF(0, 0), px);
    piece(f);
    return f.Size();
}

Formula::Extent Formula::Write(QPainter& p, QPointF origin, double px, const Piece& piece) {
    p.save();
    p.setPen(QPen(Qt::black, 1));
    Formula f(&p, origin, px);
    piece(f);
    p.restore();
    return f.Size();
}

Formula& Formula::Text(const QString& text, bool bold) {
    const QFont font = ui::ArialPixels(px_, bold);
    if (p_) {
        p_->setFont(font);
        p_->drawText(QPointF(x_, y_), text);
    }
    x_ += QFontMetricsF(font).horizontalAdvance(text);
    Grow(px_ * 0.78, px_ * 0.22);
    return *this;
}

Formula& Formula::Sup(const Piece& piece) {
    const double px = px_ * 0.75;
    const double rise = std::max(px_ * 0.45, Measure(px, piece).descent + px_ * 0.3);
    Shifted(piece, px, -rise);
    return Space(0.08);
}

Formula& Formula::Frac(const Piece& numerator, const Piece& denominator) {
    const Extent n = Measure(px_, numerator);
    const Extent d = Measure(px_, denominator);
    const double pad = px_ * 0.15;
    const double gap = px_ * 0.2;
    const double width = std::max(n.width, d.width) + 2 * pad;
    const double axis = Axis();
    const double numBase = axis - gap - n.descent;
    const double denBase = axis + gap + d.ascent;
    if (p_) {
        Formula top(p_, QPointF(x_ + (width - n.width) / 2, numBase), px_);
        numerator(top);
        Formula bottom(p_, QPointF(x_ + (width - d.width) / 2, denBase), px_);
        denominator(bottom);
        p_->drawLine(QPointF(x_ + pad / 2, axis), QPointF(x_ + width - pad / 2, axis));
    }
    x_ += width;
    Grow(y_ - numBase + n.ascent, denBase + d.descent - y_);
    return *this;
}

Formula& Formula::Root(const Piece& radicand) {
    const Extent e = Measure(px_, radicand);
    const double sign = px_ * 0.6;
    const double top = y_ - e.ascent - px_ * 0.15;
    const double bottom = y_ + e.descent;
    if (p_) {
        const QPointF stroke[] = {{x_, y_ - px_ * 0.3},
                                  {x_ + sign * 0.25, y_ - px_ * 0.38},
                                  {x_ + sign * 0.55, bottom},
                                  {x_ + sign, top},
                                  {x_ + sign + e.width + px_ * 0.15, top}};
        p_->drawPolyline(stroke, 5);
        Formula under(p_, QPointF(x_ + sign + px_ * 0.08, y_), px_);
        radicand(under);
    }
    x_ += sign + e.width + px_ * 0.25;
    Grow(y_ - top + 1, e.descent);
    return *this;
}

Formula& Formula::Parens(const Piece& inside) {
    const Extent e = Measure(px_, inside);
    if (e.ascent + e.descent <= px_ * 1.1) return Text("(").Then(inside).Text(")");
    const double top = y_ - e.ascent - px_ * 0.1;
    const double bottom = y_ + e.descent + px_ * 0.1;
    const double bulge = px_ * 0.4;
    const double open = x_ + bulge;
    const double close = open + px_ * 0.3 + e.width + px_ * 0.3;
    if (p_) {
        TallParenthesis(*p_, open, top, bottom, -bulge);
        Formula within(p_, QPointF(open + px_ * 0.3, y_), px_);
        inside(within);
        TallParenthesis(*p_, close, top, bottom, bulge);
    }
    x_ = close + bulge;
    Grow(y_ - top, bottom - y_);
    return *this;
}

Formula& Formula::Column(const QStringList& rows) {
    const QFont font = ui::ArialPixels(px_);
    const QFontMetricsF metrics(font);
    double width = 0;
    for (const QString& row : rows) width = std::max(width, metrics.horizontalAdvance(row));
    const double step = px_ * 1.2;
    const double top = Axis() - step * rows.size() / 2;
    if (p_) {
        p_->setFont(font);
        for (int k = 0; k < rows.size(); ++k) {
            const double baseline = top + step * (k + 0.5) + px_ * 0.28;
            p_->drawText(QPointF(x_ + width - metrics.horizontalAdvance(rows[k]), baseline), rows[k]);
        }
    }
    x_ += width;
    Grow(y_ - top, top + step * rows.size() - y_);
    return *this;
}

Formula& Formula::Sum(const QString& below, const QString& above) {
    const QFont big = ui::ArialPixels(px_ * 2);
    const QString sigma = "Σ";
    const QRectF glyph = QFontMetricsF(big).tightBoundingRect(sigma);
    return WithLimits(glyph.size(), below, above, [&](const QRectF& box) {
        p_->setFont(big);
        p_->drawText(box.topLeft() - glyph.topLeft(), sigma);
    });
}

Formula& Formula::Integral(const QString& below, const QString& above) {
    return WithLimits(QSizeF(px_ * 0.7, px_ * 2.1), below, above, [&](const QRectF& box) {
        const double w = box.width();
        const double h = box.height();
        QPainterPath path;
        path.moveTo(box.left() + w * 0.95, box.top() + h * 0.07);
        path.cubicTo(box.left() + w * 0.85, box.top() - h * 0.02, box.left() + w * 0.58, box.top(),
                     box.left() + w * 0.55, box.top() + h * 0.15);
        path.lineTo(box.left() + w * 0.45, box.top() + h * 0.85);
        path.cubicTo(box.left() + w * 0.42, box.bottom(), box.left() + w * 0.15, box.bottom() + h * 0.02,
                     box.left() + w * 0.05, box.top() + h * 0.93);
        p_->save();
        p_->setPen(QPen(Qt::black, px_ * 0.09, Qt::SolidLine, Qt::RoundCap));
        p_->drawPath(path);
        p_->restore();
    });
}

Formula& Formula::WithLimits(QSizeF size, const QString& below, const QString& above,
                             const std::function<void(const QRectF&)>& draw) {
    const double limitPx = px_ * 0.7;
    const QFont small = ui::ArialPixels(limitPx);
    const QFontMetricsF metrics(small);
    const double width =
        std::max({size.width(), metrics.horizontalAdvance(below), metrics.horizontalAdvance(above)}) + px_ * 0.2;
    const QRectF box(x_ + (width - size.width()) / 2, Axis() - size.height() / 2, size.width(), size.height());
    const double aboveBase = box.top() - px_ * 0.12 - limitPx * 0.22;
    const double belowBase = box.bottom() + px_ * 0.12 + limitPx * 0.78;
    if (p_) {
        draw(box);
        p_->setFont(small);
        p_->drawText(QPointF(x_ + (width - metrics.horizontalAdvance(above)) / 2, aboveBase), above);
        p_->drawText(QPointF(x_ + (width - metrics.horizontalAdvance(below)) / 2, belowBase), below);
    }
    x_ += width + px_ * 0.1;
    Grow(y_ - aboveBase + limitPx * 0.78, belowBase + limitPx * 0.22 - y_);
    return *this;
}

Formula& Formula::Shifted(const Piece& piece, double px, double dy) {
    const Extent e = Measure(px, piece);
    if (p_) {
        Formula child(p_, QPointF(x_, y_ + dy), px);
        piece(child);
    }
    x_ += e.width;
    Grow(e.ascent - dy, e.descent + dy);
    return *this;
}

}  // namespace valmora
