// The workspace as a mirror of what the screens computed: each Store
// function writes one step's results, given as values, under the
// workspace's own names. Nothing reads results back from the workspace; the
// screens keep their results as values and draw from those. The settings a
// screen types into the workspace (increment, tolerance, the run's set-up)
// are read back as values for the core.
#pragma once

#include "core/simulation/simulation_run.h"
#include "core/simulation/simulation_settings.h"
#include "core/solver/cash_flow_analysis.h"
#include "core/solver/project_balances.h"
#include "core/solver/root_search.h"
#include "core/solver/search_settings.h"
#include "core/workspace/workspace.h"

namespace valmora {

// Analysis: P0..PN into PolyCoef, and MaxRoots, SynthDiv, UpperBound and
// DerivCoef as far as the analysis got. Too few or too many payments leave
// the workspace as it was; any other failure leaves DerivCoef empty.
void StoreAnalysis(Workspace& ws, const CashFlowAnalysis& analysis);

// Root location: RootCount, IrrList, ScanStopped, ScanX and MissedIntervals.
// A refused search stores nothing.
void StoreSearch(Workspace& ws, const RootSearch& search);

// Project balances of a chosen rate: ChosenRate, ProjBalance and
// Classification. Balances that were not computed store nothing.
void StoreBalances(Workspace& ws, const Balances& balances);

// No rates listed and no rate chosen: RootCount 0, IrrList, ProjBalance and
// MissedIntervals empty, Classification None.
void StoreNoResults(Workspace& ws);

// Increment, Tolerance and PeriodsPerYear.
SearchSettings SearchSettingsOf(const Workspace& ws);

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
