#include "core/simulation/setup_check.h"

#include <cmath>

#include "core/solver/text_rules.h"

namespace valmora {
namespace {

SetupCheck Refuse(std::string message) { return {false, std::move(message)}; }

}  // namespace

SetupCheck CheckSetup(Distribution distribution, std::string_view first, std::string_view second, bool positiveOnly) {
    const double p1 = LeadingValue(first);
    const double p2 = LeadingValue(second);
    const bool finite = std::isfinite(p1) && std::isfinite(p2);
    switch (distribution) {
        case Distribution::Uniform:
            // An empty box reads as 0. The width of the range must be a
            // number too, or every draw would be.
            if (!(p1 < p2) || !finite || !std::isfinite(p2 - p1))
                return Refuse("Enter correct uniform distribution parameters");
            if (positiveOnly && p2 <= 0)
                return Refuse(
                    "Only positive payments are permitted, but every payment would be below 0."
                    "\rEnter an upper bound above 0.");
            return {true, ""};
        case Distribution::Normal:
            // A draw reaches the mean plus about six standard deviations, so
            // that sum must be a number as well. The mean must lie at least
            // one standard deviation above 0 so that few draws are negative.
            if (!IsNumeric(first) || !IsNumeric(second) || p1 < 0 || p2 < 0 || !finite || !std::isfinite(p1 + 6 * p2))
                return Refuse("Enter correct normal distribution parameters");
            if (p1 < 1 * p2) return Refuse("Mean must be at least one (1)\rstandard deveiations obove zero");
            return {true, ""};
        case Distribution::Exponential:
            // A draw reaches about seventeen times the mean (-ln of the
            // smallest uniform, 2^-24), so that product must be a number.
            if (!IsNumeric(first) || !(p1 > 0) || !std::isfinite(p1 * 17))
                return Refuse("Enter correct exponential distribution parameters");
            return {true, ""};
        case Distribution::None: break;
    }
    return Refuse("Select a distribution");
}

}  // namespace valmora
