#include "shell/form5.h"

namespace valmora {

Form5::Form5(ScreenManager& screens) : Screen("More Discussion of the Problem", 12375, 8565), screens_(screens) {}

}  // namespace valmora
