// Which screens the program has: the one place that knows every screen.
#pragma once

#include "screens/common/screen_manager.h"

namespace valmora {

// Registers every screen of the program with the manager.
void RegisterScreens(ScreenManager& screens);

}  // namespace valmora
