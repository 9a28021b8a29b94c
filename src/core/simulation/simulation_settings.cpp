#include "core/simulation/simulation_settings.h"

#include "core/decision/decision.h"

namespace valmora {

Distribution DistributionFromCode(int code) {
    return code >= 1 && code <= 3 ? static_cast<Distribution>(code) : Distribution::None;
}

IrrRule IrrRuleFromCode(int code) { return code >= 2 && code <= 4 ? static_cast<IrrRule>(code) : IrrRule::Lowest; }

std::string CheckSimulationSettings(const SimulationSettings& s) {
    if (s.simulations < 1) return "The number of simulations must be at least 1.";
    if (s.payments < 1) return "The number of payments must be at least 1.";
    if (s.hurdle) {
        if (const std::string refused = RateRefusal(*s.hurdle, s.search.periodsPerYear); !refused.empty())
            return "The hurdle rate: " + refused + ".";
    }
    const SearchSetting bad = CheckSearchSettings(s.search);
    switch (bad) {
        case SearchSetting::None: return "";
        case SearchSetting::Increment: return "The increment must be " + std::string(TextOf(bad).range) + ".";
        case SearchSetting::Tolerance: return "The tolerance must be " + std::string(TextOf(bad).range) + ".";
        case SearchSetting::PeriodsPerYear:
            return "The periods per year must be " + std::string(TextOf(bad).range) + ".";
    }
    return "";
}

}  // namespace valmora
