// The settings of a root search, their defaults, the one rule they must
// meet, and what the user is told when one does not.
#pragma once

#include <string>
#include <string_view>

namespace valmora {

// Scan step in x = 1/(1 + i).
inline constexpr double kDefaultIncrement = 0.01;
// Newton's tolerance of a single series (the deterministic screen and
// `valmora-cli irr`). Its tolerance box shows 1E-08, but this value is in
// effect until the box is edited.
inline constexpr double kDefaultTolerance = 1E-07;
// Newton's tolerance of a simulation run, and what both screens put back in
// a tolerance box whose text was refused.
inline constexpr double kSimulationTolerance = 1E-08;

struct SearchSettings {
    double increment = kDefaultIncrement;
    double tolerance = kDefaultTolerance;
    int periodsPerYear = 1;  // M: listed rates are M times the rate per period
};

// The setting the user must correct.
enum class SearchSetting { None, Increment, Tolerance, PeriodsPerYear };

// How far the check goes. Entered: what the user may enter on the screens and
// the command line and a simulation run accepts: 0 < increment < 1 and
// 0 <= tolerance < 1. Searchable: only what a search needs to end (a finite
// increment above 0, a finite tolerance from 0); a step of 1 or more puts a
// whole stretch of x in one bracket.
enum class SettingsRule { Entered, Searchable };

// The first setting that breaks the rule, or None. Both rules want at least
// one period per year.
SearchSetting CheckSearchSettings(const SearchSettings& settings, SettingsRule rule = SettingsRule::Entered);
// The Entered rule for one value (NaN fails).
bool IncrementInRange(double increment);
bool ToleranceInRange(double tolerance);

// What the user is told about a setting (Increment or Tolerance).
struct SettingText {
    std::string_view purpose;  // "Used to find approximate root locations"
    std::string_view request;  // "Enter a valid increment (e.g.:0.01)"
    std::string_view range;    // "above 0 and below 1"
};
const SettingText& TextOf(SearchSetting setting);

// The two lines a screen shows: purpose and request joined by "\r".
std::string ScreenMessage(SearchSetting setting);

}  // namespace valmora
