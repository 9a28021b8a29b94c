#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/statistics/law_draws.h"
#include "core/statistics/laws.h"

namespace valmora {
namespace {

const Law kLaws[] = {
    {FitFamily::Normal, {0.2, 0.05}},      {FitFamily::Lognormal, {0.1, 0.3}},     {FitFamily::Logistic, {0.1, 0.03}},
    {FitFamily::Gamma, {600, 0.002}},      {FitFamily::Gamma, {0.7, 2.0}},         {FitFamily::Weibull, {8, 1.2}},
    {FitFamily::StudentT, {0.1, 0.04, 3}}, {FitFamily::StudentT, {0.0, 1.0, 0.6}},
};

// Draws follow their law: the distance of 20000 of them from it is what
// chance gives (the 0.1 % point of Kolmogorov's distribution is 1.95 / sqrt(n)).
TEST(LawDraws, ValuesFollowTheirLaw) {
    const std::size_t n = 20000;
    std::vector<double> v(n);
    int seed = 0;
    for (const Law& law : kLaws) {
        SCOPED_TRACE(FamilyName(law.family) + " " + std::to_string(law.p[0]));
        LawDraws draws(static_cast<std::uint64_t>(++seed));
        draws.FillSorted(law, v);
        EXPECT_TRUE(std::is_sorted(v.begin(), v.end()));
        EXPECT_LT(KsDistance(law, v), 1.95 / std::sqrt(static_cast<double>(n)));
    }
}

TEST(LawDraws, TheSameSeedGivesTheSameValues) {
    std::vector<double> a(100), b(100), c(100);
    for (const Law& law : kLaws) {
        LawDraws(7).Fill(law, a);
        LawDraws(7).Fill(law, b);
        LawDraws(8).Fill(law, c);
        EXPECT_EQ(a, b);
        EXPECT_NE(a, c);
    }
    EXPECT_NE(MixSeed(1, 0, 0), MixSeed(1, 0, 1));
    EXPECT_NE(MixSeed(1, 0, 1), MixSeed(1, 1, 0));
    // The stream itself stays as it is on every machine.
    LawDraws draws(42);
    const double u = draws.Uniform();
    EXPECT_GT(u, 0.0);
    EXPECT_LT(u, 1.0);
}

TEST(LawDraws, SortedFillPutsNegativeAndPositiveValuesInOrder) {
    std::vector<double> v(5000), sorted(5000);
    LawDraws(3).Fill({FitFamily::StudentT, {0.0, 1.0, 1.0}}, v);
    LawDraws(3).FillSorted({FitFamily::StudentT, {0.0, 1.0, 1.0}}, sorted);
    std::sort(v.begin(), v.end());
    EXPECT_EQ(v, sorted);
}

// The interpolated distribution function agrees with the exact one.
TEST(Probabilities, InterpolationAgreesWithExactValues) {
    std::vector<double> v(5000), f(5000);
    int seed = 100;
    for (const Law& law : kLaws) {
        SCOPED_TRACE(FamilyName(law.family) + " " + std::to_string(law.p[0]));
        LawDraws(static_cast<std::uint64_t>(++seed)).FillSorted(law, v);
        Probabilities(law, v, f);
        double worst = 0;
        for (std::size_t i = 0; i < v.size(); ++i) worst = std::max(worst, std::abs(f[i] - Probability(law, v[i])));
        EXPECT_LT(worst, 1e-9);
    }
}

TEST(KsDistance, OfASmallSample) {
    // Three values at the quartiles of a logistic: F = 1/4, 1/2, 3/4 against
    // steps of 1/3, farthest apart below the first and above the last.
    const Law law{FitFamily::Logistic, {0.0, 1.0}};
    const std::vector<double> v = {std::log(1.0 / 3), 0.0, std::log(3.0)};
    EXPECT_NEAR(KsDistance(law, v), 0.25, 1e-15);
}

}  // namespace
}  // namespace valmora
