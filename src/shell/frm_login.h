#pragma once

#include "app/screen_manager.h"
#include "ui/screen.h"

namespace valmora {

class FrmLogin : public ui::Screen {
public:
    static constexpr ScreenId kId = ScreenId::Login;
    explicit FrmLogin(ScreenManager& screens);

private:
    ScreenManager& screens_;
};

}  // namespace valmora
