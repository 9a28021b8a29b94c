#include "core/solver/project_balances.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/number_format.h"
#include "core/solver/root_location.h"

namespace valmora {
namespace {

// A workspace whose scan listed `rates` for `payments`.
Workspace WithRates(const std::vector<double>& payments, const std::vector<double>& rates,
                    std::int16_t periods = 1) {
    Workspace ws;
    EXPECT_EQ(AnalyseCashFlows(ws, payments), AnalysisStatus::Ok);
    ws.PeriodsPerYear = periods;
    ws.IrrList = {0.0};
    ws.IrrList.insert(ws.IrrList.end(), rates.begin(), rates.end());
    ws.RootCount = static_cast<int>(rates.size());
    return ws;
}

std::vector<std::string> Balances(const Workspace& ws) {
    std::vector<std::string> out;
    for (std::size_t i = 1; i < ws.ProjBalance.size(); ++i) out.push_back(FormatBalance(ws.ProjBalance[i]));
    return out;
}

TEST(ProjectBalances, MixedExample) {
    Workspace ws = WithRates({-1000, 1300, -400, 200}, {0.10170443});
    ASSERT_TRUE(ComputeProjectBalances(ws, 1));
    EXPECT_EQ(ws.ChosenRate, 0.10170443);
    EXPECT_EQ(Balances(ws), (std::vector<std::string>{"-1000.00", "198.30", "-181.54", "0.00"}));
    EXPECT_EQ(ws.ProjBalance[0], 0.0);
    EXPECT_EQ(ClassificationText(ws.Classification), "Nonsimple, mixed");
}

TEST(ProjectBalances, FromTheScannedRate) {
    Workspace ws;
    ws.Increment = 0.01;
    ws.Tolerance = 1e-7;
    ws.PeriodsPerYear = 1;
    ASSERT_EQ(AnalyseCashFlows(ws, std::vector<double>{-1000, 500, 500, 500}), AnalysisStatus::Ok);
    LocateRoots(ws);
    ASSERT_TRUE(ComputeProjectBalances(ws, 1));
    EXPECT_EQ(ClassificationText(ws.Classification), "Simple, pure investment");
    EXPECT_EQ(Balances(ws), (std::vector<std::string>{"-1000.00", "-733.75", "-405.27", "0.00"}));
}

TEST(ProjectBalances, NonsimplePureWhenBalancesStayNegative) {
    // Two sign changes (-, +, -, +) with every balance before the last one negative.
    Workspace ws = WithRates({-1000, 100, -50, 1200}, {0.0822});
    ASSERT_EQ(ws.MaxRoots, 3);
    ASSERT_TRUE(ComputeProjectBalances(ws, 1));
    EXPECT_EQ(ClassificationText(ws.Classification), "Nonsimple, pure");
}

TEST(ProjectBalances, AnnualRateIsDividedBackPerPeriod) {
    // A listed API of 1.2 at 12 periods a year is 0.1 per period.
    Workspace ws = WithRates({-1000, 1100}, {1.2}, 12);
    ASSERT_TRUE(ComputeProjectBalances(ws, 1));
    EXPECT_EQ(Balances(ws), (std::vector<std::string>{"-1000.00", "0.00"}));
}

TEST(ProjectBalances, RootOutsideTheListComputesNothing) {
    Workspace ws = WithRates({-1000, 1300, -400, 200}, {0.10170443});
    for (int root : {0, 2, -1}) {
        EXPECT_FALSE(ComputeProjectBalances(ws, root)) << root;
        EXPECT_TRUE(ws.ProjBalance.empty());
        EXPECT_EQ(ws.Classification, InvestmentType::None);
    }
}

}  // namespace
}  // namespace valmora
