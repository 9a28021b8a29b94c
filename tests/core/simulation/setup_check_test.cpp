#include "core/simulation/setup_check.h"

#include <gtest/gtest.h>

namespace valmora {
namespace {

TEST(SetupCheck, AcceptsOrSaysWhy) {
    const std::string uniform = "Enter correct uniform distribution parameters";
    const std::string normal = "Enter correct normal distribution parameters";
    const std::string oneSd = "Mean must be at least one (1)\rstandard deveiations obove zero";
    const std::string exponential = "Enter correct exponential distribution parameters";
    struct Case {
        int dist;
        const char* first;
        const char* second;
        bool positiveOnly;
        std::string message;
    };
    const Case cases[] = {
        {0, "1", "2", false, "Select a distribution"},
        {1, "-10", "10", false, ""},
        {1, "5", "5", false, uniform},
        {1, "", "", false, uniform},  // empty boxes read as 0
        {1, "", "3", false, ""},
        {1, "-", "3", false, ""},
        {1, "-100", "-1", true,
         "Only positive payments are permitted, but every payment would be below 0."
         "\rEnter an upper bound above 0."},
        {1, "-100", "0", true,
         "Only positive payments are permitted, but every payment would be below 0."
         "\rEnter an upper bound above 0."},
        {1, "-100", "1", true, ""},
        {2, "400", "400", false, ""},
        {2, "400", "0", false, ""},  // a standard deviation of 0 passes
        {2, "300", "400", false, oneSd},
        {2, "-5", "1", false, normal},
        {2, "400", "", false, normal},
        {2, "-", "1", false, normal},
        {3, "0", "", false, exponential},
        {3, "0.5", "", false, ""},
        {3, "", "", false, exponential},
        {3, "-2", "", false, exponential},
        // Payments that cannot be computed with.
        {1, "-1e308", "1e308", false, uniform},
        {2, "1.5e308", "1e308", false, normal},
        {3, "2e307", "", false, exponential},
    };
    for (const Case& c : cases) {
        SetupCheck check = CheckSetup(static_cast<Distribution>(c.dist), c.first, c.second, c.positiveOnly);
        EXPECT_EQ(check.ok, c.message.empty()) << c.dist << " " << c.first << " " << c.second;
        EXPECT_EQ(check.message, c.message) << c.dist << " " << c.first << " " << c.second;
    }
}

}  // namespace
}  // namespace valmora
