#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "core/statistics/fits.h"

namespace valmora {
namespace {

constexpr int kLarge = 40000;

std::vector<double> NormalSample(double mu, double sigma, int n, unsigned seed) {
    std::mt19937_64 gen(seed);
    std::normal_distribution<double> d(mu, sigma);
    std::vector<double> v(n);
    for (double& x : v) x = d(gen);
    return v;
}

// IRRs whose 1 + IRR is lognormal(mu, sigma).
std::vector<double> LognormalSample(double mu, double sigma, int n, unsigned seed) {
    std::vector<double> v = NormalSample(mu, sigma, n, seed);
    for (double& x : v) x = std::expm1(x);
    return v;
}

std::vector<double> LogisticSample(double mu, double s, int n, unsigned seed) {
    std::mt19937_64 gen(seed);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<double> v(n);
    for (double& x : v) {
        double p;
        do p = u(gen);
        while (p == 0.0);
        x = mu + s * std::log(p / (1 - p));
    }
    return v;
}

const DistributionFit* Find(const FitReport& r, FitFamily f) {
    for (const auto& fit : r.ranked)
        if (fit.family == f) return &fit;
    return nullptr;
}

struct Case {
    const char* name;
    std::vector<double> sample;
    FitFamily family;
    double p1, p2;  // the parameters the sample was drawn with
};

TEST(FitDistributions, EachFamilyIsRecoveredFromItsOwnSampleAndRankedFirst) {
    const Case cases[] = {
        {"normal", NormalSample(0.2, 0.05, kLarge, 1), FitFamily::Normal, 0.2, 0.05},
        {"lognormal", LognormalSample(0.5, 0.3, kLarge, 2), FitFamily::Lognormal, 0.5, 0.3},
        {"logistic", LogisticSample(0.15, 0.05, kLarge, 3), FitFamily::Logistic, 0.15, 0.05},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FitReport r = FitDistributions(c.sample);
        ASSERT_FALSE(r.ranked.empty());
        EXPECT_EQ(r.ranked.front().family, c.family);
        const DistributionFit* fit = Find(r, c.family);
        ASSERT_NE(fit, nullptr);
        ASSERT_EQ(fit->params.size(), 2u);
        EXPECT_NEAR(fit->params[0].value, c.p1, 0.01 * std::abs(c.p1));
        EXPECT_NEAR(fit->params[1].value, c.p2, 0.01 * c.p2);
        // A sample of the family itself passes the Kolmogorov-Smirnov test.
        EXPECT_GT(fit->pValue, 0.01);
        EXPECT_LT(fit->ks, 0.01);
    }
}

TEST(FitDistributions, RankingIsByAicFromTheLogLikelihood) {
    const FitReport r = FitDistributions(LognormalSample(0.0, 0.6, 2000, 4));
    ASSERT_EQ(r.ranked.size(), 3u);
    EXPECT_TRUE(r.skipped.empty());
    for (std::size_t k = 0; k < r.ranked.size(); ++k) {
        EXPECT_DOUBLE_EQ(r.ranked[k].aic, 4.0 - 2.0 * r.ranked[k].logLikelihood);
        if (k > 0) { EXPECT_LE(r.ranked[k - 1].aic, r.ranked[k].aic); }
    }
    // A strongly skewed sample is far from normal.
    const DistributionFit* normal = Find(r, FitFamily::Normal);
    ASSERT_NE(normal, nullptr);
    EXPECT_LT(normal->pValue, 1e-3);
    EXPECT_GT(normal->ks, 0.05);
}

// At the logistic maximum-likelihood estimate, with z = (x - mu)/s:
// sum tanh(z/2) = 0 and the mean of z tanh(z/2) is 1.
void ExpectLogisticScoreZero(const std::vector<double>& sample) {
    SCOPED_TRACE(sample.size());
    const FitReport r = FitDistributions(sample);
    const DistributionFit* fit = Find(r, FitFamily::Logistic);
    ASSERT_NE(fit, nullptr);
    const double mu = fit->params[0].value, s = fit->params[1].value;
    ASSERT_GT(s, 0);
    double location = 0, scale = 0, largest = 0;
    for (double x : sample) {
        const double z = (x - mu) / s;
        location += std::tanh(z / 2);
        scale += z * std::tanh(z / 2);
        largest = std::max(largest, std::abs(z));
    }
    // Rounding in the sums grows with the largest term.
    const double n = static_cast<double>(sample.size());
    EXPECT_NEAR(location / n, 0.0, 1e-9);
    EXPECT_NEAR(scale / n, 1.0, 1e-9 * std::max(1.0, largest / n));
}

TEST(FitDistributions, LogisticFitSolvesTheLikelihoodEquations) {
    ExpectLogisticScoreZero({0.0, 1.0});
    ExpectLogisticScoreZero({-0.3, 0.01, 0.02, 0.05, 0.07, 0.2, 4.0});
    std::vector<double> withOutlier = NormalSample(0.1, 0.02, 999, 5);
    withOutlier.push_back(1e6);  // one IRR far beyond the rest
    ExpectLogisticScoreZero(withOutlier);
    ExpectLogisticScoreZero(LogisticSample(-0.5, 3.0, 500, 6));
}

TEST(FitDistributions, TwoValuesGiveTheClosedFormNormalFit) {
    const FitReport r = FitDistributions(std::vector<double>{0.1, 0.3});
    const DistributionFit* normal = Find(r, FitFamily::Normal);
    ASSERT_NE(normal, nullptr);
    EXPECT_DOUBLE_EQ(normal->params[0].value, 0.2);
    EXPECT_DOUBLE_EQ(normal->params[1].value, 0.1);  // maximum likelihood divides by n
}

TEST(FitDistributions, SamplesThatCannotBeFitted) {
    struct Edge {
        const char* name;
        std::vector<double> sample;
        std::size_t fitted;
        std::string reason;  // of every family skipped
    };
    const Edge edges[] = {
        {"empty", {}, 0, "needs at least two IRRs"},
        {"one value", {0.1}, 0, "needs at least two IRRs"},
        {"all equal", {0.1, 0.1, 0.1}, 0, "every IRR is the same"},
        {"equal but for rounding", {0.1, 0.1 + 1e-16, 0.1 - 2e-16, 0.1}, 0, "every IRR is the same"},
        {"large and equal to nine digits", {1234.5, 1234.5 * (1 + 1e-12)}, 0, "every IRR is the same"},
        {"not finite only", {NAN, INFINITY}, 0, "needs at least two IRRs"},
    };
    for (const Edge& e : edges) {
        SCOPED_TRACE(e.name);
        const FitReport r = FitDistributions(e.sample);
        EXPECT_EQ(r.ranked.size(), e.fitted);
        ASSERT_EQ(r.skipped.size(), 3u);
        for (const SkippedFit& s : r.skipped) EXPECT_EQ(s.reason, e.reason);
    }
}

TEST(FitDistributions, LognormalNeedsEveryIrrAboveMinusOne) {
    const struct {
        std::vector<double> sample;
        const char* reason;
    } cases[] = {
        {{-1.0, 0.1, 0.2, 0.3}, "1 IRR is at or below -1, where 1 + IRR has no logarithm"},
        {{-1.5, -1.0, 0.1, 0.2}, "2 IRRs are at or below -1, where 1 + IRR has no logarithm"},
    };
    for (const auto& c : cases) {
        const FitReport r = FitDistributions(c.sample);
        EXPECT_EQ(Find(r, FitFamily::Lognormal), nullptr);
        EXPECT_NE(Find(r, FitFamily::Normal), nullptr);
        EXPECT_NE(Find(r, FitFamily::Logistic), nullptr);
        ASSERT_EQ(r.skipped.size(), 1u);
        EXPECT_EQ(r.skipped[0].family, FitFamily::Lognormal);
        EXPECT_EQ(r.skipped[0].reason, c.reason);
    }
    // Just above -1 is fine.
    EXPECT_NE(Find(FitDistributions(std::vector<double>{-0.999999, 0.1, 0.2}), FitFamily::Lognormal), nullptr);
}

TEST(DistributionFit, DensityAndDistributionOfTheFittedIrr) {
    DistributionFit lognormal{FitFamily::Lognormal, {{"mu", 0.1}, {"sigma", 0.2}}};
    EXPECT_NEAR(lognormal.Cdf(std::exp(0.1) - 1), 0.5, 1e-12);  // the median of 1 + IRR is e^mu
    EXPECT_EQ(lognormal.Cdf(-1.0), 0.0);
    EXPECT_EQ(lognormal.Pdf(-1.5), 0.0);
    // The density of 1 + IRR at 1 + IRR = 1: exp(-mu^2 / (2 sigma^2)) / (sigma sqrt(2 pi)).
    EXPECT_NEAR(lognormal.Pdf(0.0), std::exp(-0.01 / 0.08) / (0.2 * std::sqrt(2 * M_PI)), 1e-12);

    DistributionFit normal{FitFamily::Normal, {{"mu", 0.2}, {"sigma", 0.05}}};
    EXPECT_NEAR(normal.Cdf(0.2), 0.5, 1e-15);
    EXPECT_NEAR(normal.Pdf(0.2), 1 / (0.05 * std::sqrt(2 * M_PI)), 1e-12);

    DistributionFit logistic{FitFamily::Logistic, {{"mu", 0.2}, {"s", 0.05}}};
    EXPECT_NEAR(logistic.Cdf(0.25), 1 / (1 + std::exp(-1.0)), 1e-15);
    EXPECT_NEAR(logistic.Pdf(0.2), 1 / (4 * 0.05), 1e-12);
}

TEST(FamilyName, NamesUsedInOutput) {
    EXPECT_EQ(FamilyName(FitFamily::Normal), "normal");
    EXPECT_EQ(FamilyName(FitFamily::Lognormal), "lognormal");
    EXPECT_EQ(FamilyName(FitFamily::Logistic), "logistic");
}

TEST(KernelDensity, SilvermanBandwidth) {
    std::vector<double> v;
    for (int k = 1; k <= 100; ++k) v.push_back(k);
    // sd = sqrt(100 * 101 / 12) is below IQR / 1.34 = 49.5 / 1.34.
    const KernelDensity kde(v);
    ASSERT_TRUE(kde.Valid());
    EXPECT_NEAR(kde.Bandwidth(), 0.9 * std::sqrt(100.0 * 101 / 12) * std::pow(100.0, -0.2), 1e-12);

    // A long tail: the IQR decides. 1..8 and 1000: IQR 4, sd far larger.
    const KernelDensity tail(std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 1000});
    EXPECT_NEAR(tail.Bandwidth(), 0.9 * (4.0 / 1.34) * std::pow(9.0, -0.2), 1e-12);
}

TEST(KernelDensity, IntegratesToOne) {
    const std::vector<double> v = LognormalSample(0.0, 0.5, 3000, 8);
    const KernelDensity kde(v);
    const double lo = -1.5, hi = 12.0, step = 0.001;
    double area = 0;
    for (double x = lo; x < hi; x += step) area += kde(x + step / 2) * step;
    EXPECT_NEAR(area, 1.0, 1e-3);
}

TEST(KernelDensity, NeedsTwoDifferentValues) {
    for (const std::vector<double>& v : {std::vector<double>{}, {0.2}, {0.2, 0.2}, {0.2, 0.2 + 1e-16}}) {
        const KernelDensity kde(v);
        EXPECT_FALSE(kde.Valid());
        EXPECT_EQ(kde(0.2), 0.0);
    }
}

}  // namespace
}  // namespace valmora
