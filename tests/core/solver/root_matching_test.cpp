// Which root each listed rate stands for, checked against exact counts by
// Sturm sequences: every count, flag, interval and sentence about the
// listed rates must be true of the series as typed.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/exact_roots.h"
#include "core/solver/missed_roots.h"
#include "core/solver/root_location.h"
#include "core/solver/search_settings.h"
#include "solver/series_from_roots.h"

namespace valmora {
namespace {

using testing::FromRoots;

bool Inside(double x, const Bracket& b) { return b.from < x && x <= b.to; }
bool Inside(double x, const MissedRoots& m) { return m.from < x && x <= m.to; }

// Everything the search says around its list, against an independent exact
// count: each stretch a listed rate stands for holds the roots the census
// says (none for the rates reported as no roots), the roots found and
// missed add up to the roots in range, every found root lies in a listed
// stretch and every other one in a missed interval.
void ExpectTrueReport(const std::vector<double>& series, double increment) {
    SCOPED_TRACE("increment " + std::to_string(increment));
    const CashFlowAnalysis a = AnalyseCashFlows(series);
    ASSERT_TRUE(a.Ok());
    const SearchSettings settings{increment, 1e-8, 1};
    const RootSearch s = LocateRoots(a, settings);
    const RootCensus& c = s.census;
    ASSERT_TRUE(c.known);
    const ExactPolynomial exact(a.coefficients);
    EXPECT_EQ(c.inRange, exact.CountInBySturm(0, a.upperBound));
    ASSERT_EQ(c.bracketSpans.size(), s.rates.size());
    int found = 0;
    for (std::size_t r = 0; r < s.rates.size(); ++r) {
        const Bracket& span = c.bracketSpans[r];
        EXPECT_LE(span.from, s.brackets[r].from);  // the step, widened at most
        EXPECT_GE(span.to, s.brackets[r].to);
        EXPECT_EQ(c.bracketRoots[r], exact.CountInBySturm(span.from, span.to)) << "rate " << s.rates[r];
        found += c.bracketRoots[r] > 0 ? 1 : 0;
    }
    for (std::size_t u = 0; u < s.unlisted.size(); ++u) found += c.unlistedBracketRoots[u] > 0 ? 1 : 0;
    EXPECT_EQ(found + c.MissedCount(), c.inRange);
    for (const MissedRoots& m : c.missed)
        EXPECT_GE(exact.CountInBySturm(m.from, m.to), m.count) << "(" << m.from << ", " << m.to << "]";
    for (std::size_t r : c.NotRoots()) EXPECT_EQ(exact.CountInBySturm(c.bracketSpans[r].from, c.bracketSpans[r].to), 0);

    const auto all = AllRootsInRange(a, settings, s);
    ASSERT_TRUE(all.has_value());
    ASSERT_EQ(static_cast<int>(all->size()), c.inRange);
    int flagged = 0;
    for (const RootInRange& root : *all) {
        if (root.found) {
            ++flagged;
            bool listed = false;
            for (const Bracket& span : c.bracketSpans) listed = listed || Inside(root.x, span);
            for (const Bracket& span : c.unlistedSpans) listed = listed || Inside(root.x, span);
            EXPECT_TRUE(listed) << "found root " << root.x << " lies in no listed stretch";
        } else {
            bool missed = false;
            for (const MissedRoots& m : c.missed) missed = missed || Inside(root.x, m);
            EXPECT_TRUE(missed) << "root " << root.x << " is neither found nor in a missed interval";
        }
    }
    EXPECT_EQ(flagged, found);
}

struct MatchCase {
    const char* name;
    std::vector<double> series;
    double increment;
    int inRange;
    std::vector<std::size_t> notRoots;  // listed rates that stand for no root
};

class Matching : public ::testing::TestWithParam<MatchCase> {};

TEST_P(Matching, SaysOnlyWhatIsTrue) {
    const auto& c = GetParam();
    ExpectTrueReport(c.series, c.increment);
    const RootSearch s = LocateRoots(AnalyseCashFlows(c.series), SearchSettings{c.increment, 1e-8, 1});
    EXPECT_EQ(s.census.inRange, c.inRange);
    EXPECT_EQ(s.census.NotRoots(), c.notRoots);
}

// Wilkinson- and Chebyshev-like series: 24 and 20 known roots in (0, 1),
// coefficients up to 1E+20 (rounded, so some roots move or pair off).
std::vector<double> Known(bool chebyshev, int m) {
    std::vector<double> roots;
    for (int k = 0; k < m; ++k)
        roots.push_back(chebyshev ? (std::cos((2 * k + 1) * M_PI / (2 * m)) + 1) / 2 : (k + 1.0) / (m + 1));
    std::vector<double> c = FromRoots(roots, {1.0}, 1.0);
    double most = 0;
    for (double v : c) most = std::max(most, std::fabs(v));
    for (double& v : c) v *= 1e20 / most;
    return c;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Matching,
    ::testing::Values(
        // Rounding makes F change sign twice near x = 0.33 where the series
        // has no root at all: both listed rates stand for nothing.
        MatchCase{"RatesWhereTheSeriesHasNoRoot",
                  {1000, -5560.606060596878, 7152.433425137463, -1469.237832878927, 9182.736455435901},
                  0.01,
                  0,
                  {0, 1}},
        // The per-term sum has the wrong sign at the grid point next to
        // x = 0.5, so the sign change shows one step late: the listed rate
        // still stands for the root 0.5; 0.505, where the sum is exactly 0
        // at a grid point, is missed.
        MatchCase{"SignChangeOneStepLate", {505, -2262.5, 3005, -1000}, 0.001, 3, {}},
        // A root where F touches 0, next to a close pair one step away.
        MatchCase{"TouchingRootBesideAClosePair",
                  FromRoots({0.625, 0.625, 0.6875, 0.6875 + 0x1p-12}, {1.0, 1.0}),
                  0.01,
                  3,
                  {}},
        // Three roots in one grid step: the listed rate stands for one.
        MatchCase{"ThreeRootsInOneStep", FromRoots({0.5, 0.5 + 0x1p-10, 0.5 + 0x1p-9}), 0.01, 3, {}},
        MatchCase{"TripleRoot", FromRoots({0.75, 0.75, 0.75}), 0.01, 1, {}},
        // Rounding the coefficients leaves 14 of the 24 roots real, and the
        // scan lists 14 rates where rounding alone changes the sign.
        MatchCase{"Wilkinson24", Known(false, 24), 0.01, 14, {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23}},
        MatchCase{"Chebyshev20", Known(true, 20), 0.01, 20, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Touching roots beside close pairs, drawn: the kind where the listed
// rates once claimed roots they never bracketed.
TEST(Matching, HoldsOnDrawnTouchingRootsAndPairs) {
    std::mt19937_64 rng(15);
    std::uniform_real_distribution<double> at(0.3, 0.95), near(0.005, 0.03), gap(1e-5, 1e-3), rest(1, 3);
    for (int i = 0; i < 40; ++i) {
        const double t = at(rng);
        const double p = t + (i % 2 ? near(rng) : -near(rng));
        const std::vector<double> series = FromRoots({t, t, p, p + gap(rng)}, {rest(rng), rest(rng), rest(rng)});
        for (double increment : {0.01, 0.0037}) ExpectTrueReport(series, increment);
    }
}

TEST(Matching, SentenceForRatesThatStandForNoRoot) {
    const CashFlowAnalysis a = AnalyseCashFlows(
        std::vector<double>{1000, -5560.606060596878, 7152.433425137463, -1469.237832878927, 9182.736455435901});
    const RootSearch s = LocateRoots(a, SearchSettings{0.01, 1e-8, 1});
    EXPECT_EQ(NotRootsSentence(s, 1),
              "The rates 2.0303 and 2.0303 are listed because rounding makes F(x) change sign there; the series as "
              "typed has no root in the grid step where each was found.");
    const auto all = AllRootsInRange(a, SearchSettings{0.01, 1e-8, 1}, s);
    ASSERT_TRUE(all.has_value());
    EXPECT_TRUE(all->empty());

    // One such rate: the sentence names the rates around it.
    const CashFlowAnalysis b = AnalyseCashFlows(std::vector<double>{505, -2262.5, 3005, -1000});
    const RootSearch t = LocateRoots(b, SearchSettings{0.001, 1e-8, 1});
    EXPECT_EQ(NotRootsSentence(t, 1), "");
}

}  // namespace
}  // namespace valmora
