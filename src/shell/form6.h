#pragma once

#include "app/screen_manager.h"
#include "ui/screen.h"

namespace valmora {

class Form6 : public ui::Screen {
public:
    static constexpr ScreenId kId = ScreenId::Form6;
    explicit Form6(ScreenManager& screens);

private:
    ScreenManager& screens_;
};

}  // namespace valmora
