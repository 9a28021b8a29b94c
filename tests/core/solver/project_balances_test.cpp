#include "core/solver/project_balances.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/number_format.h"
#include "core/solver/root_location.h"
#include "solver/ball_oracle.h"
#include "solver/high_irr_series.h"

namespace valmora {
namespace {

// The balances of `payments` at `rate`, with the sign changes of the series.
Balances At(const std::vector<double>& payments, double rate, int periods = 1) {
    return ProjectBalances(payments, CountSignChanges(payments), rate, periods);
}

std::vector<std::string> Shown(const Balances& b) {
    std::vector<std::string> out;
    for (double pb : b.pb) out.push_back(FormatBalance(pb));
    return out;
}

TEST(ProjectBalances, MixedExample) {
    const Balances b = At({-1000, 1300, -400, 200}, 0.10170443);
    ASSERT_TRUE(b.computed);
    EXPECT_EQ(b.rate, 0.10170443);
    EXPECT_EQ(Shown(b), (std::vector<std::string>{"-1000.00", "198.30", "-181.54", "0.00"}));
    EXPECT_EQ(ClassificationText(b.type), "Nonsimple, mixed");
}

TEST(ProjectBalances, FromTheScannedRate) {
    const std::vector<double> payments{-1000, 500, 500, 500};
    const CashFlowAnalysis a = AnalyseCashFlows(payments);
    ASSERT_EQ(a.status, AnalysisStatus::Ok);
    const RootSearch s = LocateRoots(a, SearchSettings{});
    ASSERT_EQ(s.rates.size(), 1u);
    const Balances b = ProjectBalances(a.coefficients, a.maxRoots, s.rates[0], 1);
    EXPECT_EQ(ClassificationText(b.type), "Simple, pure investment");
    EXPECT_EQ(Shown(b), (std::vector<std::string>{"-1000.00", "-733.75", "-405.27", "0.00"}));
}

TEST(ProjectBalances, NonsimplePureWhenBalancesStayNegative) {
    // Two sign changes (-, +, -, +) with every balance before the last one negative.
    const std::vector<double> payments{-1000, 100, -50, 1200};
    ASSERT_EQ(CountSignChanges(payments), 3);
    EXPECT_EQ(ClassificationText(At(payments, 0.0822).type), "Nonsimple, pure");
}

TEST(ProjectBalances, AnnualRateIsDividedBackPerPeriod) {
    // A listed API of 1.2 at 12 periods a year is 0.1 per period.
    EXPECT_EQ(Shown(At({-1000, 1100}, 1.2, 12)), (std::vector<std::string>{"-1000.00", "0.00"}));
}

TEST(ProjectBalances, NoPaymentsOrNoPeriodsComputeNothing) {
    EXPECT_FALSE(ProjectBalances(std::vector<double>{-1000}, 0, 0.1, 1).computed);
    EXPECT_FALSE(ProjectBalances(std::vector<double>{-1000, 1100}, 1, 0.1, 0).computed);
}

constexpr double kU = 0x1p-53;

double Largest(const std::vector<double>& values) {
    double most = 0;
    for (double v : values) most = std::max(most, std::fabs(v));
    return most;
}

// What a change of the growth g moves PB(t) by, per unit of g: of the tail
// -sum_(j > t) P_j g^(t - j) where |g| > 1, of the head
// sum_(j <= t) P_j g^(t - j) where |g| <= 1.
double Sensitivity(const std::vector<double>& p, std::size_t t, double g) {
    double sum = 0;
    if (std::fabs(g) > 1) {
        for (std::size_t j = t + 1; j < p.size(); ++j)
            sum +=
                static_cast<double>(j - t) * std::fabs(p[j]) * std::pow(std::fabs(g), -static_cast<double>(j - t) - 1);
    } else {
        for (std::size_t j = 0; j < t; ++j)
            sum +=
                static_cast<double>(t - j) * std::fabs(p[j]) * std::pow(std::fabs(g), static_cast<double>(t - j) - 1);
    }
    return sum;
}

// sum |P_j| |g|^(t - j) over j <= t (head) or j > t (tail).
double Magnitude(const std::vector<double>& p, std::size_t t, double g, bool head) {
    double sum = 0;
    for (std::size_t j = head ? 0 : t + 1; j < (head ? t + 1 : p.size()); ++j)
        sum += std::fabs(p[j]) * std::pow(std::fabs(g), static_cast<double>(t) - static_cast<double>(j));
    return sum;
}

// The classification the balances give, PB(N) aside, where no balance before
// it lies within `margin` of 0; None where one does.
InvestmentType TypeOf(const std::vector<double>& pb, int maxRoots, double margin) {
    if (maxRoots == 1) return InvestmentType::SimplePure;
    for (std::size_t t = 0; t + 1 < pb.size(); ++t)
        if (std::fabs(pb[t]) <= margin) return InvestmentType::None;
    for (std::size_t t = 1; t + 1 < pb.size(); ++t)
        if ((pb[t] > 0) != (pb[t - 1] > 0)) return InvestmentType::NonsimpleMixed;
    return InvestmentType::NonsimplePure;
}

// At every listed rate of series with high IRRs over many periods the
// balances are the root's own, as the forward recursion at the root in
// balls gives them: PB(N) = 0, and each other balance within what the listed
// rate's distance from the root moves it, never that times (1 + k)^t.
TEST(ProjectBalancesOracle, AtEveryListedRootTheyAreTheRootsOwn) {
    int checked = 0;
    for (const testing::NamedSeries& series : testing::HighIrrCorpus()) {
        SCOPED_TRACE(series.name);
        const std::vector<double>& p = series.flows;
        const CashFlowAnalysis a = AnalyseCashFlows(p);
        ASSERT_TRUE(a.Ok());
        const RootSearch s = LocateRoots(a, SearchSettings{});
        ASSERT_FALSE(s.rates.empty());
        ASSERT_TRUE(s.census.NotRoots().empty());
        for (std::size_t r = 0; r < s.rates.size(); ++r) {
            SCOPED_TRACE("rate " + std::to_string(s.rates[r]));
            const Balances b = ListedRateBalances(p, a.maxRoots, s, r, 1);
            ASSERT_EQ(b.at, BalancesAt::Root);
            const testing::RootBalances exact = testing::BalancesAtRoot(p, s.rates[r], 1);
            const double largest = Largest(exact.pb);
            // The oracle's own recursion ends at 0, to far below the tolerances.
            EXPECT_LE(std::fabs(exact.pb.back()) + exact.widest, 1e-15 * largest);
            EXPECT_EQ(b.pb.back(), 0.0);
            EXPECT_EQ(b.pb.front(), p.front());
            const double g = s.rates[r] + 1.0;
            const double off = exact.offset;
            const bool back = std::fabs(g) > 1;
            for (std::size_t t = 0; t < p.size(); ++t) {
                const double error = std::fabs(b.pb[t] - exact.pb[t]);
                const double bound = 2 * Sensitivity(p, t, g) * off + 4 * kU * std::fabs(exact.pb[t]) +
                                     6 * static_cast<double>(p.size()) * kU * kU * Magnitude(p, t, g, !back) +
                                     exact.widest + std::fabs(exact.pb.back());
                EXPECT_LE(error, bound) << "t = " << t;
                EXPECT_LE(error, 1e-6 * largest) << "t = " << t;
            }
            const InvestmentType expected = TypeOf(exact.pb, a.maxRoots, 1e-9 * largest);
            if (expected != InvestmentType::None) { EXPECT_EQ(b.type, expected); }
            ++checked;
        }
    }
    EXPECT_GE(checked, 35);
}

// At a rate the balances are those of the forward recursion at the double
// g = 1 + i, within u |PB(t)| + 4t u^2 sum_(j <= t) |P_j| |g|^(t - j); at a
// root, for |g| > 1, those of the backward one within
// u |PB(t)| + 5(N - t) u^2 sum_(j > t) |P_j| |g|^(t - j). Payments of both
// signs, so that the sums cancel.
TEST(ProjectBalancesOracle, WithinTheirStatedBoundsOfTheRecursion) {
    std::mt19937 gen(291);
    std::uniform_real_distribution<double> flow(-3000, 3000), rate(-0.6, 3.0);
    for (int trial = 0; trial < 60; ++trial) {
        std::vector<double> p(2 + trial * 5);
        for (double& v : p) v = std::round(flow(gen) * 100) / 100;
        const double k = trial % 7 == 0 ? 0.0 : rate(gen);
        const double g = k + 1.0;
        const double n = static_cast<double>(p.size() - 1);
        const Balances forward = ProjectBalances(p, 0, k, 1, BalancesAt::Rate);
        const std::vector<double> exact = testing::BalancesAtRate(p, k, 1);
        for (std::size_t t = 0; t < p.size(); ++t)
            EXPECT_LE(std::fabs(forward.pb[t] - exact[t]),
                      kU * std::fabs(exact[t]) + 4.01 * static_cast<double>(t) * kU * kU * Magnitude(p, t, g, true))
                << trial << " t = " << t;
        if (!(g > 1)) continue;
        const Balances backward = ProjectBalances(p, 0, k, 1, BalancesAt::Root);
        const std::vector<double> tails = testing::TailsAt(p, g);
        for (std::size_t t = 1; t + 1 < p.size(); ++t)
            EXPECT_LE(
                std::fabs(backward.pb[t] - tails[t]),
                kU * std::fabs(tails[t]) + 5.01 * (n - static_cast<double>(t)) * kU * kU * Magnitude(p, t, g, false))
                << trial << " t = " << t;
    }
}

// -1000 then 40 payments of 2000 (IRR just below 200 %): at the double 2.0
// itself every balance is -1000, PB(40) too (F(1/3) = -1000/3^40, compounded
// by 3^40); the root's balances are -1000 (1 - 3^(t - 40)), ending at 0.
TEST(ProjectBalances, AtARootAndAtTheDoubleNearestIt) {
    const std::vector<double> p = testing::TwoHundredPercent();
    const Balances atRate = ProjectBalances(p, 1, 2.0, 1, BalancesAt::Rate);
    for (double pb : atRate.pb) EXPECT_EQ(pb, -1000.0);
    const Balances atRoot = ProjectBalances(p, 1, 2.0, 1, BalancesAt::Root);
    for (int t = 0; t <= 40; ++t)
        EXPECT_NEAR(atRoot.pb[static_cast<std::size_t>(t)], -1000 * (1 - std::pow(3.0, t - 40)), 1e-12) << t;
    EXPECT_EQ(Shown(atRoot).back(), "0.00");
    EXPECT_EQ(Shown(atRoot)[39], "-666.67");
    EXPECT_EQ(ClassificationText(atRoot.type), "Simple, pure investment");
}

// The balances of a listed rate whose grid step holds no root are those at
// the rate; every other listed rate's are its root's.
TEST(ProjectBalances, ListedRatesThatStandForNoRootKeepTheirOwn) {
    const std::vector<double> p = {1000, -5560.606060596878, 7152.433425137463, -1469.237832878927, 9182.736455435901};
    const CashFlowAnalysis a = AnalyseCashFlows(p);
    const RootSearch s = LocateRoots(a, SearchSettings{});
    ASSERT_EQ(s.census.NotRoots().size(), s.rates.size());
    ASSERT_FALSE(s.rates.empty());
    const Balances b = ListedRateBalances(p, a.maxRoots, s, 0, 1);
    EXPECT_EQ(b.at, BalancesAt::Rate);
    EXPECT_EQ(b.pb, ProjectBalances(p, a.maxRoots, s.rates[0], 1).pb);
    const std::vector<double> simple = {-1000, 500, 500, 500};
    const CashFlowAnalysis sa = AnalyseCashFlows(simple);
    EXPECT_EQ(ListedRateBalances(simple, sa.maxRoots, LocateRoots(sa, SearchSettings{}), 0, 1).at, BalancesAt::Root);
}

}  // namespace
}  // namespace valmora
