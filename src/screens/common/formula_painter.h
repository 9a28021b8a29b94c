// Formulas drawn as a worksheet shows them, and the tall parenthesis they
// enclose column vectors in.
#pragma once

#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <functional>

namespace valmora {

// A tall parenthesis from `top` to `bottom` whose ends are at `x`; it bulges
// by three quarters of `bulge` (to the left when negative).
void TallParenthesis(QPainter& p, double x, double top, double bottom, double bulge);

// Writes a formula left to right along a baseline, as a worksheet shows it:
// sub- and superscripts, stacked fractions, square roots, tall parentheses,
// column vectors, sums and integrals with limits. Without a painter it only
// measures, which is how the stacked parts are centred. Sizes are in pixels
// of the painter's coordinates.
class Formula {
public:
    using Piece = std::function<void(Formula&)>;
    struct Extent {
        double width = 0;
        double ascent = 0;
        double descent = 0;
    };

    static Extent Measure(double px, const Piece& piece);

    // Writes `piece` at `px` pixels with its baseline starting at `origin`.
    static Extent Write(QPainter& p, QPointF origin, double px, const Piece& piece);

    static Piece Plain(const QString& text) {
        return [text](Formula& f) { f.Text(text); };
    }

    Formula& Text(const QString& text, bool bold = false);

    Formula& Then(const Piece& piece) {
        piece(*this);
        return *this;
    }

    Formula& Space(double ems) {
        x_ += ems * px_;
        return *this;
    }

    Formula& Sub(const QString& text) { return Shifted(Plain(text), px_ * 0.75, px_ * 0.25); }

    Formula& Sup(const QString& text) { return Sup(Plain(text)); }

    // Raised far enough that a stacked exponent clears the line it sits on.
    Formula& Sup(const Piece& piece);

    Formula& Frac(const Piece& numerator, const Piece& denominator);

    Formula& Root(const Piece& radicand);

    // Parentheses as tall as what they enclose.
    Formula& Parens(const Piece& inside);

    // Numbers one under another, right-aligned, centred on the formula's axis.
    Formula& Column(const QStringList& rows);

    // A summation sign centred on the axis, its limits above and below.
    Formula& Sum(const QString& below, const QString& above);

    // An integral sign with its limits; drawn as a stroke, the font's own
    // sign being too short beside a line of text.
    Formula& Integral(const QString& below, const QString& above);

private:
    Formula(QPainter* painter, QPointF origin, double px)
        : p_(painter), left_(origin.x()), x_(origin.x()), y_(origin.y()), px_(px) {}

    Extent Size() const { return {x_ - left_, ascent_, descent_}; }

    // Where fraction bars and vectors are centred: mid-height of the digits.
    double Axis() const { return y_ - px_ * 0.3; }

    void Grow(double ascent, double descent) {
        ascent_ = std::max(ascent_, ascent);
        descent_ = std::max(descent_, descent);
    }

    // A big symbol of `size` centred on the axis, drawn into its box by
    // `draw`, with limits above and below it.
    Formula& WithLimits(QSizeF size, const QString& below, const QString& above,
                        const std::function<void(const QRectF&)>& draw);

    // Writes `piece` at another size with its baseline moved down by `dy`.
    Formula& Shifted(const Piece& piece, double px, double dy);

    QPainter* p_;
    double left_;
    double x_;
    double y_;
    double px_;
    double ascent_ = 0;
    double descent_ = 0;
};

}  // namespace valmora
