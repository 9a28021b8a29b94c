#include "screens/shell/explanatory_pictures.h"

#include <QPainter>
#include <QStringList>

#include <cmath>
#include <numbers>
#include <vector>

#include "screens/common/formula_painter.h"
#include "screens/common/plot_painter.h"
#include "ui/fonts.h"

namespace valmora {
namespace {

const QColor kGridColor(0, 160, 0);

// The pictures are laid out on canvases of these sizes, in pixels at 96 dpi.
constexpr QSizeF kMixedCanvas(684, 453);
constexpr QSizeF kNormalCanvas(652, 439);

// White paper, black ink, and the canvas stretched to the widget.
void BeginCanvas(QPainter& p, const QWidget& widget, QSizeF canvas) {
    p.fillRect(widget.rect(), Qt::white);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    p.scale(widget.width() / canvas.width(), widget.height() / canvas.height());
    p.setPen(QPen(Qt::black, 1));
}

// Text wrapped inside `box`, from its top left.
void Paragraph(QPainter& p, const QRectF& box, const QString& text, double px, bool bold = false) {
    p.setFont(ui::ArialPixels(px, bold));
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
}

// A table of headings over boxed rows of values, the values centred.
void DrawTable(QPainter& p, QPointF topLeft, const QStringList& headings, const std::vector<double>& widths,
               const std::vector<QStringList>& rows) {
    constexpr double kRow = 20;
    p.setPen(QPen(Qt::black, 1));
    p.setFont(ui::ArialPixels(12));
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
