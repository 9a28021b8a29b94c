// Whether a distribution set-up can be simulated, with the message that says
// why not. The texts are the two parameter boxes as typed.
#pragma once

#include <string>
#include <string_view>

#include "core/simulation/simulation_settings.h"

namespace valmora {

struct SetupCheck {
    bool ok = false;
    std::string message;  // empty when ok; lines joined by "\r"
};

// The parameters: uniform lower and upper bound, normal mean and standard
// deviation, exponential mean (`second` unused). positiveOnly: only payments
// of at least 0 may be drawn.
SetupCheck CheckSetup(Distribution distribution, std::string_view first, std::string_view second, bool positiveOnly);

}  // namespace valmora
