// The discussion of investment types and project balances, opened from the
// start screen, with its worked example of a nonsimple, mixed investment.
#pragma once

#include "screens/shell/explanatory_screen.h"

namespace valmora {

class Form5 : public ExplanatoryScreen {
public:
    static constexpr ScreenId kId = ScreenId::Form5;  // the manager's name for this screen
    static const ExplanatoryPage kPage;               // caption, text, picture and layout
    explicit Form5(ScreenManager& screens) : ExplanatoryScreen(screens, kId, kPage) {}
};

}  // namespace valmora
