#pragma once

#include "app/screen_manager.h"
#include "ui/screen.h"

namespace valmora {

class FrmAbout : public ui::Screen {
public:
    static constexpr ScreenId kId = ScreenId::About;
    explicit FrmAbout(ScreenManager& screens);

private:
    ScreenManager& screens_;
};

}  // namespace valmora
