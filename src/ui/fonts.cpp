#include "ui/fonts.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace valmora::ui {
namespace {

QFont Make(const QString& family, double points, bool bold) {
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    // Glyph widths in whole pixels, as the screens were laid out with: with
    // fractional widths long labels wrap onto a line more than they hold.
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

}  // namespace

void InstallFontSubstitutes() {
    QFont::insertSubstitutions("MS Sans Serif", {"Liberation Sans", "Arial"});
    QFont::insertSubstitutions("Arial", {"Liberation Sans"});
}

QFont SansSerif(double points, bool bold) { return Make("MS Sans Serif", points, bold); }
QFont Arial(double points, bool bold) { return Make("Arial", points, bold); }

QFont ArialPixels(double pixels, bool bold) {
    QFont font = Arial(8.25, bold);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    return font;
}

}  // namespace valmora::ui
