// The start screen's worked example: the equation and the cash-flow diagram.
#pragma once

#include <QFrame>

namespace valmora {

// "Given this cash flow  P := (-1000 500 500 500)  Find i solving the
// equation  0 = sum of P over (1 + i)^n", black on white.
class EquationPicture : public QFrame {
public:
    explicit EquationPicture(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The time axis 0..3 with the investment 1000 going down at 0 and the three
// payments of 500 going up, stretched to the control.
class CashFlowDiagram : public QFrame {
public:
    explicit CashFlowDiagram(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace valmora
