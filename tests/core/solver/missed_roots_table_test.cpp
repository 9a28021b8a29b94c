// Series whose roots are known, searched with the default settings: what is
// listed, what is counted, and what the user is told about the rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/missed_roots.h"
#include "core/solver/root_location.h"
#include "core/solver/search_settings.h"
#include "solver/missed_roots_text.h"

namespace valmora {
namespace {

using testing::MissedRootsText;

// The rate per period of a root x.
double Rate(double x) { return 1.0 / x - 1.0; }

bool Near(double value, double expected, double relative) {
    return std::fabs(value - expected) <= relative * std::fabs(expected);
}

struct Case {
    const char* name;
    std::vector<double> flows;  // P0 P1 ... PN, P0 as the command line takes it
    // The roots in (0, UpperBound], increasing; those the scan lists, and
    // those it cannot list as their rate is no number.
    std::vector<double> roots;
    std::vector<double> listed;
    int unlisted;
    int missed;  // roots in one interval the grid stepped over
};

const Case kCases[] = {
    // One payment far below the investment: one root at x = 1E+08.
    {"tiny payment", {-1000, 0.00001}, {1e8}, {1e8}, 0, 0},
    // -1000000 (x - 1E-06)(x - 0.0101): a root next to 0, refined to full precision.
    {"root near 0", {-0.0101, 10101, -1000000}, {1e-6, 0.0101}, {1e-6, 0.0101}, 0, 0},
    // A root at x = 1E-600, below every positive double: its rate is no number.
    {"rate beyond numbers", {-1e-300, 1e300}, {0}, {}, 1, 0},
    // -1000 (x - 0.5)(x - 0.505)(x - 2): the first two inside one step of 0.01.
    {"pair in one step", {505, -2262.5, 3005, -1000}, {0.5, 0.505, 2}, {2}, 0, 2},
};

TEST(MissedRootsTable, MeasuredCases) {
    const SearchSettings settings;  // increment 0.01, tolerance 1E-07
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const CashFlowAnalysis analysis = AnalyseCashFlows(c.flows);
        ASSERT_TRUE(analysis.Ok());
        const RootSearch search = LocateRoots(analysis, settings);
        EXPECT_EQ(search.status, ScanStatus::Complete);
        EXPECT_EQ(search.stop, ScanStop::None);

        ASSERT_EQ(search.rates.size(), c.listed.size());
        for (std::size_t r = 0; r < c.listed.size(); ++r)
            EXPECT_TRUE(Near(search.rates[r], Rate(c.listed[r]), 1e-9)) << search.rates[r] << " " << Rate(c.listed[r]);
        EXPECT_EQ(static_cast<int>(search.unlisted.size()), c.unlisted);

        ASSERT_TRUE(search.census.known);
        EXPECT_EQ(search.census.inRange, static_cast<int>(c.roots.size()));
        EXPECT_EQ(search.census.MissedCount(), c.missed);

        // Every root in range, marked whether the scan found it.
        const auto listed = AllRootsInRange(analysis, settings, search);
        ASSERT_TRUE(listed.has_value());
        const std::vector<RootInRange>& all = *listed;
        ASSERT_EQ(all.size(), c.roots.size());
        for (std::size_t r = 0; r < all.size(); ++r) {
            const double x = c.roots[r];
            if (x == 0) {
                EXPECT_FALSE(all[r].rateFinite);
            } else {
                EXPECT_TRUE(all[r].rateFinite);
                EXPECT_TRUE(Near(all[r].rate, Rate(x), 1e-12)) << all[r].rate;
            }
            bool listed = x == 0 ? c.unlisted > 0 : false;
            for (double l : c.listed) listed = listed || l == x;
            EXPECT_EQ(all[r].found, listed) << "root " << r;
        }

        // The user hears of missed roots, between rates around them.
        const std::string text = MissedRootsText(analysis, settings, search);
        const std::vector<MissedRootsNote> notes = DescribeMissedRoots(analysis, settings, search);
        if (c.missed == 0) {
            EXPECT_EQ(text, "");
            EXPECT_TRUE(notes.empty());
            continue;
        }
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_EQ(notes[0].count, c.missed);
        EXPECT_NE(text.find(std::to_string(c.missed) + " roots"), std::string::npos) << text;
        // Between rates no more than one grid step in x beyond them.
        double lowest = INFINITY, highest = 0;
        for (double x : c.roots) {
            if (std::find(c.listed.begin(), c.listed.end(), x) != c.listed.end()) continue;
            EXPECT_LT(notes[0].lowRate, Rate(x));
            EXPECT_GT(notes[0].highRate, Rate(x));
            lowest = std::min(lowest, x);
            highest = std::max(highest, x);
        }
        const double step = settings.increment * (1 + 1e-9);
        EXPECT_GE(notes[0].lowRate, Rate(highest + step));
        EXPECT_LE(notes[0].highRate, Rate(lowest - step));
    }
}

}  // namespace
}  // namespace valmora
