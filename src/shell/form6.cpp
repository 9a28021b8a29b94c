#include "shell/form6.h"

namespace valmora {

Form6::Form6(ScreenManager& screens) : Screen("Normal Probability Distribution", 10830, 9255), screens_(screens) {}

}  // namespace valmora
