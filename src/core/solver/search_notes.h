// Everything the user is told about a search beside its list of rates: where
// it stopped early, roots counted but not listed, listed rates that stand for
// no root, roots the scan missed, and the rates of the roots no listed rate
// stands for.
#pragma once

#include <string>
#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/root_search.h"
#include "core/solver/search_settings.h"

namespace valmora {

// One sentence naming the rates of the roots in range that no listed rate
// stands for ("The root the scan did not list lies at the rate 0.1."), from
// the exact roots; empty when there are none or they cannot be decided.
std::string UnlistedRatesSentence(const CashFlowAnalysis& analysis, const SearchSettings& settings,
                                  const RootSearch& search);

// The sentences, in the order they are shown; none for a complete search
// that listed every root.
std::vector<std::string> SearchNotes(const CashFlowAnalysis& analysis, const SearchSettings& settings,
                                     const RootSearch& search);

}  // namespace valmora
