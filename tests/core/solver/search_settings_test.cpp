#include "core/solver/search_settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/simulation/simulation_settings.h"

namespace valmora {
namespace {

TEST(SearchSettings, OneRuleTwoReaches) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::nan("");
    struct Case {
        SearchSettings s;
        SearchSetting entered;
        SearchSetting searchable;
    };
    const Case cases[] = {
        {{}, SearchSetting::None, SearchSetting::None},
        {{0.5, 0.999, 12}, SearchSetting::None, SearchSetting::None},
        {{0.01, 0.0, 1}, SearchSetting::None, SearchSetting::None},
        {{1.0, 1e-7, 1}, SearchSetting::Increment, SearchSetting::None},  // one step may span [0, 1]
        {{0.0, 1e-7, 1}, SearchSetting::Increment, SearchSetting::Increment},
        {{-0.01, 1e-7, 1}, SearchSetting::Increment, SearchSetting::Increment},
        {{nan, 1e-7, 1}, SearchSetting::Increment, SearchSetting::Increment},
        {{inf, 1e-7, 1}, SearchSetting::Increment, SearchSetting::Increment},
        {{0.01, 1.0, 1}, SearchSetting::Tolerance, SearchSetting::None},
        {{0.01, -1e-9, 1}, SearchSetting::Tolerance, SearchSetting::Tolerance},
        {{0.01, nan, 1}, SearchSetting::Tolerance, SearchSetting::Tolerance},
        {{0.01, inf, 1}, SearchSetting::Tolerance, SearchSetting::Tolerance},
        {{0.01, 1e-7, 0}, SearchSetting::PeriodsPerYear, SearchSetting::PeriodsPerYear},
        {{0.0, -1.0, 0}, SearchSetting::Increment, SearchSetting::Increment},  // the first one found
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckSearchSettings(c.s), c.entered) << c.s.increment << " " << c.s.tolerance;
        EXPECT_EQ(CheckSearchSettings(c.s, SettingsRule::Searchable), c.searchable)
            << c.s.increment << " " << c.s.tolerance;
    }
}

TEST(SearchSettings, DefaultsAndMessages) {
    EXPECT_EQ(SearchSettings{}.increment, 0.01);
    EXPECT_EQ(SearchSettings{}.tolerance, 1E-07);
    EXPECT_EQ(SimulationSettings{}.search.tolerance, 1E-08);
    EXPECT_EQ(ScreenMessage(SearchSetting::Increment),
              "Used to find approximate root locations\rEnter a valid increment (e.g.:0.01)");
    EXPECT_EQ(ScreenMessage(SearchSetting::Tolerance),
              "Used by Newton's Method to find roots\rEnter a valid tolerance (e.g.:0.0000001)");
}

TEST(SimulationSettings, CheckSaysWhatNoRunCanUse) {
    struct Case {
        void (*change)(SimulationSettings&);
        std::string message;
    };
    const Case cases[] = {
        {[](SimulationSettings&) {}, ""},
        {[](SimulationSettings& s) { s.simulations = 0; }, "The number of simulations must be at least 1."},
        {[](SimulationSettings& s) { s.payments = 0; }, "The number of payments must be at least 1."},
        {[](SimulationSettings& s) { s.search.periodsPerYear = 0; }, "The periods per year must be at least 1."},
        {[](SimulationSettings& s) { s.search.increment = 0; }, "The increment must be above 0 and below 1."},
        {[](SimulationSettings& s) { s.search.increment = 1; }, "The increment must be above 0 and below 1."},
        {[](SimulationSettings& s) { s.search.tolerance = 1; },
         "The tolerance must be from 0 up to, not including, 1."},
    };
    for (const Case& c : cases) {
        SimulationSettings s;
        c.change(s);
        EXPECT_EQ(CheckSimulationSettings(s), c.message);
    }
}

TEST(SimulationSettings, WorkspaceCodes) {
    EXPECT_EQ(DistributionFromCode(1), Distribution::Uniform);
    EXPECT_EQ(DistributionFromCode(3), Distribution::Exponential);
    EXPECT_EQ(DistributionFromCode(0), Distribution::None);
    EXPECT_EQ(DistributionFromCode(4), Distribution::None);
    EXPECT_EQ(IrrRuleFromCode(2), IrrRule::Second);
    EXPECT_EQ(IrrRuleFromCode(4), IrrRule::Highest);
    EXPECT_EQ(IrrRuleFromCode(0), IrrRule::Lowest);
}

}  // namespace
}  // namespace valmora
