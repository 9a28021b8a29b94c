#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "core/statistics/histogram.h"
#include "core/statistics/summary.h"

namespace valmora {
namespace {

std::vector<double> OneToN(int n) {
    std::vector<double> v;
    for (int k = n; k >= 1; --k) v.push_back(k);  // unsorted on purpose
    return v;
}

TEST(Summarise, EmptyGivesNothing) { EXPECT_FALSE(Summarise({}).has_value()); }

TEST(Summarise, OneValueHasNoSpread) {
    const double v[] = {0.125};
    const auto s = Summarise(v);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->count, 1u);
    EXPECT_EQ(s->sd, 0.0);
    for (double q : {s->mean, s->min, s->p05, s->p50, s->p95, s->max}) EXPECT_EQ(q, 0.125);
}

TEST(Summarise, OneToHundredMatchesClosedForms) {
    const auto s = Summarise(OneToN(100));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->count, 100u);
    EXPECT_DOUBLE_EQ(s->mean, 50.5);
    EXPECT_NEAR(s->sd, std::sqrt(100.0 * 101.0 / 12.0), 1e-12);  // n(n+1)/12 for 1..n
    EXPECT_EQ(s->min, 1);
    EXPECT_EQ(s->max, 100);
    EXPECT_DOUBLE_EQ(s->p05, 1 + 0.05 * 99);
    EXPECT_DOUBLE_EQ(s->p50, 50.5);
    EXPECT_DOUBLE_EQ(s->p95, 1 + 0.95 * 99);
}

TEST(FreedmanDiaconis, BinsFollowTheRule) {
    // 1..1000: IQR 499.5, width 2 * 499.5 / 10 = 99.9, range 999: 10 bins.
    EXPECT_EQ(FreedmanDiaconisBins(OneToN(1000)), 10);
    // IQR 0 but different values: Sturges, ceil(log2 8) + 1.
    EXPECT_EQ(FreedmanDiaconisBins(std::vector<double>{0, 1, 1, 1, 1, 1, 1, 2}), 4);
    EXPECT_EQ(FreedmanDiaconisBins(std::vector<double>{3, 3, 3}), 1);
    EXPECT_EQ(FreedmanDiaconisBins(std::vector<double>{3}), 1);
    EXPECT_EQ(FreedmanDiaconisBins(std::vector<double>{}), 1);
}

TEST(FreedmanDiaconis, FarOutValuesAreCapped) {
    std::vector<double> v = OneToN(1000);
    v.push_back(1e9);
    EXPECT_EQ(FreedmanDiaconisBins(v), kAutoMaxBins);
}

struct Sample {
    const char* name;
    std::vector<double> values;
};

std::vector<Sample> Samples() {
    std::mt19937_64 gen(7);
    std::normal_distribution<double> normal(0.2, 0.05);
    std::vector<double> normals(10000);
    for (double& v : normals) v = normal(gen);
    std::vector<double> outliers = normals;
    outliers.push_back(55.0);
    outliers.push_back(-0.999);
    return {{"normal", normals},         {"outliers", outliers}, {"two", {0.1, 0.3}},
            {"equal", {0.4, 0.4, 0.4}},  {"one", {-0.5}},        {"tiny spread", {-1e-300, -2e-300, 0.0}},
            {"uniform grid", OneToN(37)}};
}

TEST(MakeHistogram, CountsAddUpAndEdgesCoverEveryValue) {
    for (const Sample& s : Samples()) {
        for (int bins : {0, 1, 7, kMaxBins, kMaxBins + 5}) {
            SCOPED_TRACE(std::string(s.name) + " bins " + std::to_string(bins));
            const Histogram h = MakeHistogram(s.values, bins);
            ASSERT_EQ(h.edges.size(), h.counts.size() + 1);
            EXPECT_EQ(h.Total(), static_cast<long>(s.values.size()));
            EXPECT_LE(static_cast<int>(h.counts.size()), kMaxBins);
            const auto [lo, hi] = std::minmax_element(s.values.begin(), s.values.end());
            if (bins > 0 && bins <= kMaxBins && !NoSpread(*lo, *hi)) {
                EXPECT_EQ(static_cast<int>(h.counts.size()), bins);
            }
            for (std::size_t k = 1; k < h.edges.size(); ++k) EXPECT_LT(h.edges[k - 1], h.edges[k]);
            for (double v : s.values) {
                EXPECT_LE(h.edges.front(), v);
                EXPECT_GE(h.edges.back(), v);
            }
        }
    }
}

TEST(MakeHistogram, ValuesOnAnEdgeGoToTheBinOnItsRight) {
    const Histogram h = MakeHistogram(std::vector<double>{0, 1, 2, 3, 4}, 4);
    EXPECT_EQ(h.edges, (std::vector<double>{0, 1, 2, 3, 4}));
    EXPECT_EQ(h.counts, (std::vector<long>{1, 1, 1, 2}));  // the largest value closes the last bin
}

TEST(MakeHistogram, EqualValuesFillOneBinAroundThem) {
    const Histogram h = MakeHistogram(std::vector<double>{0.4, 0.4, 0.4}, 12);
    ASSERT_EQ(h.counts, std::vector<long>{3});
    EXPECT_NEAR((h.edges[0] + h.edges[1]) / 2, 0.4, 1e-15);
    EXPECT_GT(h.BinWidth(), 0);
}

TEST(MakeHistogram, ValuesEqualButForRoundingFillOneBin) {
    const Histogram h = MakeHistogram(std::vector<double>{0.1, 0.1 + 1e-16, 0.1 - 1e-16}, 3);
    ASSERT_EQ(h.counts, std::vector<long>{3});
    EXPECT_NEAR(h.BinWidth(), 0.01, 1e-15);
    // A narrow spread that is not rounding keeps its bins.
    EXPECT_EQ(MakeHistogram(std::vector<double>{0.1, 0.1 + 1e-7, 0.1 + 2e-7}, 3).counts.size(), 3u);
}

TEST(MakeHistogram, EmptyAndNotFiniteValuesGiveNoBins) {
    EXPECT_TRUE(MakeHistogram({}).counts.empty());
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Histogram h = MakeHistogram(std::vector<double>{nan, 1.0, INFINITY, 2.0}, 2);
    EXPECT_EQ(h.Total(), 2);
    EXPECT_EQ(h.edges.front(), 1.0);
    EXPECT_EQ(h.edges.back(), 2.0);
}

TEST(EmpiricalCdf, OneStepPerDistinctValue) {
    const auto steps = EmpiricalCdf(std::vector<double>{3, 1, 2, 2});
    ASSERT_EQ(steps.size(), 3u);
    const double values[] = {1, 2, 3}, fractions[] = {0.25, 0.75, 1.0};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(steps[k].value, values[k]);
        EXPECT_DOUBLE_EQ(steps[k].fraction, fractions[k]);
    }
    EXPECT_TRUE(EmpiricalCdf({}).empty());
}

// Values near the largest number: the statistics are numbers whenever they
// can be, the standard deviation infinite only when it exceeds every number.
TEST(Summarise, ValuesNearTheLargestNumber) {
    const auto s = Summarise(std::vector<double>{1e300, 2e300, 3e300});
    ASSERT_TRUE(s);
    EXPECT_NEAR(s->mean, 2e300, 1e286);
    EXPECT_NEAR(s->sd, 1e300, 1e286);
    const double big = std::numeric_limits<double>::max();
    const auto wide = Summarise(std::vector<double>{-big, -big, big, big});
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->mean, 0.0);
    EXPECT_EQ(wide->sd, INFINITY);
    EXPECT_EQ(wide->p50, 0.0);
    EXPECT_TRUE(std::isfinite(wide->p05));
    // Tiny values keep their spread.
    EXPECT_NEAR(Summarise(std::vector<double>{1e-300, 2e-300, 3e-300})->sd, 1e-300, 1e-314);
}

TEST(MakeHistogram, ARangeBeyondTheLargestNumber) {
    const double big = std::numeric_limits<double>::max();
    for (int bins : {1, 2, 7}) {
        const Histogram h = MakeHistogram(std::vector<double>{-big, -1.0, 0.0, 1.0, big}, bins);
        ASSERT_EQ(h.counts.size(), static_cast<std::size_t>(bins));
        EXPECT_EQ(h.Total(), 5);
        EXPECT_EQ(h.edges.front(), -big);
        EXPECT_EQ(h.edges.back(), big);
        for (std::size_t k = 1; k < h.edges.size(); ++k) EXPECT_LT(h.edges[k - 1], h.edges[k]);
    }
    EXPECT_EQ(MakeHistogram(std::vector<double>{-big, big}, 2).counts, (std::vector<long>{1, 1}));
}

}  // namespace
}  // namespace valmora
