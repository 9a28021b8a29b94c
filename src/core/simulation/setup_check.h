// Whether a distribution set-up can be simulated, with the message that says
// why not. The texts are the two parameter boxes as typed.
#pragma once

#include <string>
#include <string_view>

namespace valmora {

struct SetupCheck {
    bool ok = false;
    std::string message;  // empty when ok; lines joined by "\r"
};

// distType: 1 uniform (lower, upper bound), 2 normal (mean, standard
// deviation), 3 exponential (mean); anything else is no distribution.
// positiveOnly: only payments of at least 0 may be drawn.
SetupCheck CheckSetup(int distType, std::string_view first, std::string_view second, bool positiveOnly);

}  // namespace valmora
