#include "core/workspace/workspace_mirror.h"

#include <algorithm>
#include <span>

namespace valmora {
namespace {

// `values` into a workspace array used from index 1, `size` entries in all.
void StoreFromOne(std::vector<double>& array, std::span<const double> values, std::size_t size) {
    array.assign(size, 0.0);
    std::copy(values.begin(), values.end(), array.begin() + 1);
}

}  // namespace

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

SearchSettings SearchSettingsOf(const Workspace& ws) { return {ws.Increment, ws.Tolerance, ws.PeriodsPerYear}; }

void StoreSearch(Workspace& ws, const RootSearch& search) {
    if (!search.Searched()) return;
    ws.RootCount = static_cast<int>(search.rates.size());
    StoreFromOne(ws.IrrList, search.rates, search.rates.size() + 1);
    ws.ScanStopped = search.stop;
    ws.ScanX = search.lastX;
    ws.MissedIntervals = search.census.missed;
}

void StoreBalances(Workspace& ws, const Balances& b) {
    if (!b.computed) return;
    ws.ChosenRate = b.rate;
    StoreFromOne(ws.ProjBalance, b.pb, b.pb.size() + 1);
    ws.Classification = b.type;
}

void StoreNoResults(Workspace& ws) {
    ws.RootCount = 0;
    ws.IrrList.clear();
    ws.MissedIntervals.clear();
    ws.ProjBalance.clear();
    ws.Classification = InvestmentType::None;
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
