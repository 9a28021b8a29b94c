#include "screens/stochastic/distribution_pictures.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "screens/common/plot_painter.h"
#include "ui/controls.h"
#include "ui/fonts.h"

namespace valmora {

UniformDensityPicture::UniformDensityPicture(QWidget* parent) : QWidget(parent) { ui::SetBackColor(this, Qt::white); }

namespace {

const QString kSpan = "UB - LB";

QFont UniformFont() { return ui::Arial(8); }

// The vertical axis stands right of the fraction, however wide its text.
double AxisX(double width) {
    const double text = QFontMetricsF(UniformFont()).horizontalAdvance(kSpan);
    return std::max(width * 0.28, text + 12);
}

double Level(double height) { return height * 0.38; }

}  // namespace

QRectF UniformDensityPicture::DenominatorRect() const { return QRectF(2, Level(height()) + 3, AxisX(width()) - 6, 14); }

void UniformDensityPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = width(), h = height();
    const QPointF origin(AxisX(w), h - 24);
    p.setFont(UniformFont());
    ArrowAxes(p, origin, w - 6, 8, "x", "f(x)");

    // The rectangle spans the middle of what is right of the axis.
    const double room = w - 6 - origin.x();
    const double lb = origin.x() + room * 0.15, ub = origin.x() + room * 0.7, level = Level(h);
    p.setPen(QPen(Qt::red, 2));
    p.drawLine(QPointF(lb, origin.y()), QPointF(lb, level));
    p.drawLine(QPointF(lb, level), QPointF(ub, level));
    p.drawLine(QPointF(ub, level), QPointF(ub, origin.y()));
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    p.drawLine(QPointF(origin.x(), level), QPointF(lb, level));

    p.setPen(Qt::black);
    p.drawText(QRectF(lb - 20, origin.y() + 2, 40, 16), Qt::AlignCenter, "LB");
    p.drawText(QRectF(ub - 20, origin.y() + 2, 40, 16), Qt::AlignCenter, "UB");
    // 1 over UB - LB, beside the level on the vertical axis.
    const QRectF span = DenominatorRect();
    const QRectF one(span.x(), level - 17, span.width(), 14);
    p.drawText(one, Qt::AlignCenter, "1");
    p.drawLine(QPointF(6, level), QPointF(origin.x() - 6, level));
    p.drawText(span, Qt::AlignCenter, kSpan);
}

ExponentialFormulaPicture::ExponentialFormulaPicture(QWidget* parent) : QWidget(parent) {
    ui::SetBackColor(this, Qt::white);
}

void ExponentialFormulaPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QChar lambda(0x03BB);
    QFont big = ui::Arial(12);
    QFont small = ui::Arial(8);
    p.setFont(big);
    const QString base = QString("f(x) = ") + lambda + QString("e");
    const QFontMetricsF fm(big);
    const double y = height() / 2.0 + fm.ascent() / 2.0;
    double x = (width() - fm.horizontalAdvance(base) - 40) / 2.0;
    p.drawText(QPointF(x, y), base);
    x += fm.horizontalAdvance(base);
    p.setFont(small);
    p.drawText(QPointF(x + 1, y - fm.ascent() * 0.55), QString("-") + lambda + "x");
}

ExponentialDensityPicture::ExponentialDensityPicture(QWidget* parent) : QWidget(parent) {
    ui::SetBackColor(this, Qt::white);
}

void ExponentialDensityPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = width(), h = height();
    const QPointF origin(16, h - 18);
    p.setFont(ui::Arial(8));
    ArrowAxes(p, origin, w - 6, 8, "x", "f(x)");
    const double span = w - origin.x() - 16, height = origin.y() - 18;
    const QPainterPath curve = SampledPath(60, [&](int i) {
        const double t = i / 60.0;
        return QPointF(origin.x() + t * span, origin.y() - height * std::exp(-4.0 * t));
    });
    p.setPen(QPen(Qt::red, 2));
    p.drawPath(curve);
}

}  // namespace valmora
