#include "ui/button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace valmora::ui {

void Button::paintEvent(QPaintEvent* event) {
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect inner = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).adjusted(2, 0, -2, 0);
    if (fontMetrics().horizontalAdvance(QString(text()).remove('&')) <= inner.width()) {
        QPushButton::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
    painter.drawItemText(inner, flags, option.palette, isEnabled(), text(), QPalette::ButtonText);
}

}  // namespace valmora::ui
