#include <gtest/gtest.h>

#include <boost/math/special_functions/digamma.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/statistics/fits.h"
#include "core/statistics/laws.h"
#include "core/statistics/student_t_fit.h"
#include "statistics/statistics_samples.h"

namespace valmora {
namespace {

using namespace samples;

constexpr int kLarge = 40000;

struct Case {
    const char* name;
    std::vector<double> sample;
    FitFamily family;
    std::vector<double> params;  // those the sample was drawn with
    double tolerance;            // relative
};

TEST(FitDistributions, EachFamilyIsRecoveredFromItsOwnSampleAndRankedFirst) {
    const Case cases[] = {
        {"normal", Normal(0.2, 0.05, kLarge, 1), FitFamily::Normal, {0.2, 0.05}, 0.01},
        {"lognormal", Lognormal(0.5, 0.3, kLarge, 2), FitFamily::Lognormal, {0.5, 0.3}, 0.01},
        {"logistic", Logistic(0.15, 0.05, kLarge, 3), FitFamily::Logistic, {0.15, 0.05}, 0.01},
        {"gamma", Gamma(9, 0.13, kLarge, 4), FitFamily::Gamma, {9, 0.13}, 0.02},
        {"weibull", Weibull(6, 1.2, kLarge, 5), FitFamily::Weibull, {6, 1.2}, 0.01},
        {"student_t", StudentT(0.1, 0.04, 4, kLarge, 6), FitFamily::StudentT, {0.1, 0.04, 4}, 0.05},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FitReport r = FitDistributions(c.sample);
        EXPECT_EQ(r.ranked.size() + r.skipped.size(), 6u);
        ASSERT_FALSE(r.ranked.empty());
        EXPECT_EQ(FamilyName(r.ranked.front().family), FamilyName(c.family));
        const DistributionFit* fit = FitOf(r, c.family);
        ASSERT_NE(fit, nullptr);
        ASSERT_EQ(fit->params.size(), c.params.size());
        for (std::size_t k = 0; k < c.params.size(); ++k)
            EXPECT_NEAR(fit->params[k].value, c.params[k], c.tolerance * std::abs(c.params[k])) << k;
        EXPECT_LT(fit->ks, 0.01);
        EXPECT_FALSE(fit->pValue.has_value());  // until the bootstrap
        EXPECT_EQ(r.fitted, c.sample.size());
    }
}

TEST(FitDistributions, ParameterNames) {
    const FitReport r = FitDistributions(Lognormal(0.1, 0.2, 500, 7));
    ASSERT_EQ(r.ranked.size(), 6u);
    const std::pair<FitFamily, std::vector<std::string>> names[] = {
        {FitFamily::Normal, {"mu", "sigma"}},     {FitFamily::Lognormal, {"mu", "sigma"}},
        {FitFamily::Logistic, {"mu", "s"}},       {FitFamily::Gamma, {"shape", "scale"}},
        {FitFamily::Weibull, {"shape", "scale"}}, {FitFamily::StudentT, {"mu", "sigma", "nu"}},
    };
    for (const auto& [family, expected] : names) {
        const DistributionFit* fit = FitOf(r, family);
        ASSERT_NE(fit, nullptr);
        std::vector<std::string> got;
        for (const FitParameter& p : fit->params) got.push_back(p.name);
        EXPECT_EQ(got, expected) << FamilyName(family);
    }
}

TEST(FitDistributions, RankingIsByAicFromTheLogLikelihood) {
    const FitReport r = FitDistributions(Lognormal(0.0, 0.6, 2000, 4));
    ASSERT_EQ(r.ranked.size(), 6u);
    EXPECT_TRUE(r.skipped.empty());
    for (std::size_t k = 0; k < r.ranked.size(); ++k) {
        const double params = static_cast<double>(r.ranked[k].params.size());
        EXPECT_DOUBLE_EQ(r.ranked[k].aic, 2 * params - 2.0 * r.ranked[k].logLikelihood);
        if (k > 0) { EXPECT_LE(r.ranked[k - 1].aic, r.ranked[k].aic); }
    }
    // A strongly skewed sample is far from normal.
    const DistributionFit* normal = FitOf(r, FitFamily::Normal);
    ASSERT_NE(normal, nullptr);
    EXPECT_GT(normal->ks, 0.05);
}

// The log-likelihood of a fit, summed again from its density.
double LogLikelihood(const DistributionFit& fit, const std::vector<double>& sample) {
    double sum = 0;
    for (double x : sample) sum += std::log(fit.Pdf(x));
    return sum;
}

// No small change of one parameter raises the likelihood of a fit: every
// iterative fit reached its maximum.
TEST(FitDistributions, NoNearbyParametersFitBetter) {
    const std::vector<std::vector<double>> samples = {Normal(0.1, 0.02, 300, 8), Lognormal(0.2, 0.4, 300, 9),
                                                      StudentT(0.0, 0.1, 2.5, 300, 10), Gamma(3, 0.5, 300, 11)};
    for (const auto& sample : samples) {
        for (const DistributionFit& fit : FitDistributions(sample).ranked) {
            SCOPED_TRACE(FamilyName(fit.family));
            if (!fit.note.empty()) continue;  // a parameter at the end of its range
            const double best = LogLikelihood(fit, sample);
            EXPECT_NEAR(best, fit.logLikelihood, 1e-8 * std::abs(best));
            for (std::size_t k = 0; k < fit.params.size(); ++k) {
                for (double step : {-1e-4, 1e-4}) {
                    DistributionFit moved = fit;
                    moved.params[k].value *= 1 + step;
                    EXPECT_LE(LogLikelihood(moved, sample), best + 1e-9 * std::abs(best)) << k << " " << step;
                }
            }
        }
    }
}

// At the logistic maximum-likelihood estimate, with z = (x - mu)/s:
// sum tanh(z/2) = 0 and the mean of z tanh(z/2) is 1.
void ExpectLogisticScoreZero(const std::vector<double>& sample) {
    SCOPED_TRACE(sample.size());
    const FitReport r = FitDistributions(sample);
    const DistributionFit* fit = FitOf(r, FitFamily::Logistic);
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
    std::vector<double> withOutlier = Normal(0.1, 0.02, 999, 5);
    withOutlier.push_back(1e6);  // one IRR far beyond the rest
    ExpectLogisticScoreZero(withOutlier);
    ExpectLogisticScoreZero(Logistic(-0.5, 3.0, 500, 6));
}

// Gamma: shape * scale is the mean of 1 + IRR, and
// log(shape) - digamma(shape) = log(mean) - mean(log).
TEST(FitDistributions, GammaFitSolvesTheLikelihoodEquations) {
    for (const auto& sample : {Gamma(2, 0.6, 500, 12), Gamma(4000, 3e-4, 500, 13), Normal(0.3, 0.01, 200, 14),
                               std::vector<double>{0.1, 0.12, 0.11, 0.13, 1e300}}) {
        const FitReport r = FitDistributions(sample);
        const DistributionFit* fit = FitOf(r, FitFamily::Gamma);
        ASSERT_NE(fit, nullptr);
        const double shape = fit->params[0].value, scale = fit->params[1].value;
        double mean = 0, meanLog = 0;
        for (double x : sample) {
            mean += (1 + x) / static_cast<double>(sample.size());
            meanLog += std::log1p(x) / static_cast<double>(sample.size());
        }
        EXPECT_NEAR(shape * scale, mean, 1e-12 * mean);
        const double s = std::log(mean) - meanLog;
        EXPECT_NEAR(std::log(shape) - boost::math::digamma(shape), s, 1e-7 * s);
    }
}

TEST(FitDistributions, TwoValuesGiveTheClosedFormNormalFit) {
    const FitReport r = FitDistributions(std::vector<double>{0.1, 0.3});
    const DistributionFit* normal = FitOf(r, FitFamily::Normal);
    ASSERT_NE(normal, nullptr);
    EXPECT_DOUBLE_EQ(normal->params[0].value, 0.2);
    EXPECT_DOUBLE_EQ(normal->params[1].value, 0.1);  // maximum likelihood divides by n
}

TEST(FitDistributions, SamplesThatCannotBeFitted) {
    struct Edge {
        const char* name;
        std::vector<double> sample;
        std::string reason;  // of every family skipped
    };
    const Edge edges[] = {
        {"empty", {}, "needs at least two IRRs"},
        {"one value", {0.1}, "needs at least two IRRs"},
        {"all equal", {0.1, 0.1, 0.1}, "every IRR is the same"},
        {"equal but for rounding", {0.1, 0.1 + 1e-16, 0.1 - 2e-16, 0.1}, "every IRR is the same"},
        {"large and equal to nine digits", {1234.5, 1234.5 * (1 + 1e-12)}, "every IRR is the same"},
        {"not finite only", {NAN, INFINITY}, "needs at least two IRRs"},
    };
    for (const Edge& e : edges) {
        SCOPED_TRACE(e.name);
        const FitReport r = FitDistributions(e.sample);
        EXPECT_TRUE(r.ranked.empty());
        EXPECT_EQ(r.fitted, 0u);
        ASSERT_EQ(r.skipped.size(), 6u);
        for (const SkippedFit& s : r.skipped) EXPECT_EQ(s.reason, e.reason);
    }
}

TEST(FitDistributions, ValuesNotFiniteAreLeftOutWithANote) {
    std::vector<double> sample = Normal(0.2, 0.05, 100, 15);
    const FitReport all = FitDistributions(sample);
    sample.push_back(INFINITY);
    EXPECT_EQ(FitDistributions(sample).notes,
              std::vector<std::string>{"1 value not finite (infinite or not a number) is left out of the fits"});
    sample.push_back(NAN);
    const FitReport r = FitDistributions(sample);
    EXPECT_EQ(r.notes,
              std::vector<std::string>{"2 values not finite (infinite or not a number) are left out of the fits"});
    EXPECT_EQ(r.fitted, 100u);
    ASSERT_EQ(r.ranked.size(), all.ranked.size());
    EXPECT_EQ(r.ranked[0].params[0].value, all.ranked[0].params[0].value);
    EXPECT_TRUE(all.notes.empty());
}

TEST(FitDistributions, LawsOfOnePlusIrrNeedEveryIrrAboveMinusOne) {
    const struct {
        std::vector<double> sample;
        const char* count;
    } cases[] = {
        {{-1.0, 0.1, 0.2, 0.3}, "1 IRR is"},
        {{-1.5, -1.0, 0.1, 0.2}, "2 IRRs are"},
    };
    for (const auto& c : cases) {
        const FitReport r = FitDistributions(c.sample);
        for (FitFamily f : {FitFamily::Normal, FitFamily::Logistic, FitFamily::StudentT})
            EXPECT_NE(FitOf(r, f), nullptr) << FamilyName(f);
        ASSERT_EQ(r.skipped.size(), 3u);
        const std::string count = c.count;
        EXPECT_EQ(r.skipped[0].family, FitFamily::Lognormal);
        EXPECT_EQ(r.skipped[0].reason, count + " at or below -1, where 1 + IRR has no logarithm");
        EXPECT_EQ(r.skipped[1].family, FitFamily::Gamma);
        EXPECT_EQ(r.skipped[1].reason, count + " at or below -1, where 1 + IRR is not positive");
        EXPECT_EQ(r.skipped[2].family, FitFamily::Weibull);
        EXPECT_EQ(r.skipped[2].reason, count + " at or below -1, where 1 + IRR is not positive");
    }
    // Just above -1 is fine.
    const FitReport near = FitDistributions(std::vector<double>{-0.999999, 0.1, 0.2});
    for (FitFamily f : {FitFamily::Lognormal, FitFamily::Gamma, FitFamily::Weibull})
        EXPECT_NE(FitOf(near, f), nullptr) << FamilyName(f);
}

// Values near the largest number: every statistic either is a number or
// the family is skipped saying why; nothing is fitted with an infinite
// parameter.
TEST(FitDistributions, HugeValuesAreFittedOrRefusedWithAReason) {
    const double big = std::numeric_limits<double>::max();
    const struct {
        const char* name;
        std::vector<double> sample;
        std::size_t skipped;
    } cases[] = {
        {"near 1e300", {1e300, 2e300, 3e300, 5e300, 8e300}, 0},
        {"one far out", {0.1, 0.12, 0.11, 0.13, 1e300}, 0},
        {"both ends of the numbers", {-big, -big / 3, 0.0, big / 3, big}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FitReport r = FitDistributions(c.sample);
        EXPECT_EQ(r.skipped.size(), c.skipped);
        EXPECT_EQ(r.ranked.size() + r.skipped.size(), 6u);
        for (const DistributionFit& fit : r.ranked) {
            SCOPED_TRACE(FamilyName(fit.family));
            for (const FitParameter& p : fit.params) EXPECT_TRUE(std::isfinite(p.value)) << p.name;
            EXPECT_TRUE(std::isfinite(fit.aic));
            EXPECT_TRUE(std::isfinite(fit.ks));
        }
        for (const SkippedFit& s : r.skipped) EXPECT_FALSE(s.reason.empty());
    }
    // The normal fit of values near 1e300 has their mean and spread.
    const FitReport near = FitDistributions(cases[0].sample);
    const DistributionFit* normal = FitOf(near, FitFamily::Normal);
    ASSERT_NE(normal, nullptr);
    EXPECT_NEAR(normal->params[0].value, 3.8e300, 1e286);
    EXPECT_NEAR(normal->params[1].value, std::sqrt(30.8 / 5) * 1e300, 1e286);
}

TEST(FitDistributions, StudentTDegreesOfFreedomStayInTheirRange) {
    const FitReport fromNormal = FitDistributions(Normal(0.2, 0.05, 5000, 16));
    const DistributionFit* normal = FitOf(fromNormal, FitFamily::StudentT);
    ASSERT_NE(normal, nullptr);
    EXPECT_EQ(normal->params[2].value, kMaxNu);
    EXPECT_EQ(normal->note, "nu reached 1000, the largest tried: the tails are no heavier than a normal's");
    const FitReport fromCauchy = FitDistributions(StudentT(0, 1, 1, 3000, 17));
    const DistributionFit* cauchy = FitOf(fromCauchy, FitFamily::StudentT);
    ASSERT_NE(cauchy, nullptr);
    EXPECT_NEAR(cauchy->params[2].value, 1.0, 0.1);
    EXPECT_EQ(cauchy->note, "");
}

// A search that runs out of steps says so in its note, beside any other.
TEST(FitDistributions, StudentTSaysWhenItDoesNotConverge) {
    std::vector<double> sample = StudentT(0.1, 0.05, 4, 400, 19);
    std::sort(sample.begin(), sample.end());
    EXPECT_EQ(EstimateStudentT(sample, nullptr).note, "");
    const LawEstimate cut = EstimateStudentT(sample, nullptr, 2);
    ASSERT_TRUE(cut.Ok());
    EXPECT_EQ(cut.note,
              "the fit did not converge in 2 steps: the estimate is the last one reached, not a maximum of the "
              "likelihood");
    // Three values, two of them close: nu falls to its smallest and sigma
    // keeps shrinking towards one of the values.
    const std::vector<double> three = {0.4, 0.45, 0.4507};
    const FitReport report = FitDistributions(three);
    const DistributionFit* t = FitOf(report, FitFamily::StudentT);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->note,
              "nu reached 0.5, the smallest tried; the fit did not converge in 500 steps: the estimate is the last "
              "one reached, not a maximum of the likelihood");
}

TEST(FitDistributions, StudentTRefusesALikelihoodWithoutMaximum) {
    // Half the values equal: sigma shrinks towards 0 with the likelihood
    // growing without end.
    std::vector<double> sample(200, 0.1);
    const std::vector<double> spread = Normal(0.1, 0.05, 200, 18);
    sample.insert(sample.end(), spread.begin(), spread.end());
    const FitReport r = FitDistributions(sample);
    EXPECT_EQ(FitOf(r, FitFamily::StudentT), nullptr);
    bool said = false;
    for (const SkippedFit& s : r.skipped)
        if (s.family == FitFamily::StudentT) {
            EXPECT_EQ(s.reason, "too many IRRs are equal: the likelihood grows without end as sigma shrinks");
            said = true;
        }
    EXPECT_TRUE(said);
    EXPECT_NE(FitOf(r, FitFamily::Normal), nullptr);
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

    // Gamma of shape 1 is exponential: 1 + IRR exponential of mean 0.5.
    DistributionFit gamma{FitFamily::Gamma, {{"shape", 1.0}, {"scale", 0.5}}};
    EXPECT_NEAR(gamma.Cdf(0.0), 1 - std::exp(-2.0), 1e-14);
    EXPECT_NEAR(gamma.Pdf(0.0), 2 * std::exp(-2.0), 1e-14);
    EXPECT_EQ(gamma.Cdf(-1.0), 0.0);

    DistributionFit weibull{FitFamily::Weibull, {{"shape", 2.0}, {"scale", 1.5}}};
    EXPECT_NEAR(weibull.Cdf(0.5), 1 - std::exp(-1.0), 1e-14);
    EXPECT_NEAR(weibull.Pdf(0.5), 2 / 1.5 * std::exp(-1.0), 1e-14);

    // Student t of 1 degree of freedom is Cauchy.
    DistributionFit t{FitFamily::StudentT, {{"mu", 0.1}, {"sigma", 0.2}, {"nu", 1.0}}};
    EXPECT_NEAR(t.Cdf(0.3), 0.75, 1e-14);
    EXPECT_NEAR(t.Pdf(0.1), 1 / (M_PI * 0.2), 1e-12);
    EXPECT_NEAR(t.Pdf(1e100), 0.2 / M_PI * 1e-200, 1e-214);  // far out: 1 / (pi sigma z^2)
    EXPECT_TRUE(std::isfinite(LogDensity(LawOf(t), 1e300)));
}

TEST(FamilyName, NamesUsedInOutput) {
    std::vector<std::string> names;
    for (FitFamily f : kFitFamilies) names.push_back(FamilyName(f));
    EXPECT_EQ(names, (std::vector<std::string>{"normal", "lognormal", "logistic", "gamma", "weibull", "student_t"}));
}

}  // namespace
}  // namespace valmora
