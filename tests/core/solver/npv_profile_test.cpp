#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/solver/npv_profile.h"

namespace valmora {
namespace {

// f(x) = -100 + 230x - 132x^2 has roots x = 10/11 and 5/6: IRRs of 10 % and 20 %.
const std::vector<double> kTwoIrrs = {-100, 230, -132};

TEST(PresentValue, ClosedForms) {
    EXPECT_NEAR(PresentValue(kTwoIrrs, 0.1), 0.0, 1e-12);
    EXPECT_NEAR(PresentValue(kTwoIrrs, 0.2), 0.0, 1e-12);
    EXPECT_DOUBLE_EQ(PresentValue(kTwoIrrs, 0.0), -2.0);
    EXPECT_DOUBLE_EQ(PresentValue(std::vector<double>{-1000, 1100}, 0.0), 100.0);
    EXPECT_DOUBLE_EQ(PresentValue(std::vector<double>{-1000, 1100}, 1.0), -450.0);
}

TEST(PresentValueError, BoundsTheRoundingError) {
    const std::vector<double> flows = {-100, 748.02, -2202.11, 3214.8626, -2394.68418, 824.22058, -91.48524};
    for (double rate : {-0.5, 0.0, 0.3, 0.9802, 1.0, 2.5}) {
        SCOPED_TRACE(rate);
        const long double x = 1.0L / (1.0L + static_cast<long double>(rate));
        long double exact = 0;
        for (auto it = flows.rbegin(); it != flows.rend(); ++it) exact = exact * x + *it;
        EXPECT_LE(std::abs(PresentValue(flows, rate) - static_cast<double>(exact)), PresentValueError(flows, rate));
    }
}

TEST(ProfileRange, ShowsEveryRateWithAMargin) {
    struct Case {
        const char* name;
        std::vector<double> rates;
        int m;
        std::vector<RateInterval> intervals;
        double mustShowLow, mustShowHigh;  // listed-rate units
    };
    const Case cases[] = {
        {"two IRRs", {0.2, 0.1}, 1, {}, 0.1, 0.2},
        {"API", {2.4, 1.2}, 12, {}, 1.2, 2.4},
        {"one IRR", {0.05}, 1, {}, 0.05, 0.05},
        {"negative", {-0.4, -0.3}, 1, {}, -0.4, -0.3},
        {"missed interval", {0.1}, 1, {{0.5, 0.6}}, 0.1, 0.6},
        {"missed interval below", {0.1}, 4, {{-1.2, -0.8}}, -1.2, 0.1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RateInterval r = ProfileRange(c.rates, c.m, c.intervals);
        const double margin = 0.05 * c.m;  // at least 5 % per period
        EXPECT_LE(r.low, c.mustShowLow - margin);
        EXPECT_GE(r.high, c.mustShowHigh + margin);
        EXPECT_GT(r.low, -1.0 * c.m);
    }
}

TEST(ProfileRange, NeverReachesMinusOnePerPeriod) {
    for (int m : {1, 12}) {
        const std::vector<double> rates = {-0.97 * m, 0.1 * m};
        const RateInterval r = ProfileRange(rates, m);
        EXPECT_GT(r.low, -1.0 * m);
        EXPECT_LT(r.low, -0.97 * m);
    }
    const std::vector<RateInterval> toMinusOne = {{-1.0, -0.9}};
    EXPECT_GT(ProfileRange({}, 1, toMinusOne).low, -1.0);
}

TEST(ProfileRange, WithoutRatesAFixedSpan) {
    const RateInterval r = ProfileRange({}, 1);
    EXPECT_EQ(r.low, -0.5);
    EXPECT_EQ(r.high, 1.0);
    EXPECT_EQ(ProfileRange({}, 12).high, 12.0);
    // Rates that cannot be shown are left out.
    EXPECT_EQ(ProfileRange(std::vector<double>{NAN, -3.0}, 1).low, -0.5);
}

TEST(MakeNpvProfile, PointsFollowThePresentValue) {
    for (int m : {1, 12}) {
        SCOPED_TRACE(m);
        const std::vector<double> rates = {0.2 * m, 0.1 * m};
        const NpvProfile p = MakeNpvProfile(kTwoIrrs, rates, m);
        ASSERT_GE(p.points.size(), 400u);
        EXPECT_EQ(p.points.front().rate, p.range.low);
        EXPECT_EQ(p.points.back().rate, p.range.high);
        for (std::size_t k = 1; k < p.points.size(); ++k) EXPECT_LT(p.points[k - 1].rate, p.points[k].rate);
        for (const ProfilePoint& pt : p.points) {
            const double i = pt.rate / m;
            const double x = 1 / (1 + i);
            EXPECT_NEAR(pt.npv, -100 + 230 * x - 132 * x * x, 1e-9);
            // Positive between the IRRs, negative outside them.
            if (i > 0.1 + 1e-9 && i < 0.2 - 1e-9) { EXPECT_GT(pt.npv, 0); }
            if (i < 0.1 - 1e-9 || i > 0.2 + 1e-9) { EXPECT_LT(pt.npv, 0); }
        }
        // The listed rates themselves are points, on the zero line.
        for (double r : rates) {
            auto at =
                std::find_if(p.points.begin(), p.points.end(), [&](const ProfilePoint& q) { return q.rate == r; });
            ASSERT_NE(at, p.points.end());
            EXPECT_NEAR(at->npv, 0.0, 1e-9);
        }
    }
}

int PointsWithin(const NpvProfile& p, double rate, double distance) {
    return static_cast<int>(std::count_if(p.points.begin(), p.points.end(),
                                          [&](const ProfilePoint& q) { return std::abs(q.rate - rate) <= distance; }));
}

TEST(MakeNpvProfile, PointsCrowdNearEachRate) {
    const std::vector<double> rates = {0.1, 0.2};
    const NpvProfile p = MakeNpvProfile(kTwoIrrs, rates, 1);
    const double width = p.range.high - p.range.low;
    // Evenly spaced, 1 % of the range holds about 8 of 400 points; near a rate far more.
    for (double r : rates) EXPECT_GE(PointsWithin(p, r, 0.01 * width), 30);

    // Two rates closer than the even spacing still have points between them.
    const std::vector<double> close = {0.1, 0.1001};
    const NpvProfile q = MakeNpvProfile(std::vector<double>{-1, 1.1}, close, 1);
    const auto between = std::count_if(q.points.begin(), q.points.end(),
                                       [](const ProfilePoint& pt) { return pt.rate > 0.1 && pt.rate < 0.1001; });
    EXPECT_GE(between, 20);
}

// f with a root at each rate (rates per period), and -100 for P0.
std::vector<double> WithRoots(std::initializer_list<double> rates) {
    std::vector<double> c = {1.0};  // in increasing powers of x
    for (double r : rates) {
        const double x = 1 / (1 + r);
        std::vector<double> next(c.size() + 1, 0.0);
        for (std::size_t k = 0; k < c.size(); ++k) {
            next[k + 1] += c[k];
            next[k] -= x * c[k];
        }
        c = next;
    }
    const double scale = -100 / c[0];
    for (double& v : c) v *= scale;
    return c;
}

// The largest size of f within 5 % of the range's width of `rate`.
double SizeNear(const NpvProfile& p, double rate) {
    const double reach = 0.05 * (p.range.high - p.range.low);
    double size = 0;
    for (const ProfilePoint& q : p.points)
        if (std::abs(q.rate - rate) <= reach) size = std::max(size, std::abs(q.npv));
    return size;
}

TEST(ProfileValues, ShowTheCurveWhereItCrossesZero) {
    struct Case {
        const char* name;
        std::vector<double> flows;
        std::vector<double> rates;
        bool cut;  // the far values are cut off
    };
    const Case cases[] = {
        {"two IRRs", kTwoIrrs, {0.2, 0.1}, false},
        {"one IRR", {-1000, 500, 500, 500}, {0.23375}, false},
        // f is about 36000 at the rate -0.9, below 1 around the rates near 1.
        {"IRRs near 1 and huge values far from them", WithRoots({-0.8, 0.9802, 1.0}), {1.0, 0.9802, -0.8}, true},
        {"close IRRs under a steep end", WithRoots({0.1, 0.12, -0.6}), {0.12, 0.1, -0.6}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const NpvProfile p = MakeNpvProfile(c.flows, c.rates, 1);
        const ValueWindow w = ProfileValues(p.points, c.rates);
        EXPECT_LT(w.low, 0);
        EXPECT_GT(w.high, 0);
        EXPECT_EQ(w.cutLow || w.cutHigh, c.cut);
        double lowest = 0, highest = 0;
        for (const ProfilePoint& q : p.points) {
            lowest = std::min(lowest, q.npv);
            highest = std::max(highest, q.npv);
        }
        EXPECT_EQ(w.cutLow, lowest < w.low);
        EXPECT_EQ(w.cutHigh, highest > w.high);
        // Near every IRR f rises or falls by a good share of the values
        // shown: where f stays smallest, the values shown are at most some
        // twenty times its size.
        double smallest = HUGE_VAL;
        for (double r : c.rates) smallest = std::min(smallest, SizeNear(p, r));
        EXPECT_LE(w.high - w.low, 25 * smallest);
    }
}

TEST(ProfileValues, WithoutRatesWhereTheCurveChangesSign) {
    // Without a listed rate the profile runs from -50 % to 100 %: a large
    // last payment makes f huge at -50 %, where x = 2. The IRRs at 10 % and
    // 20 % set the values shown as if they were listed.
    const std::vector<double> twoIrrs = {-100, 230, -132, 0, 0, 0, 0, 0, 0, 0, 0, 0.001};
    const NpvProfile p = MakeNpvProfile(twoIrrs, {}, 1);
    const ValueWindow w = ProfileValues(p.points, {});
    EXPECT_TRUE(w.cutLow || w.cutHigh);
    const std::vector<double> listed = {0.2, 0.1};
    const ValueWindow asListed = ProfileValues(p.points, listed);
    EXPECT_NEAR(w.low, asListed.low, 0.1 * std::abs(asListed.low));
    EXPECT_NEAR(w.high, asListed.high, 0.1 * std::abs(asListed.high));
    EXPECT_LE(w.high - w.low, 25 * std::min(SizeNear(p, 0.1), SizeNear(p, 0.2)));

    // Where f keeps its sign, the central half of the range sets the scale.
    const std::vector<double> positive = {100, 0, 0, 0, 0, 0, 0, 0, 0, 5000};
    const NpvProfile q = MakeNpvProfile(positive, {}, 1);
    const ValueWindow v = ProfileValues(q.points, {});
    EXPECT_TRUE(v.cutHigh);
    EXPECT_LT(v.high, q.points.front().npv / 10);
    for (const ProfilePoint& pt : q.points)
        if (pt.rate >= -0.125 && pt.rate <= 0.625) {
            EXPECT_GE(pt.npv, v.low);
            EXPECT_LE(pt.npv, v.high);
        }

    // A gentle profile is shown whole.
    const std::vector<double> gentle = {-1000, 1100};
    const NpvProfile g = MakeNpvProfile(gentle, {}, 1);
    const ValueWindow all = ProfileValues(g.points, {});
    EXPECT_FALSE(all.cutLow || all.cutHigh);
    EXPECT_GT(all.high, g.points.front().npv);
    EXPECT_LT(all.low, g.points.back().npv);
}

// Twelve IRRs a hundredth apart: between them f is far smaller than the
// rounding error of its evaluation, which must not be shown as a curve.
TEST(ProfileValues, RoundingNoiseStaysFlat) {
    const std::vector<double> rates = {0.12, 0.11, 0.1, 0.09, 0.08, 0.07, 0.06, 0.05, 0.04, 0.03, 0.02, 0.01};
    const std::vector<double> flows =
        WithRoots({0.01, 0.02, 0.03, 0.04, 0.05, 0.06, 0.07, 0.08, 0.09, 0.1, 0.11, 0.12});
    const NpvProfile p = MakeNpvProfile(flows, rates, 1);
    const ValueWindow w = ProfileValues(p.points, rates);
    double between = 0, error = 0;
    for (const ProfilePoint& q : p.points) {
        if (q.rate < 0.01 || q.rate > 0.12) continue;
        between = std::max(between, std::abs(q.npv));
        error = std::max(error, q.error);
    }
    EXPECT_GT(between, 0);
    EXPECT_LT(between, error);
    EXPECT_GE(w.high - w.low, 20 * between);
}

TEST(ProfileValues, ZeroIsAlwaysShown) {
    const NpvProfile above = MakeNpvProfile(std::vector<double>{100, 50}, {}, 1);
    const ValueWindow w = ProfileValues(above.points, {});
    EXPECT_LT(w.low, 0);
    EXPECT_GT(w.high, 150);
    const NpvProfile zero = MakeNpvProfile(std::vector<double>{0, 0}, {}, 1);
    const ValueWindow z = ProfileValues(zero.points, {});
    EXPECT_EQ(z.low, -1);
    EXPECT_EQ(z.high, 1);
}

}  // namespace
}  // namespace valmora
