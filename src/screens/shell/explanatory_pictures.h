// The worked examples of the explanatory screens, drawn black on white with
// the curves in red. Each is laid out on a fixed canvas and stretched to its
// control.
#pragma once

#include <QWidget>

namespace valmora {

// A nonsimple, mixed investment: the cash flow (-1000, 1300, -400, 200), its
// IRR function f(i) plotted against the interest rate, the root found from
// the guess .5 (0.102) and the project balances at that rate.
class MixedInvestmentPicture : public QWidget {
public:
    explicit MixedInvestmentPicture(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The normal density with mean and standard deviation both 400, plotted over
// -800..1600, and its area left of zero (15.9%).
class NormalDensityPicture : public QWidget {
public:
    explicit NormalDensityPicture(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace valmora
