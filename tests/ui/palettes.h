// The two palettes the program is looked at in: Fusion's own light one, and
// a dark one as dark desktop themes give (light text on dark grey).
#pragma once

#include <QPalette>

namespace valmora::testing {

QPalette LightPalette();
QPalette DarkPalette();

// Sets the application's palette for as long as it lives, then puts back
// the one before.
class PaletteInUse {
public:
    explicit PaletteInUse(const QPalette& palette);
    ~PaletteInUse();
    PaletteInUse(const PaletteInUse&) = delete;
    PaletteInUse& operator=(const PaletteInUse&) = delete;

private:
    QPalette before_;
};

}  // namespace valmora::testing
