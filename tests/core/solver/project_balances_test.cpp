#include "core/solver/project_balances.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/number_format.h"
#include "core/solver/root_location.h"

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

}  // namespace
}  // namespace valmora
