#include "screens/shell/start_pictures.h"

#include <QPainter>

#include "screens/common/formula_painter.h"
#include "ui/controls.h"
#include "ui/fonts.h"

namespace valmora {
namespace {

void WhiteFrame(QFrame* frame) {
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setLineWidth(1);
    ui::SetBackColor(frame, Qt::white);
}

}  // namespace

EquationPicture::EquationPicture(QWidget* parent) : QFrame(parent) { WhiteFrame(this); }

void EquationPicture::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::black);
    const double h = height();
    const double mid = h / 2;

    // "Given this cash flow" over two lines, then P := the column vector.
    p.setFont(ui::Arial(9));
    p.drawText(QRectF(6, mid - 16, 70, 32), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
               "Given this cash flow");
    p.setFont(ui::Arial(10));
    p.drawText(QRectF(80, mid - 10, 34, 20), Qt::AlignVCenter | Qt::AlignLeft, "P :=");
    const char* values[] = {"-1000", "500", "500", "500"};
    const double rowH = (h - 12) / 4;
    p.setFont(ui::Arial(8.5));
    for (int i = 0; i < 4; ++i) p.drawText(QRectF(120, 6 + i * rowH, 40, rowH), Qt::AlignCenter, values[i]);
    TallParenthesis(p, 120, 5, h - 5, -6);
    TallParenthesis(p, 160, 5, h - 5, 6);

    p.setFont(ui::Arial(9));
    p.drawText(QRectF(172, mid - 16, 92, 32), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
               "Find i solving the equation");

    // 0 = sum from n = 0 to 3 of P_n / (1 + i)^n
    const double x = 268;
    p.setFont(ui::Arial(10));
    p.drawText(QRectF(x, mid - 10, 22, 20), Qt::AlignCenter, "0 =");
    QFont sigma = ui::Arial(20);
    p.setFont(sigma);
    p.drawText(QRectF(x + 22, mid - 17, 22, 34), Qt::AlignCenter, QString(QChar(0x03A3)));
    p.setFont(ui::Arial(7));
    p.drawText(QRectF(x + 22, mid - 30, 22, 12), Qt::AlignCenter, "3");
    p.drawText(QRectF(x + 18, mid + 17, 30, 12), Qt::AlignCenter, "n = 0");
    // The fraction.
    p.setFont(ui::Arial(10));
    p.drawText(QRectF(x + 48, mid - 22, 60, 18), Qt::AlignCenter, "P");
    p.setFont(ui::Arial(7));
    p.drawText(QRectF(x + 80, mid - 14, 10, 10), Qt::AlignLeft, "i");
    p.drawLine(QPointF(x + 52, mid), QPointF(x + 116, mid));
    p.setFont(ui::Arial(10));
    p.drawText(QRectF(x + 48, mid + 3, 56, 18), Qt::AlignCenter, "(1 + i)");
    p.setFont(ui::Arial(7));
    p.drawText(QRectF(x + 104, mid + 1, 12, 10), Qt::AlignLeft, "n");
}

CashFlowDiagram::CashFlowDiagram(QWidget* parent) : QFrame(parent) { WhiteFrame(this); }

void CashFlowDiagram::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 5055 x 4260 canvas, stretched to the control.
    p.scale(width() / 5055.0, height() / 4260.0);
    QPen pen(Qt::black, 30);
    p.setPen(pen);
    const double axisY = 2300;
    const double left = 600, step = 1200;
    p.drawLine(QPointF(left - 200, axisY), QPointF(left + 3 * step + 300, axisY));

    QFont font = ui::Arial(8);
    font.setPixelSize(260);
    p.setFont(font);
    for (int n = 0; n <= 3; ++n) {
        const double x = left + n * step;
        p.drawLine(QPointF(x, axisY - 60), QPointF(x, axisY + 60));
        // Marks below the axis for the payments, above it for the investment.
        QRectF mark = n == 0 ? QRectF(x - 60, axisY - 380, 300, 300) : QRectF(x - 150, axisY + 80, 300, 300);
        p.drawText(mark, Qt::AlignCenter, QString::number(n));
        const double tip = n == 0 ? axisY + 1500 : axisY - 1500;
        p.drawLine(QPointF(x, axisY), QPointF(x, tip));
        const double head = n == 0 ? -150 : 150;  // arrow head pointing away from the axis
        p.drawLine(QPointF(x, tip), QPointF(x - 90, tip + head));
        p.drawLine(QPointF(x, tip), QPointF(x + 90, tip + head));
        QRectF label = n == 0 ? QRectF(x - 350, tip + 40, 700, 320) : QRectF(x - 350, tip - 360, 700, 320);
        p.drawText(label, Qt::AlignCenter, n == 0 ? "1000" : "500");
    }
}

}  // namespace valmora
