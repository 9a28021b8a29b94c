#include "core/solver/workspace_steps.h"

#include <algorithm>

namespace valmora {
namespace {

// `values` into a workspace array used from index 1, `size` entries in all.
void StoreFromOne(std::vector<double>& array, std::span<const double> values, std::size_t size) {
    array.assign(size, 0.0);
    std::copy(values.begin(), values.end(), array.begin() + 1);
}

// Entries 1..count of a workspace array.
std::vector<double> FromOne(const std::vector<double>& array, std::size_t count) {
    if (array.size() < count + 1) return {};
    return {array.begin() + 1, array.begin() + 1 + static_cast<std::ptrdiff_t>(count)};
}

}  // namespace

AnalysisStatus AnalyseStep(Workspace& ws, std::span<const double> payments) {
    const CashFlowAnalysis analysis = AnalyseCashFlows(payments);
    StoreAnalysis(ws, analysis);
    return analysis.status;
}

void StoreAnalysis(Workspace& ws, const CashFlowAnalysis& a) {
    if (a.coefficients.empty()) return;
    const std::size_t count = a.coefficients.size();
    StoreFromOne(ws.PolyCoef, a.coefficients, count + 1);
    ws.DerivCoef.clear();
    if (a.synthDivTop.empty()) return;  // a value is not finite
    ws.MaxRoots = a.maxRoots;
    ws.SynthDiv[0].assign(count + 1, 0.0);
    StoreFromOne(ws.SynthDiv[1], a.synthDivTop, count + 1);
    StoreFromOne(ws.SynthDiv[2], a.synthDivBottom, count + 1);
    if (a.upperBound == 0.0) return;  // no bound
    ws.UpperBound = a.upperBound;
    if (a.Ok()) StoreFromOne(ws.DerivCoef, a.derivative, count + 1);
}

CashFlowAnalysis AnalysisOf(const Workspace& ws) {
    CashFlowAnalysis a;
    const int n = Degree(ws);
    if (n < 1) return a;
    a.coefficients = FromOne(ws.PolyCoef, static_cast<std::size_t>(n) + 1);
    a.maxRoots = ws.MaxRoots;
    a.upperBound = ws.UpperBound;
    if (ws.DerivCoef.size() == ws.PolyCoef.size()) {
        a.derivative = FromOne(ws.DerivCoef, static_cast<std::size_t>(n));
        a.status = AnalysisStatus::Ok;
    }
    return a;
}

SearchSettings SearchSettingsOf(const Workspace& ws) { return {ws.Increment, ws.Tolerance, ws.PeriodsPerYear}; }

RootSearch SearchStep(Workspace& ws, std::uint64_t workBudget) {
    RootSearch search = LocateRoots(AnalysisOf(ws), SearchSettingsOf(ws), workBudget);
    StoreSearch(ws, search);
    return search;
}

void StoreSearch(Workspace& ws, const RootSearch& search) {
    if (!search.Searched()) return;
    ws.RootCount = static_cast<int>(search.rates.size());
    StoreFromOne(ws.IrrList, search.rates, search.rates.size() + 1);
    ws.ScanStopped = search.stop;
    ws.ScanX = search.lastX;
    ws.MissedIntervals = search.census.missed;
}

bool BalancesStep(Workspace& ws, int root) {
    const int n = Degree(ws);
    if (root < 1 || root > ws.RootCount || root >= static_cast<int>(ws.IrrList.size()) || n < 1) return false;
    const Balances b = ProjectBalances(std::span<const double>(ws.PolyCoef).subspan(1, static_cast<std::size_t>(n) + 1),
                                       ws.MaxRoots, ws.IrrList[root], ws.PeriodsPerYear);
    if (!b.computed) return false;
    ws.ChosenRate = b.rate;
    StoreFromOne(ws.ProjBalance, b.pb, b.pb.size() + 1);
    ws.Classification = b.type;
    return true;
}

SimulationSettings SimulationSettingsOf(const Workspace& ws) {
    SimulationSettings s;
    s.investment = ws.SimInvestment;
    s.payments = ws.SimNumPayments;
    s.simulations = ws.NumSimulations;
    s.distribution = DistributionFromCode(ws.DistType);
    s.param1 = ws.DistParam1;
    s.param2 = ws.DistParam2;
    s.allowNegativePayments = ws.AllowNegPayments != 0;
    s.search = SearchSettingsOf(ws);
    s.irrRule = IrrRuleFromCode(ws.IrrChoice);
    s.notifyOtherIrr = ws.NotifyOtherIrr;
    s.saveToFile = ws.SaveToFile == 1;
    s.outputPath = ws.OutputPath;
    return s;
}

void StoreSimulationStep(Workspace& ws, const SimulationStep& step) {
    StoreFromOne(ws.PolyCoef, step.series, step.series.size() + 1);
    if (step.derivative.empty()) ws.DerivCoef.clear();
    else StoreFromOne(ws.DerivCoef, step.derivative, step.series.size() + 1);
    ws.RootCount = static_cast<int>(step.rates.size());
    StoreFromOne(ws.IrrList, step.rates, step.rates.size() + 1);
    ws.MeanIrr = ws.PrevMeanIrr = step.meanIrr;
    if (step.kept) ws.ChosenRate = step.keptRate;
}

}  // namespace valmora
