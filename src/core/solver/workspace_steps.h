// The adapters between the value-typed core and the workspace the screens
// show: each reads the inputs of one step from the workspace, runs it, and
// stores what it found under the workspace's own names.
#pragma once

#include <cstdint>
#include <span>

#include "core/simulation/simulation_run.h"
#include "core/simulation/simulation_settings.h"
#include "core/solver/cash_flow_analysis.h"
#include "core/solver/project_balances.h"
#include "core/solver/root_location.h"
#include "core/solver/search_settings.h"
#include "core/solver/workspace.h"

namespace valmora {

// Analysis: loads P0..PN into PolyCoef and stores MaxRoots, SynthDiv,
// UpperBound and DerivCoef as far as the analysis got. Too few or too many
// payments leave the workspace as it was; any other failure leaves DerivCoef
// empty, so that nothing can be searched.
AnalysisStatus AnalyseStep(Workspace& ws, std::span<const double> payments);
void StoreAnalysis(Workspace& ws, const CashFlowAnalysis& analysis);

// The analysis held in the workspace (status Ok only when DerivCoef is filled).
CashFlowAnalysis AnalysisOf(const Workspace& ws);

// Increment, Tolerance and PeriodsPerYear.
SearchSettings SearchSettingsOf(const Workspace& ws);

// Root location with the workspace's analysis and settings: stores RootCount,
// IrrList, ScanStopped, ScanX and MissedIntervals. A refused search changes nothing.
RootSearch SearchStep(Workspace& ws, std::uint64_t workBudget = kScanWorkBudget);
void StoreSearch(Workspace& ws, const RootSearch& search);

// Project balances at IrrList(root): stores ChosenRate, ProjBalance and
// Classification. A root number outside 1..RootCount computes nothing and
// returns false.
bool BalancesStep(Workspace& ws, int root);

// The run settings the stochastic screen keeps: SimInvestment,
// SimNumPayments, NumSimulations, the distribution, AllowNegPayments,
// PeriodsPerYear, Increment, Tolerance, IrrChoice, NotifyOtherIrr,
// SaveToFile and OutputPath.
SimulationSettings SimulationSettingsOf(const Workspace& ws);

// One simulation as the stochastic screen shows it: PolyCoef, DerivCoef,
// RootCount, IrrList, MeanIrr and PrevMeanIrr, and ChosenRate when an IRR
// was kept.
void StoreSimulationStep(Workspace& ws, const SimulationStep& step);

}  // namespace valmora
