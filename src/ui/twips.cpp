#include "ui/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace valmora::ui {

int Twips(int twips) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

QRect TwipsRect(int left, int top, int width, int height) {
    return {Twips(left), Twips(top), Twips(width), Twips(height)};
}

QSize TwipsSize(int width, int height) { return {Twips(width), Twips(height)}; }

void Place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(TwipsRect(left, top, width, height));
}

}  // namespace valmora::ui
