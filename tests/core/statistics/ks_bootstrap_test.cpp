#include <gtest/gtest.h>

#include <cmath>
#include <stop_token>
#include <string>
#include <vector>

#include "core/statistics/fits.h"
#include "core/statistics/ks_bootstrap.h"
#include "statistics/statistics_samples.h"

namespace valmora {
namespace {

using samples::FitOf;

BootstrapSettings Resamples(int b, unsigned threads = 1) {
    BootstrapSettings s;
    s.resamples = b;
    s.threads = threads;
    return s;
}

TEST(BootstrapPValues, SameOnAnyNumberOfThreadsAndCountedInResamples) {
    const FitReport fitted = FitDistributions(samples::Lognormal(0.1, 0.3, 200, 21));
    ASSERT_EQ(fitted.ranked.size(), 6u);
    FitReport one = fitted, three = fitted, again = fitted;
    ASSERT_TRUE(BootstrapPValues(one, Resamples(99)));
    ASSERT_TRUE(BootstrapPValues(three, Resamples(99, 3)));
    ASSERT_TRUE(BootstrapPValues(again, Resamples(99)));
    for (std::size_t k = 0; k < one.ranked.size(); ++k) {
        const DistributionFit& fit = one.ranked[k];
        SCOPED_TRACE(FamilyName(fit.family));
        ASSERT_TRUE(fit.pValue.has_value());
        EXPECT_EQ(fit.resamples, 99);
        EXPECT_EQ(three.ranked[k].pValue, fit.pValue);
        EXPECT_EQ(again.ranked[k].pValue, fit.pValue);
        // (1 + count) / (1 + 99): a whole number of hundredths from 0.01 to 1.
        const double hundredths = *fit.pValue * 100;
        EXPECT_NEAR(hundredths, std::round(hundredths), 1e-9);
        EXPECT_GE(*fit.pValue, 0.01);
        EXPECT_LE(*fit.pValue, 1.0);
    }
    // Another seed, other resamples.
    FitReport other = fitted;
    BootstrapSettings seeded = Resamples(99);
    seeded.seed = 1;
    ASSERT_TRUE(BootstrapPValues(other, seeded));
    int differ = 0;
    for (std::size_t k = 0; k < one.ranked.size(); ++k) differ += other.ranked[k].pValue != one.ranked[k].pValue;
    EXPECT_GT(differ, 0);
}

TEST(BootstrapPValues, TheRightLawPassesAndAFarOneFails) {
    FitReport r = FitDistributions(samples::Lognormal(0.0, 0.6, 400, 22));
    ASSERT_TRUE(BootstrapPValues(r, Resamples(199)));
    const DistributionFit* lognormal = FitOf(r, FitFamily::Lognormal);
    const DistributionFit* normal = FitOf(r, FitFamily::Normal);
    ASSERT_TRUE(lognormal && normal);
    EXPECT_EQ(r.ranked.front().family, FitFamily::Lognormal);
    EXPECT_GT(*lognormal->pValue, 0.05);
    EXPECT_EQ(*normal->pValue, 1.0 / 200);  // no resample is as far from its fit
    EXPECT_EQ(NoLawFitsSentence(r), "");
}

TEST(BootstrapPValues, AStopRequestedLeavesThePValuesUnset) {
    FitReport r = FitDistributions(samples::Normal(0.1, 0.02, 100, 23));
    std::stop_source stop;
    stop.request_stop();
    EXPECT_FALSE(BootstrapPValues(r, Resamples(50, 2), stop.get_token()));
    for (const DistributionFit& fit : r.ranked) {
        EXPECT_FALSE(fit.pValue.has_value());
        EXPECT_EQ(fit.resamples, 0);
    }
}

TEST(BootstrapPValues, NothingToDoForNoFits) {
    FitReport r = FitDistributions(std::vector<double>{0.1});
    EXPECT_TRUE(BootstrapPValues(r, Resamples(50)));
    EXPECT_TRUE(r.ranked.empty());
}

// Under the law fitted, the bootstrap p-values spread evenly over (0, 1]:
// about a tenth of them fall below 0.1. Small samples of a few laws, each
// fitted and bootstrapped alone, each bootstrap from a seed of its own (with
// one seed for all, every sample of a normal would be measured against the
// same resamples, and the counts would move together).
TEST(BootstrapPValues, RoughlyUniformWhenTheLawIsRight) {
    struct Null {
        FitFamily family;
        std::vector<double> (*sample)(unsigned seed);
    };
    const Null nulls[] = {
        {FitFamily::Normal, [](unsigned seed) { return samples::Normal(0.1, 0.02, 30, seed); }},
        {FitFamily::Gamma, [](unsigned seed) { return samples::Gamma(40, 0.03, 30, seed); }},
        {FitFamily::StudentT, [](unsigned seed) { return samples::StudentT(0.1, 0.03, 3, 30, seed); }},
    };
    constexpr int kSamples = 60;
    for (const Null& null : nulls) {
        SCOPED_TRACE(FamilyName(null.family));
        int belowTenth = 0, belowHalf = 0;
        for (int k = 0; k < kSamples; ++k) {
            FitReport r = FitDistributions(null.sample(1000u + static_cast<unsigned>(k)));
            const DistributionFit* fit = FitOf(r, null.family);
            ASSERT_NE(fit, nullptr);
            FitReport alone;
            alone.ranked = {*fit};
            alone.fitted = r.fitted;
            BootstrapSettings settings = Resamples(99);
            settings.seed = 5000u + static_cast<unsigned>(k);
            ASSERT_TRUE(BootstrapPValues(alone, settings));
            belowTenth += *alone.ranked[0].pValue < 0.1;
            belowHalf += *alone.ranked[0].pValue < 0.5;
        }
        // 5.4 and 29.4 expected ((1 + count) / 100 below 0.1 for at most 8 of
        // the 99 resamples beyond); the bands are three standard deviations wide.
        EXPECT_GE(belowTenth, 1);
        EXPECT_LE(belowTenth, 13);
        EXPECT_GE(belowHalf, 18);
        EXPECT_LE(belowHalf, 42);
    }
}

TEST(NoLawFitsSentence, OnlyWhenEveryPValueIsBelowOnePercent) {
    FitReport r;
    r.ranked = {{FitFamily::Gamma, {}}, {FitFamily::Normal, {}}};
    EXPECT_EQ(NoLawFitsSentence(r), "");  // not computed yet
    r.ranked[0].pValue = 1.0 / 201;
    r.ranked[1].pValue = 1.0 / 201;
    EXPECT_EQ(NoLawFitsSentence(r), "No law fits at the 1 % level: the best by AIC, gamma, has p = 0.00498.");
    r.ranked[1].pValue = 0.01;
    EXPECT_EQ(NoLawFitsSentence(r), "");
    EXPECT_EQ(NoLawFitsSentence(FitReport{}), "");
}

}  // namespace
}  // namespace valmora
