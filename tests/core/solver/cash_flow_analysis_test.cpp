#include "core/solver/cash_flow_analysis.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

#include "core/solver/exact_roots.h"

namespace valmora {
namespace {

struct AnalysisCase {
    std::vector<double> payments;
    int maxRoots;
    double upperBound;
    std::vector<double> derivative;
    std::vector<double> topRow;     // SynthDiv row 1 after sign normalisation
    std::vector<double> bottomRow;  // SynthDiv row 2 for the bound
};

class Analysis : public ::testing::TestWithParam<AnalysisCase> {};

TEST_P(Analysis, CountsBoundsAndDifferentiates) {
    const auto& c = GetParam();
    const CashFlowAnalysis a = AnalyseCashFlows(c.payments);
    ASSERT_EQ(a.status, AnalysisStatus::Ok);
    EXPECT_EQ(a.coefficients, c.payments);
    EXPECT_EQ(a.maxRoots, c.maxRoots);
    EXPECT_EQ(a.upperBound, c.upperBound);
    EXPECT_EQ(a.derivative, c.derivative);
    if (!c.topRow.empty()) { EXPECT_EQ(a.synthDivTop, c.topRow); }
    if (!c.bottomRow.empty()) { EXPECT_EQ(a.synthDivBottom, c.bottomRow); }
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Analysis,
    ::testing::Values(
        AnalysisCase{{-1000, 500, 500, 500}, 1, 1, {500, 1000, 1500}, {500, 500, 500, -1000}, {500, 1000, 1500, 500}},
        AnalysisCase{{-1000, 1300, -400, 200}, 3, 2, {1300, -800, 600}, {200, -400, 1300, -1000}, {200, 0, 1300, 1600}},
        AnalysisCase{{-1000, 0, 0, 1500}, 1, 1, {0, 0, 4500}, {}, {}},
        AnalysisCase{{1000, -1100}, 1, 1, {-1100}, {1100, -1000}, {1100, 100}},
        AnalysisCase{{-1000, 1200, 0}, 1, 1, {1200, 0}, {0, 1200, -1000}, {0, 1200, 200}},
        AnalysisCase{{0, 0, 0}, 0, 1, {0, 0}, {0, 0, 0}, {0, 0, 0}},
        AnalysisCase{{-1000, -500}, 0, 1, {-500}, {500, 1000}, {500, 1500}}));

// Trying b = 1, 2, 3 ... in turn, as a reference for the doubling search.
double LinearBound(const CashFlowAnalysis& a) {
    const auto& top = a.synthDivTop;
    const std::size_t count = top.size();
    for (double b = 1;; ++b) {
        double prev = top[0];
        bool pass = prev >= 0;
        for (std::size_t j = 1; pass && j < count; ++j) {
            prev = top[j] + prev * b;
            pass = prev >= 0;
        }
        if (pass) return b;
    }
}

TEST(AnalysisBound, MatchesTryingEveryWholeNumber) {
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> pay(-2000, 2000);
    std::uniform_int_distribution<int> size(2, 12);
    std::uniform_real_distribution<double> scale(-3, 1);
    for (int trial = 0; trial < 300; ++trial) {
        std::vector<double> p(static_cast<std::size_t>(size(gen)));
        for (auto& v : p) v = pay(gen);
        p.back() *= std::pow(10.0, scale(gen));  // small leading coefficients give larger bounds
        const CashFlowAnalysis a = AnalyseCashFlows(p);
        ASSERT_EQ(a.status, AnalysisStatus::Ok);
        EXPECT_EQ(a.upperBound, LinearBound(a)) << "trial " << trial;
    }
}

TEST(AnalysisBound, TinyLastPaymentIsBoundedAtOnce) {
    const CashFlowAnalysis a = AnalyseCashFlows(std::vector<double>{-1000, 0, 0, 1e-09});
    ASSERT_EQ(a.status, AnalysisStatus::Ok);
    // 1E-09 b^3 >= 1000 first holds near b = 10^4.
    EXPECT_NEAR(a.upperBound, 10000, 1);
    EXPECT_EQ(a.upperBound, LinearBound(a));
}

// The double division by (x - 500001) of 3072 + 500x + 500x^2 + 500x^3 -
// 0.001x^4 leaves a last entry that rounds to 0 and passes, but the true
// remainder is negative: the root is 500001.00000000002. The bound is the
// next whole number, with zero payments after the last one or without.
TEST(AnalysisBound, LiesAboveTheTrueRootWhereRoundingWouldPassBelowIt) {
    for (const std::vector<double>& p : {std::vector<double>{3072, 500, 500, 500, -0.001},
                                         std::vector<double>{3072, 500, 500, 500, -0.001, 0, 0, 0}}) {
        const CashFlowAnalysis a = AnalyseCashFlows(p);
        ASSERT_EQ(a.status, AnalysisStatus::Ok);
        EXPECT_EQ(a.upperBound, 500002);
        const ExactPolynomial exact(p);
        EXPECT_EQ(exact.CountIn(0, a.upperBound), 1);
        EXPECT_EQ(exact.CountIn(0, 500001), 0);
    }
}

// No true root above the bound, on series whose bounds come from tiny
// leading coefficients.
TEST(AnalysisBound, NoTrueRootLiesAbove) {
    std::mt19937 gen(11);
    std::uniform_real_distribution<double> pay(-2000, 2000);
    std::uniform_int_distribution<int> size(2, 10);
    std::uniform_real_distribution<double> scale(-6, 0);
    for (int trial = 0; trial < 200; ++trial) {
        std::vector<double> p(static_cast<std::size_t>(size(gen)));
        for (auto& v : p) v = pay(gen);
        p.back() *= std::pow(10.0, scale(gen));
        const CashFlowAnalysis a = AnalyseCashFlows(p);
        ASSERT_EQ(a.status, AnalysisStatus::Ok);
        const ExactPolynomial exact(p);
        EXPECT_EQ(exact.CountIn(a.upperBound, 1e12), 0) << "trial " << trial;
    }
}

TEST(AnalysisErrors, RefusesWhatCannotBeAnalysed) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        std::vector<double> payments;
        AnalysisStatus status;
    };
    const Case cases[] = {
        {{}, AnalysisStatus::NoPayments},
        {{-1000}, AnalysisStatus::NoPayments},
        {{-1000, inf}, AnalysisStatus::NotFinite},
        {{nan, 500}, AnalysisStatus::NotFinite},
        {{-1e308, 1e308, 1e308}, AnalysisStatus::NotFinite},  // the derivative overflows
        {std::vector<double>(32768, 1.0), AnalysisStatus::TooManyPayments},
        {{-1e300, 1e-300}, AnalysisStatus::NoBound},
    };
    for (const auto& c : cases) {
        const CashFlowAnalysis a = AnalyseCashFlows(c.payments);
        EXPECT_EQ(a.status, c.status) << c.payments.size();
        EXPECT_TRUE(a.derivative.empty());
    }
}

TEST(AnalysisErrors, LongestSeriesIsAccepted) {
    std::vector<double> p(32767, 10.0);
    p[0] = -1000;
    const CashFlowAnalysis a = AnalyseCashFlows(p);
    EXPECT_EQ(a.status, AnalysisStatus::Ok);
    EXPECT_EQ(a.Degree(), 32766);
}

TEST(SignChanges, SkipZeros) {
    struct Case {
        std::vector<double> v;
        int changes;
    };
    const Case cases[] = {
        {{}, 0}, {{0, 0}, 0}, {{5}, 0}, {{-1, 0, 0, 1}, 1}, {{-1, 1, -1, 1}, 3}, {{1, 0, -1, 0, -2, 3}, 2},
    };
    for (const auto& c : cases) EXPECT_EQ(CountSignChanges(c.v), c.changes);
}

}  // namespace
}  // namespace valmora
