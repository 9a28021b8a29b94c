// A straight line of any slope, colour and width, drawn between two points
// given in twips inside its parent; it takes no mouse input.
#pragma once

#include <QColor>
#include <QPoint>
#include <QWidget>

namespace valmora::ui {

class LineShape : public QWidget {
public:
    LineShape(QWidget* parent, QPoint fromTwips, QPoint toTwips, const QColor& color, int widthPixels);
    // Moves the line's ends (in pixels inside the parent).
    void SetEnds(QPoint from, QPoint to);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint from_;
    QPoint to_;
    QColor color_;
    int width_;
};

}  // namespace valmora::ui
