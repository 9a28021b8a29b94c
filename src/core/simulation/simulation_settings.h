// The settings of a simulation run, their defaults and their one check.
#pragma once

#include <optional>
#include <string>

#include "core/solver/search_settings.h"

namespace valmora {

// The investment the screens start with.
inline constexpr double kDefaultInvestment = 1000;

// The payment distribution. The codes are the ones the stochastic screen
// stores in DistType.
enum class Distribution { None = 0, Uniform = 1, Normal = 2, Exponential = 3 };

// Which IRR a simulation with several keeps. The codes are the ones the
// multiple-IRR dialog stores in IrrChoice.
enum class IrrRule { Lowest = 1, Second = 2, Third = 3, Highest = 4 };

// Any other code is no distribution / the lowest IRR.
Distribution DistributionFromCode(int code);
IrrRule IrrRuleFromCode(int code);

struct SimulationSettings {
    double investment = kDefaultInvestment;  // the outflow P0 = -investment
    int payments = 1;                        // N per series
    long simulations = 100;
    Distribution distribution = Distribution::None;
    // Uniform: lower and upper bound; normal: mean and standard deviation;
    // exponential: the mean in param1.
    double param1 = 0;
    double param2 = 0;
    bool allowNegativePayments = true;
    SearchSettings search{kDefaultIncrement, kSimulationTolerance, 1};
    IrrRule irrRule = IrrRule::Lowest;
    bool notifyOtherIrr = false;  // tell the user when the highest IRR is kept instead
    bool saveToFile = true;
    std::string outputPath;
    // An open descriptor the IRR lines go to instead of a file at
    // outputPath (which then only names it in messages); -1 for none.
    int outputDescriptor = -1;
    // The IRR lines write a decimal comma (0,1 and -0,05), as a desktop
    // whose locale uses one reads them; a point otherwise.
    bool decimalComma = false;
    // A hurdle rate R (listed, as the IRRs are): each simulation's NPV at R
    // is computed; nothing for none.
    std::optional<double> hurdle;
};

// Why no run can use the settings, for the user; empty when it can. The
// distribution parameters are checked where they are typed (CheckSetup).
std::string CheckSimulationSettings(const SimulationSettings& settings);

}  // namespace valmora
