// The fast root scan: the same grid, sign tests, refinement and stop as the
// per-term scan, reached with certain sign decisions on many points at once.
#pragma once

#include <cstdint>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/scan_problem.h"
#include "core/solver/search_settings.h"

namespace valmora {

// The problem of one analysed series and its settings.
ScanProblem ProblemOf(const CashFlowAnalysis& analysis, const SearchSettings& settings, std::uint64_t workBudget);

// The scan of LocateRoots, with what the census needs.
ScanOutcome FastScan(const ScanProblem& problem);

}  // namespace valmora
