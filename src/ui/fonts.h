// The screens' fonts. "MS Sans Serif" and "Arial" are asked for by name and
// fall back to Liberation Sans, which has Arial's metrics.
#pragma once

#include <QFont>

namespace valmora::ui {

// Registers the fallbacks; call once after the application object exists.
void InstallFontSubstitutes();

QFont SansSerif(double points = 8.25, bool bold = false);  // "MS Sans Serif"
QFont Arial(double points = 8.25, bool bold = false);
// Arial at a size in whole pixels (at least 1) rather than points, for
// pictures laid out in pixels.
QFont ArialPixels(double pixels, bool bold = false);

}  // namespace valmora::ui
