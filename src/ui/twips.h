// Layout in twips (1440 to the inch), converted to pixels at the screen's
// logical resolution.
#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace valmora::ui {

int Twips(int twips);
QRect TwipsRect(int left, int top, int width, int height);
QSize TwipsSize(int width, int height);

// Places `widget` inside its parent at a position and size given in twips.
void Place(QWidget* widget, int left, int top, int width, int height);

}  // namespace valmora::ui
