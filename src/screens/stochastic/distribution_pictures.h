// The pictures of the distribution frame: the uniform density, and the
// exponential density with its formula.
#pragma once

#include <QRectF>
#include <QWidget>

namespace valmora {

// A rectangle from LB to UB on the x axis at height 1/(UB - LB).
class UniformDensityPicture : public QWidget {
public:
    explicit UniformDensityPicture(QWidget* parent);

    // Where the height "1" over "UB - LB" is written, left of the vertical
    // axis: wide enough for the longer of the two at the picture's font.
    QRectF DenominatorRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// f(x) = lambda e^(-lambda x)
class ExponentialFormulaPicture : public QWidget {
public:
    explicit ExponentialFormulaPicture(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A decreasing exponential density f(x).
class ExponentialDensityPicture : public QWidget {
public:
    explicit ExponentialDensityPicture(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace valmora
