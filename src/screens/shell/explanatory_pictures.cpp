#include "screens/shell/explanatory_pictures.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

#include "ui/fonts.h"

namespace valmora {
namespace {

const QColor kCurveColor(255, 0, 0);
const QColor kGridColor(0, 160, 0);

// The pictures are laid out on canvases of these sizes, in pixels at 96 dpi.
constexpr QSizeF kMixedCanvas(684, 453);
constexpr QSizeF kNormalCanvas(652, 439);

QFont PixelFont(double px, bool bold = false) {
    QFont font = ui::Arial(8.25, bold);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(px))));
    return font;
}

// White paper, black ink, and the canvas stretched to the widget.
void BeginCanvas(QPainter& p, const QWidget& widget, QSizeF canvas) {
    p.fillRect(widget.rect(), Qt::white);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    p.scale(widget.width() / canvas.width(), widget.height() / canvas.height());
    p.setPen(QPen(Qt::black, 1));
}

// Text wrapped inside `box`, from its top left.
void Paragraph(QPainter& p, const QRectF& box, const QString& text, double px, bool bold = false) {
    p.setFont(PixelFont(px, bold));
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
}

// A tall parenthesis from `top` to `bottom` whose ends are at `x`; it bulges
// by three quarters of `bulge` (to the left when negative).
void Bracket(QPainter& p, double x, double top, double bottom, double bulge) {
    QPainterPath path;
    path.moveTo(x, top);
    path.cubicTo(x + bulge, top + (bottom - top) * 0.25, x + bulge, top + (bottom - top) * 0.75, x, bottom);
    p.drawPath(path);
}

// Writes a formula left to right along a baseline, as a worksheet shows it:
// sub- and superscripts, stacked fractions, square roots, tall parentheses,
// column vectors, sums and integrals with limits. Without a painter it only
// measures, which is how the stacked parts are centred.
class Formula {
public:
    using Piece = std::function<void(Formula&)>;
    struct Extent {
        double width = 0;
        double ascent = 0;
        double descent = 0;
    };

    static Extent Measure(double px, const Piece& piece) {
        Formula f(nullptr, QPointF(0, 0), px);
        piece(f);
        return f.Size();
    }

    // Writes `piece` at `px` pixels with its baseline starting at `origin`.
    static Extent Write(QPainter& p, QPointF origin, double px, const Piece& piece) {
        p.save();
        p.setPen(QPen(Qt::black, 1));
        Formula f(&p, origin, px);
        piece(f);
        p.restore();
        return f.Size();
    }

    static Piece Plain(const QString& text) {
        return [text](Formula& f) { f.Text(text); };
    }

    Formula& Text(const QString& text, bool bold = false) {
        const QFont font = PixelFont(px_, bold);
        if (p_) {
            p_->setFont(font);
            p_->drawText(QPointF(x_, y_), text);
        }
        x_ += QFontMetricsF(font).horizontalAdvance(text);
        Grow(px_ * 0.78, px_ * 0.22);
        return *this;
    }

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
    Formula& Sup(const Piece& piece) {
        const double px = px_ * 0.75;
        const double rise = std::max(px_ * 0.45, Measure(px, piece).descent + px_ * 0.3);
        Shifted(piece, px, -rise);
        return Space(0.08);
    }

    Formula& Frac(const Piece& numerator, const Piece& denominator) {
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

    Formula& Root(const Piece& radicand) {
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

    // Parentheses as tall as what they enclose.
    Formula& Parens(const Piece& inside) {
        const Extent e = Measure(px_, inside);
        if (e.ascent + e.descent <= px_ * 1.1) return Text("(").Then(inside).Text(")");
        const double top = y_ - e.ascent - px_ * 0.1;
        const double bottom = y_ + e.descent + px_ * 0.1;
        const double bulge = px_ * 0.4;
        const double open = x_ + bulge;
        const double close = open + px_ * 0.3 + e.width + px_ * 0.3;
        if (p_) {
            Bracket(*p_, open, top, bottom, -bulge);
            Formula within(p_, QPointF(open + px_ * 0.3, y_), px_);
            inside(within);
            Bracket(*p_, close, top, bottom, bulge);
        }
        x_ = close + bulge;
        Grow(y_ - top, bottom - y_);
        return *this;
    }

    // Numbers one under another, right-aligned, centred on the formula's axis.
    Formula& Column(const QStringList& rows) {
        const QFont font = PixelFont(px_);
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

    // A summation sign centred on the axis, its limits above and below.
    Formula& Sum(const QString& below, const QString& above) {
        const QFont big = PixelFont(px_ * 2);
        const QString sigma = "Σ";
        const QRectF glyph = QFontMetricsF(big).tightBoundingRect(sigma);
        return WithLimits(glyph.size(), below, above, [&](const QRectF& box) {
            p_->setFont(big);
            p_->drawText(box.topLeft() - glyph.topLeft(), sigma);
        });
    }

    // An integral sign with its limits; drawn as a stroke, the font's own
    // sign being too short beside a line of text.
    Formula& Integral(const QString& below, const QString& above) {
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
                        const std::function<void(const QRectF&)>& draw) {
        const double limitPx = px_ * 0.7;
        const QFont small = PixelFont(limitPx);
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

    // Writes `piece` at another size with its baseline moved down by `dy`.
    Formula& Shifted(const Piece& piece, double px, double dy) {
        const Extent e = Measure(px, piece);
        if (p_) {
            Formula child(p_, QPointF(x_, y_ + dy), px);
            piece(child);
        }
        x_ += e.width;
        Grow(e.ascent - dy, e.descent + dy);
        return *this;
    }

    QPainter* p_;
    double left_;
    double x_;
    double y_;
    double px_;
    double ascent_ = 0;
    double descent_ = 0;
};

// One axis of a plot: its range, the step of its ticks, and its title
// (lines under the horizontal axis, one line beside the vertical one).
struct PlotAxis {
    double from;
    double to;
    double step;
    QStringList title;
};

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
    const QFont font = PixelFont(11);
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

// A framed plot of one curve inside `bounds`: title above, tick labels and
// axis titles outside the frame, grid lines or tick marks inside, legend.
void DrawPlot(QPainter& p, const QRectF& bounds, const Plot& plot) {
    const QFont tickFont = PixelFont(10);
    const QFont titleFont = PixelFont(11);
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
    p.setFont(PixelFont(12));
    p.drawText(QRectF(area.left(), bounds.top(), area.width(), 18), Qt::AlignCenter, plot.title);

    QPainterPath path;
    constexpr int kSamples = 400;
    for (int k = 0; k <= kSamples; ++k) {
        const double x = plot.curveFrom + (plot.curveTo - plot.curveFrom) * k / kSamples;
        const QPointF point(mapX(x), mapY(plot.curve(x)));
        if (k == 0) path.moveTo(point);
        else path.lineTo(point);
    }
    p.save();
    p.setClipRect(area);
    p.setPen(QPen(kCurveColor, 1.5));
    p.drawPath(path);
    p.restore();

    DrawLegend(p, area, plot.legend);
}

// A table of headings over boxed rows of values, the values centred.
void DrawTable(QPainter& p, QPointF topLeft, const QStringList& headings, const std::vector<double>& widths,
               const std::vector<QStringList>& rows) {
    constexpr double kRow = 20;
    p.setPen(QPen(Qt::black, 1));
    p.setFont(PixelFont(12));
    double x = topLeft.x();
    for (int c = 0; c < headings.size(); ++c) {
        p.drawText(QRectF(x, topLeft.y(), widths[c], kRow), Qt::AlignCenter, headings[c]);
        for (size_t r = 0; r < rows.size(); ++r) {
            const QRectF cell(x, topLeft.y() + kRow * (r + 1), widths[c], kRow);
            p.drawRect(cell);
            p.drawText(cell, Qt::AlignCenter, rows[r][c]);
        }
        x += widths[c] + 8;
    }
}

// The IRR function of the example investment.
double MixedIrrFunction(double i) {
    const double v = 1 / (1 + i);
    return -1000 + 1300 * v - 400 * v * v + 200 * v * v * v;
}

double NormalDensity(double x) {
    constexpr double kMean = 400;
    constexpr double kSd = 400;
    const double z = (x - kMean) / kSd;
    return std::exp(-z * z / 2) / (kSd * std::sqrt(2 * std::numbers::pi));
}

}  // namespace

MixedInvestmentPicture::MixedInvestmentPicture(QWidget* parent) : QWidget(parent) {}

void MixedInvestmentPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    BeginCanvas(p, *this, kMixedCanvas);
    using Piece = Formula::Piece;
    const auto plain = Formula::Plain;

    // The cash flow and the function whose roots are its IRRs.
    Paragraph(p, QRectF(8, 24, 76, 40), "Given this cash flow", 12, true);
    Formula::Write(p, QPointF(86, 52), 13, [](Formula& f) {
        f.Text("P := ").Parens([](Formula& g) { g.Column({"-1000", "1300", "-400", "200"}); });
    });
    Paragraph(p, QRectF(192, 20, 118, 60), "IRR determined by finding the roots of:", 12, true);
    const Piece discount = [plain](Formula& f) {
        f.Parens([plain](Formula& g) { g.Frac(plain("1"), plain("1 + i")); });
    };
    Formula::Write(p, QPointF(318, 52), 13, [&discount](Formula& f) {
        f.Text("f(i) := P").Sub("0").Text(" + P").Sub("1").Text("·").Then(discount);
        f.Text(" + P").Sub("2").Text("·").Then(discount).Sup("2");
        f.Text(" + P").Sub("3").Text("·").Then(discount).Sup("3");
    });

    DrawPlot(p, QRectF(4, 100, 404, 348),
             Plot{"IRR function vs interest rate",
                  {-0.4, 0.6, 0.2, {"i", "interest rate"}},
                  {-400, 800, 200, {"f(i)"}},
                  kGridColor,
                  MixedIrrFunction,
                  -0.3,
                  0.5,
                  "f(i)"});

    // The root from the guess .5, and the project balances at it.
    const double x = 432;
    Formula::Write(p, QPointF(x, 132), 13, [](Formula& f) { f.Text("Initial guess:").Space(1).Text("i := .5"); });
    Formula::Write(p, QPointF(x, 160), 13, [](Formula& f) { f.Text("i").Sub("r").Text(" := root(f(i), i)"); });
    Formula::Write(p, QPointF(x, 196), 13,
                   [](Formula& f) { f.Text("IRR:").Space(1).Text("i").Sub("r").Text(" = 0.102"); });
    Formula::Write(p, QPointF(x, 234), 12, [](Formula& f) { f.Text("Project balances given by:", true); });
    Formula::Write(p, QPointF(x, 278), 13, [](Formula& f) {
        f.Text("PB(N) := ").Sum("n = 0", "N").Text("P").Sub("n").Text("·(1 + i)").Sup("N − n");
    });
    DrawTable(p, QPointF(x + 8, 310), {"N =", "PB(N) ="}, {50, 80},
              {{"0", "-1000"}, {"1", "198"}, {"2", "-182"}, {"3", "-0"}});
}

NormalDensityPicture::NormalDensityPicture(QWidget* parent) : QWidget(parent) {}

void NormalDensityPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    BeginCanvas(p, *this, kNormalCanvas);
    const auto plain = Formula::Plain;

    // The distribution and the points it is drawn at.
    Paragraph(
        p, QRectF(8, 12, 228, 80),
        "Given the normal distribution with the mean and standard deviation (both equal) shown to the right:", 12);
    Formula::Write(p, QPointF(250, 34), 13, plain("μ := 400"));
    Formula::Write(p, QPointF(250, 62), 13, plain("σ := 400"));
    Formula::Write(p, QPointF(340, 44), 14, [plain](Formula& f) {
        f.Text("f(x) := ").Frac(plain("1"), [plain](Formula& g) { g.Text("σ·").Root(plain("2·π")); });
        f.Text("·e").Sup([plain](Formula& g) { g.Frac(plain("−(x − μ)²"), plain("2·σ²")); });
    });
    Formula::Write(p, QPointF(340, 88), 13, plain("x := -800, -799 .. 1600"));

    DrawPlot(p, QRectF(4, 104, 426, 331),
             Plot{"Probability vs Payment Value",
                  {-1000, 2000, 500, {"x", "Payment Value"}},
                  {0, 0.001, 0.0002, {"Probability"}},
                  QColor(),
                  NormalDensity,
                  -800,
                  1600,
                  "f(x)"});

    // The area left of zero.
    Paragraph(p, QRectF(446, 136, 198, 64), "Integrating the PDF from -2000 to zero shows an area of 15.9%.", 12, true);
    Formula::Write(p, QPointF(446, 244), 13,
                   [](Formula& f) { f.Text("F(x) := ").Integral("-2000", "x").Text("f(x) dx"); });
    Formula::Write(p, QPointF(446, 296), 13, plain("F(0) = 0.159"));
}

}  // namespace valmora
