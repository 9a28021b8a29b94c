#include "core/solver/root_census.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/exact_roots.h"
#include "core/solver/root_location.h"
#include "core/solver/search_settings.h"
#include "solver/series_from_roots.h"

namespace valmora {
namespace {


using testing::FromRoots;

// 1 + x^n.
std::vector<double> XPowerPlusOne(int n) {
    std::vector<double> c(static_cast<std::size_t>(n) + 1, 0.0);
    c.front() = c.back() = 1.0;
    return c;
}

struct CensusCase {
    const char* name;
    std::vector<double> payments;
    double increment;
    std::vector<double> roots;     // every distinct positive root
    std::vector<double> unlisted;  // the ones the scan cannot list
};

class Census : public ::testing::TestWithParam<CensusCase> {};

TEST_P(Census, CountsEveryRootAndLocatesTheMissedOnes) {
    const auto& c = GetParam();
    const CashFlowAnalysis a = AnalyseCashFlows(c.payments);
    ASSERT_TRUE(a.Ok());
    const RootSearch scan = LocateRoots(a, SearchSettings{c.increment, 1e-7, 1});
    const RootCensus& census = scan.census;
    ASSERT_TRUE(census.known);
    EXPECT_EQ(census.inRange, static_cast<int>(c.roots.size()));
    EXPECT_EQ(census.MissedCount(), static_cast<int>(c.unlisted.size()));
    EXPECT_EQ(scan.rates.size() + c.unlisted.size(), c.roots.size());
    for (double r : c.unlisted) {
        int holding = 0;
        for (const auto& m : census.missed) holding += m.from < r && r <= m.to;
        EXPECT_EQ(holding, 1) << "root " << r << " in no missed interval, or in several";
    }
}

INSTANTIATE_TEST_SUITE_P(
    KnownRoots, Census,
    ::testing::Values(
        // The two roots 0.5 and 0.505 fall in one step of 0.01.
        CensusCase{"PairInsideOneStep", {505, -2262.5, 3005, -1000}, 0.01, {0.5, 0.505, 2}, {0.5, 0.505}},
        CensusCase{"PairSeparatedByTheGrid", {505, -2262.5, 3005, -1000}, 0.003, {0.5, 0.505, 2}, {}},
        // At the grid point next to 0.505 the per-term value is exactly 0.
        CensusCase{"ZeroValueNextToARoot", {505, -2262.5, 3005, -1000}, 0.001, {0.5, 0.505, 2}, {0.505}},
        CensusCase{"DoubleRoot", FromRoots({0.625, 0.625}), 0.01, {0.625}, {0.625}},
        CensusCase{"DoubleRootAndSimpleRoot", FromRoots({0.375, 0.375, 1.5}), 0.01, {0.375, 1.5}, {0.375}},
        CensusCase{"TripleRootIsASignChange", FromRoots({0.75, 0.75, 0.75}), 0.01, {0.75}, {}},
        CensusCase{
            "ClosePair", FromRoots({0.5, 0.5 + 0x1p-12}, {1, 0, 1}), 0.01, {0.5, 0.5 + 0x1p-12}, {0.5, 0.5 + 0x1p-12}},
        CensusCase{"NearZero", FromRoots({0x1p-20, 0x1p-19}, {3, 1}), 0.01, {0x1p-20, 0x1p-19}, {0x1p-20, 0x1p-19}},
        CensusCase{"OneNearZero", FromRoots({0x1p-30, 0.75}), 0.01, {0x1p-30, 0.75}, {}},
        CensusCase{"ExactZeroAtAGridPoint", {-1000, 2000}, 0.5, {0.5}, {0.5}},
        CensusCase{"AtTheBound", FromRoots({1, 2}), 0.01, {1, 2}, {}},
        CensusCase{"PairNearTheBound",
                   FromRoots({0.25, 3 + 0x1p-16, 3 + 0x1p-15}),
                   0.01,
                   {0.25, 3 + 0x1p-16, 3 + 0x1p-15},
                   {3 + 0x1p-16, 3 + 0x1p-15}},
        CensusCase{"NoPositiveRoot", FromRoots({}, {1, 2, 1}), 0.01, {}, {}},
        // Degree 72: a close pair and a double root times 1 + x^68, which has
        // no positive root.
        CensusCase{"HighDegree",
                   FromRoots({0.5, 0.5 + 0x1p-8, 0.875, 0.875}, XPowerPlusOne(68)),
                   0.01,
                   {0.5, 0.5 + 0x1p-8, 0.875},
                   {0.5, 0.5 + 0x1p-8, 0.875}},
        CensusCase{"ComplexPairOnly", FromRoots({}, {1, -1, 1}), 0.01, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Where the scan stops on its budget, the roots beyond are counted and
// reported as missed.
TEST(Census, CountsRootsBeyondAnEarlyStop) {
    const CashFlowAnalysis a = AnalyseCashFlows(FromRoots({0.25, 0.75, 1.5}));
    ASSERT_TRUE(a.Ok());
    // The smallest budget that lets the scan list the first root.
    RootSearch scan;
    for (std::uint64_t budget = 4; budget < 100000; budget += 16) {
        scan = LocateRoots(a, SearchSettings{0.001, 1e-7, 1}, budget);
        if (!scan.rates.empty()) break;
    }
    ASSERT_EQ(scan.stop, ScanStop::WorkBudget);
    const RootCensus& census = scan.census;
    EXPECT_EQ(census.inRange, 3);
    ASSERT_LT(scan.lastX, 0.75);
    EXPECT_EQ(scan.rates.size(), 1u);
    ASSERT_EQ(census.missed.size(), 1u);
    EXPECT_EQ(census.missed[0].count, 2);
    EXPECT_EQ(census.missed[0].to, a.upperBound);
}

// -1000 + 400 (x + ... + x^359) - 0.5 x^360 with payment 100 at -50 (four
// sign changes, two roots): between x = 7.04 and 7.09 the split's sums
// overflow a little before f itself, so its bounds cannot tell f's sign at
// those grid points, while the reciprocal form still can. Those steps hold
// no root, and no exact count is needed to say so.
TEST(Census, SettlesStepsWhereTheSplitOverflowsWithoutExactCounting) {
    std::vector<double> p(361, 400.0);
    p.front() = -1000;
    p.back() = -0.5;
    p[100] = -50;
    const CashFlowAnalysis a = AnalyseCashFlows(p);
    ASSERT_TRUE(a.Ok());
    const RootSearch scan = LocateRoots(a, SearchSettings{0.01, 1e-8, 1});
    ASSERT_EQ(scan.stop, ScanStop::None);
    const RootCensus& census = scan.census;
    ASSERT_TRUE(census.known);
    EXPECT_EQ(census.exactCounts, 0);
    EXPECT_EQ(census.inRange, ExactPolynomial(p).CountIn(0, a.upperBound));
    EXPECT_EQ(census.inRange, 2);
    EXPECT_TRUE(census.missed.empty());
}

// The exact counter against the known roots, on sub-intervals.
TEST(ExactRoots, CountsIsolatesAndRefines) {
    const ExactPolynomial p(FromRoots({0.5, 0.5 + 0x1p-20, 0.5 + 0x1p-20, 0.6875}, {1, 0, 1}, 3.0));
    EXPECT_EQ(p.CountIn(0, 4), 3);
    EXPECT_EQ(p.CountIn(0, 0.5), 1);  // (a, b] holds its right end
    EXPECT_EQ(p.CountIn(0.5, 0.6), 1);
    EXPECT_EQ(p.CountIn(0.6, 0.7), 1);
    EXPECT_EQ(p.CountIn(0.7, 4), 0);
    const auto pieces = p.Isolate(0, 4);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(p.Refine(pieces[0].from, pieces[0].to), 0.5);
    EXPECT_EQ(p.Refine(pieces[1].from, pieces[1].to), 0.5 + 0x1p-20);
    EXPECT_EQ(p.Refine(pieces[2].from, pieces[2].to), 0.6875);
    // A root that is no double: the nearer neighbour.
    const ExactPolynomial third(std::vector<double>{-1, 3});
    EXPECT_EQ(third.Refine(0, 1), 1.0 / 3);
    EXPECT_TRUE(ExactPolynomial(std::vector<double>{0, 0, 0}).IsZero());
}

}  // namespace
}  // namespace valmora
