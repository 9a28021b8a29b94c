#include "ui/line_shape.h"

#include <QPainter>

#include <algorithm>

#include "ui/twips.h"

namespace valmora::ui {

LineShape::LineShape(QWidget* parent, QPoint fromTwips, QPoint toTwips, const QColor& color, int widthPixels)
    : QWidget(parent), color_(color), width_(widthPixels) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    SetEnds({Twips(fromTwips.x()), Twips(fromTwips.y())}, {Twips(toTwips.x()), Twips(toTwips.y())});
}

void LineShape::SetEnds(QPoint from, QPoint to) {
    const int margin = width_;
    const QRect box = QRect(from, to).normalized().adjusted(-margin, -margin, margin, margin);
    setGeometry(box);
    from_ = from - box.topLeft();
    to_ = to - box.topLeft();
    update();
}

void LineShape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color_, width_, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from_, to_);
}

}  // namespace valmora::ui
