// Why the stochastic screen limits the normal distribution's mean: the
// density with mean and standard deviation 400 and its area left of zero.
#pragma once

#include "screens/shell/explanatory_screen.h"

namespace valmora {

class Form6 : public ExplanatoryScreen {
public:
    static constexpr ScreenId kId = ScreenId::Form6;  // the manager's name for this screen
    static const ExplanatoryPage kPage;               // caption, text, picture and layout
    explicit Form6(ScreenManager& screens) : ExplanatoryScreen(screens, kId, kPage) {}
};

}  // namespace valmora
