#include "core/solver/missed_roots.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/exact_roots.h"
#include "core/solver/polynomial.h"
#include "core/solver/root_location.h"
#include "solver/series_from_roots.h"
#include "core/solver/search_settings.h"
#include "core/solver/solver_messages.h"
#include "solver/series_from_roots.h"
#include "solver/missed_roots_text.h"

namespace valmora {
namespace {

using testing::MissedRootsText;

using testing::FromRoots;

struct Searched {
    CashFlowAnalysis analysis;
    SearchSettings settings;
    RootSearch search;
};

Searched Search(const std::vector<double>& series, double increment) {
    Searched s{AnalyseCashFlows(series), SearchSettings{increment, 1e-7, 1}, {}};
    s.search = LocateRoots(s.analysis, s.settings);
    return s;
}

struct MissedCase {
    const char* name;
    std::vector<double> series;
    double increment;
    int missed;                  // roots the scan did not list
    double separatingIncrement;  // suggested for the first missed interval; 0: none works
    const char* textHas;         // a part of the user's sentence
};

class Missed : public ::testing::TestWithParam<MissedCase> {};

TEST_P(Missed, NamesTheRatesAndAnIncrementThatFindsThem) {
    const auto& c = GetParam();
    const Searched s = Search(c.series, c.increment);
    ASSERT_TRUE(s.search.census.known);
    const auto notes = DescribeMissedRoots(s.analysis, s.settings, s.search);
    int count = 0;
    for (const auto& n : notes) count += n.count;
    EXPECT_EQ(count, c.missed);
    const std::string text = MissedRootsText(s.analysis, s.settings, s.search);
    EXPECT_NE(text.find(c.textHas), std::string::npos) << text;
    if (c.missed == 0) {
        EXPECT_EQ(text, "");
        return;
    }
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes[0].separatingIncrement, c.separatingIncrement);
    EXPECT_GT(notes[0].highRate, notes[0].lowRate);
    if (c.separatingIncrement > 0) {
        // The suggested increment really lists every root.
        const Searched again = Search(c.series, notes[0].separatingIncrement);
        EXPECT_EQ(again.search.census.MissedCount(), 0);
        EXPECT_EQ(again.search.rates.size(), static_cast<std::size_t>(again.search.census.inRange));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Missed,
    ::testing::Values(
        MissedCase{"NothingMissed", {-1000, 500, 500, 500}, 0.01, 0, 0, ""},
        // Roots x = 0.5, 0.505 and 2: the first two share a grid step.
        // 0.001 puts a grid point on the root x = 0.505, where f is 0 and the
        // sign test sees no change.
        MissedCase{"PairInOneStep",
                   {505, -2262.5, 3005, -1000},
                   0.01,
                   2,
                   0.0007,
                   "The search missed 2 roots between the rates 0.96078 and 1.04082: an increment of 0.0007 would "
                   "separate them."},
        // A double root at x = 0.75 (rate 0.33333): f never changes sign there.
        MissedCase{"DoubleRoot", FromRoots({0.75, 0.75}, {1.0}, -1000), 0.01, 1, 0, "no increment finds it."},
        // Roots 2^-20 apart at x = 0.5: an increment below 2^-21 separates them.
        MissedCase{"ClosePair", FromRoots({0.5, 0.5 + 0x1p-20}, {1.0}, -1000), 0.01, 2, 1e-07, "would separate them."}),
    [](const auto& info) { return info.param.name; });

TEST(AllRoots, ListsEveryRootInRangeAndWhichTheScanFound) {
    const Searched s = Search({505, -2262.5, 3005, -1000}, 0.01);
    const auto listed = AllRootsInRange(s.analysis, s.settings, s.search);
    ASSERT_TRUE(listed.has_value());
    const auto& all = *listed;
    ASSERT_EQ(all.size(), 3u);
    const double x[] = {0.5, 0.505, 2.0};
    const bool found[] = {false, false, true};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(all[i].x, x[i]);
        EXPECT_EQ(all[i].rate, RateFromRoot(x[i], 1));
        EXPECT_TRUE(all[i].rateFinite);
        EXPECT_EQ(all[i].found, found[i]) << i;
    }
}

TEST(AllRoots, ARootBelowTheSmallestRateReciprocalHasNoFiniteRate) {
    // -1e-300 + 1e300 x: x = 1e-600 is no double; its rate is no finite double.
    const Searched s = Search({-1e-300, 1e300}, 0.01);
    const auto listed = AllRootsInRange(s.analysis, s.settings, s.search);
    ASSERT_TRUE(listed.has_value());
    const auto& all = *listed;
    ASSERT_EQ(all.size(), 1u);
    EXPECT_FALSE(all[0].rateFinite);
    EXPECT_TRUE(s.search.rates.empty());
}

// Above the degree exact counting handles, nothing is guessed: the count is
// unknown, said so, and no list of roots is made up.
TEST(AllRoots, LongSeriesAreNotCountedExactly) {
    // A close pair the grid cannot part, times 1 + x^N, which has no
    // positive root: one degree above the reach.
    std::vector<double> rest(static_cast<std::size_t>(kMaxExactDegree), 0.0);
    rest.front() = rest.back() = 1.0;
    const std::vector<double> series = testing::FromRoots({0.5, 0.5 + 0x1p-12}, rest, -1000);
    ASSERT_EQ(static_cast<int>(series.size()), kMaxExactDegree + 2);
    const Searched s = Search(series, 0.01);
    ASSERT_TRUE(s.search.Searched());
    EXPECT_FALSE(AllRootsInRange(s.analysis, s.settings, s.search).has_value());
    EXPECT_FALSE(s.search.census.known);
    EXPECT_EQ(MissedRootsText(s.analysis, s.settings, s.search),
              "Whether the search missed roots was not decided: roots are counted exactly only up to " +
                  std::to_string(kMaxExactDegree) + " payments.");
}

struct RateTextCase {
    double rate;
    int periods;
    const char* text;
};

class RateTexts : public ::testing::TestWithParam<RateTextCase> {};

TEST_P(RateTexts, ShowEnoughDigitsToBeTrue) {
    EXPECT_EQ(RateText(GetParam().rate, GetParam().periods), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, RateTexts,
                         ::testing::Values(RateTextCase{0.05, 1, "0.05"}, RateTextCase{1.0, 1, "1.0"},
                                           RateTextCase{0.0712345678, 1, "0.07123"},
                                           RateTextCase{-0.9999975, 1, "-0.9999975"},
                                           RateTextCase{-0.99999999, 1, "-0.99999999"},
                                           RateTextCase{-11.99997, 12, "-11.99997"},
                                           RateTextCase{26214399.0, 1, "26214399.0"}));

// The rates of one sentence share one style: rounded where each rounded
// rate is true, all with full digits otherwise.
TEST(SentenceRates, ShareOneStyle) {
    const double rounded[] = {0.1, 0.0712345678};
    EXPECT_EQ(valmora::RateTexts(rounded, 1), (std::vector<std::string>{"0.1", "0.07123"}));
    const double mixed[] = {-0.9866666666666667, -0.6845412345};
    EXPECT_EQ(valmora::RateTexts(mixed, 1), (std::vector<std::string>{"-0.986666666666667", "-0.6845412345"}));
    EXPECT_TRUE(valmora::RateTexts({}, 1).empty());
}

struct StopCase {
    ScanStop stop;
    double lastX;
    const char* text;
};

class StopTexts : public ::testing::TestWithParam<StopCase> {};

TEST_P(StopTexts, NameTheStopPointAsATrueRate) {
    EXPECT_EQ(IncompleteScanText(GetParam().stop, GetParam().lastX, 1), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StopTexts,
    ::testing::Values(
        StopCase{ScanStop::None, 2.0, ""},
        StopCase{ScanStop::WorkBudget, 400000.0,
                 "The search stopped at x = 400000 (the work limit was reached): rates below -0.9999975 were not "
                 "searched."},
        StopCase{ScanStop::NotFinite, 2.0,
                 "The search stopped at x = 2 (F(x) became too large): rates below -0.5 were not searched."},
        StopCase{ScanStop::Stalled, 1e-320,
                 "The search stopped at x = 9.99988867182683E-321 (x no longer grew by the increment): no rate "
                 "that a number can hold was searched."}));

}  // namespace
}  // namespace valmora
