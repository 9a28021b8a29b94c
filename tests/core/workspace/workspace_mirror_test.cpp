#include "core/workspace/workspace_mirror.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/solver/number_format.h"
#include "core/solver/root_location.h"

namespace valmora {
namespace {

std::vector<double> Tail(const std::vector<double>& v) { return {v.begin() + 1, v.end()}; }

SearchSettings Settings(double increment, int periods = 1) { return {increment, kDefaultTolerance, periods}; }

TEST(WorkspaceMirror, AnalysisFromIndexOne) {
    const std::vector<double> payments{-1000, 1300, -400, 200};
    const CashFlowAnalysis a = AnalyseCashFlows(payments);
    Workspace ws;
    StoreAnalysis(ws, a);
    EXPECT_EQ(ws.PolyCoef.size(), payments.size() + 1);
    EXPECT_EQ(ws.PolyCoef[0], 0.0);
    EXPECT_EQ(Tail(ws.PolyCoef), payments);
    EXPECT_EQ(Degree(ws), 3);
    EXPECT_EQ(ws.MaxRoots, 3);
    EXPECT_EQ(ws.UpperBound, 2);
    EXPECT_EQ(std::vector<double>(ws.DerivCoef.begin() + 1, ws.DerivCoef.end() - 1), a.derivative);
    EXPECT_EQ(ws.DerivCoef.back(), 0.0);  // index N + 1 is never assigned
    EXPECT_EQ(Tail(ws.SynthDiv[1]), a.synthDivTop);
    EXPECT_EQ(Tail(ws.SynthDiv[2]), a.synthDivBottom);
}

TEST(WorkspaceMirror, FailedAnalysisLeavesNothingToSearch) {
    Workspace ws;
    StoreAnalysis(ws, AnalyseCashFlows(std::vector<double>{-1000, 500}));
    ASSERT_FALSE(ws.DerivCoef.empty());
    for (const std::vector<double>& failed :
         {std::vector<double>{-1000, INFINITY}, std::vector<double>{-1e300, 1e-300}}) {
        StoreAnalysis(ws, AnalyseCashFlows(failed));
        EXPECT_TRUE(ws.DerivCoef.empty()) << failed[1];
    }
    // Too few payments leave the workspace as it was.
    StoreAnalysis(ws, AnalyseCashFlows(std::vector<double>{-1000, 500}));
    StoreAnalysis(ws, AnalyseCashFlows(std::vector<double>{-1000}));
    EXPECT_EQ(Degree(ws), 1);
}

TEST(WorkspaceMirror, EachSearchReplacesTheLast) {
    const CashFlowAnalysis a = AnalyseCashFlows(std::vector<double>{-1000, 3600, -4310, 1716});
    Workspace ws;
    StoreSearch(ws, LocateRoots(a, Settings(kDefaultIncrement)));
    ASSERT_EQ(ws.RootCount, 3);
    EXPECT_EQ(FormatRate(ws.IrrList[1]), "0.3");
    StoreSearch(ws, LocateRoots(a, Settings(0.5)));  // one bracket, [0.5, 1], holds all three roots
    EXPECT_EQ(ws.RootCount, 1);
    EXPECT_EQ(ws.IrrList.size(), 2u);
    // A refused search stores nothing.
    StoreSearch(ws, LocateRoots(a, Settings(0)));
    EXPECT_EQ(ws.RootCount, 1);
}

TEST(WorkspaceMirror, WhereAndWhyASearchStopped) {
    const CashFlowAnalysis a = AnalyseCashFlows(std::vector<double>{-1000, 2000, -1500, 0, 1e-9});
    const RootSearch r = LocateRoots(a, Settings(0.01), 200);
    ASSERT_EQ(r.stop, ScanStop::WorkBudget);
    Workspace ws;
    StoreSearch(ws, r);
    EXPECT_EQ(ws.ScanStopped, ScanStop::WorkBudget);
    EXPECT_EQ(ws.ScanX, r.lastX);
}

TEST(WorkspaceMirror, BalancesOfTheChosenRateAndForgettingThem) {
    const std::vector<double> payments{-1000, 1300, -400, 200};
    Workspace ws;
    StoreBalances(ws, ProjectBalances(payments, 3, 0.10170443, 1));
    EXPECT_EQ(ws.ChosenRate, 0.10170443);
    ASSERT_EQ(ws.ProjBalance.size(), 5u);
    EXPECT_EQ(ws.ProjBalance[0], 0.0);
    EXPECT_EQ(FormatBalance(ws.ProjBalance[2]), "198.30");
    EXPECT_EQ(ws.Classification, InvestmentType::NonsimpleMixed);
    // Balances not computed store nothing; no results empties every list.
    StoreBalances(ws, ProjectBalances(payments, 3, 0.1, 0));
    EXPECT_EQ(ws.Classification, InvestmentType::NonsimpleMixed);
    StoreSearch(ws, LocateRoots(AnalyseCashFlows(payments), Settings(0.01)));
    StoreNoResults(ws);
    EXPECT_EQ(ws.RootCount, 0);
    EXPECT_TRUE(ws.IrrList.empty());
    EXPECT_TRUE(ws.ProjBalance.empty());
    EXPECT_EQ(ws.Classification, InvestmentType::None);
}

}  // namespace
}  // namespace valmora
