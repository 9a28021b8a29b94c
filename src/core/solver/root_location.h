// Root location: scan x upward for sign changes of f, refine each bracketed
// root, list its rate.
#pragma once

#include <cstdint>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/root_search.h"
#include "core/solver/search_settings.h"

namespace valmora {

// Scans 0 < x <= upperBound in steps of the increment (x accumulated by
// repeated addition), and refines every sign change of F: Newton's method
// from the right end of the bracket to the tolerance, kept only when it
// converges inside the bracket (widened by the tolerance), otherwise
// bisection until the bracket cannot shrink. Each root is listed as its rate
// times the periods per year, in the order found; a root whose rate is no
// finite double is counted in `unlisted` instead. The scan stops once
// maxRoots roots are found. Sign decisions are certain (see
// split_polynomial.h), so the answer is the per-term scan's; afterwards the
// census counts every root in range and where the grid missed some. Needs a
// successful analysis and settings that pass the Searchable rule.
RootSearch LocateRoots(const CashFlowAnalysis& analysis, const SearchSettings& settings,
                       std::uint64_t workBudget = kScanWorkBudget);

// The per-term scan: every grid point evaluated term by term. The answer
// LocateRoots must give, wherever neither runs out of work (their work
// differs); no census.
RootSearch LocateRootsReference(const CashFlowAnalysis& analysis, const SearchSettings& settings,
                                std::uint64_t workBudget = kScanWorkBudget);

}  // namespace valmora
