#pragma once

#include "app/screen_manager.h"
#include "ui/screen.h"

namespace valmora {

class Form5 : public ui::Screen {
public:
    static constexpr ScreenId kId = ScreenId::Form5;
    explicit Form5(ScreenManager& screens);

private:
    ScreenManager& screens_;
};

}  // namespace valmora
