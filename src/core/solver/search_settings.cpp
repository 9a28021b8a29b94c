#include "core/solver/search_settings.h"

#include <cmath>

namespace valmora {
namespace {

constexpr SettingText kTexts[] = {
    {"", "", ""},
    {"Used to find approximate root locations", "Enter a valid increment (e.g.:0.01)", "above 0 and below 1"},
    {"Used by Newton's Method to find roots", "Enter a valid tolerance (e.g.:0.0000001)",
     "from 0 up to, not including, 1"},
    {"", "Enter a number of periods per year from 1 to 32767", "at least 1"},
};

}  // namespace

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

const SettingText& TextOf(SearchSetting setting) { return kTexts[static_cast<int>(setting)]; }

std::string ScreenMessage(SearchSetting setting) {
    const SettingText& t = TextOf(setting);
    return std::string(t.purpose) + "\r" + std::string(t.request);
}

}  // namespace valmora
