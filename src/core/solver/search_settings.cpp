#include "core/solver/search_settings.h"

#include <cmath>

#include "core/solver/limits.h"
#include "core/solver/number_format.h"

namespace valmora {

// Written so that NaN fails both.
bool IncrementInRange(double increment) { return increment > 0 && increment < 1; }
bool ToleranceInRange(double tolerance) { return tolerance >= 0 && tolerance < 1; }

SearchSetting CheckSearchSettings(const SearchSettings& s, SettingsRule rule) {
    const bool entered = rule == SettingsRule::Entered;
    if (entered ? !IncrementInRange(s.increment) : !(s.increment > 0) || !std::isfinite(s.increment))
        return SearchSetting::Increment;
    if (entered ? !ToleranceInRange(s.tolerance) : !(s.tolerance >= 0) || !std::isfinite(s.tolerance))
        return SearchSetting::Tolerance;
    if (s.periodsPerYear < 1) return SearchSetting::PeriodsPerYear;
    return SearchSetting::None;
}

const SettingText& TextOf(SearchSetting setting) {
    // Built on first use, so that texts made before main() can ask for them.
    // The examples are the defaults.
    static const std::string incrementRequest =
        "Enter a valid increment (e.g.:" + FormatDecimal(kDefaultIncrement) + ")";
    static const std::string toleranceRequest =
        "Enter a valid tolerance (e.g.:" + FormatDecimal(kDefaultTolerance) + ")";
    static const std::string periodsRequest =
        "Enter a number of periods per year from 1 to " + std::to_string(kMaxPeriodsPerYear);
    static const SettingText texts[] = {
        {"", "", ""},
        {"Used to find approximate root locations", incrementRequest, "above 0 and below 1"},
        {"Used by Newton's Method to find roots", toleranceRequest, "from 0 up to, not including, 1"},
        {"", periodsRequest, "at least 1"},
    };
    return texts[static_cast<int>(setting)];
}

std::string ScreenMessage(SearchSetting setting) {
    const SettingText& t = TextOf(setting);
    return std::string(t.purpose) + "\r" + std::string(t.request);
}

}  // namespace valmora
