// Project balances of a listed rate and the classification of the investment.
#pragma once

#include <string_view>

#include "core/solver/workspace.h"

namespace valmora {

// Computes ChosenRate = IrrList(root), the balances PB(0)..PB(N) into
// ProjBalance(1..N + 1) at the rate per period ChosenRate / PeriodsPerYear,
// and Classification. A root number outside 1..RootCount computes nothing
// and returns false.
bool ComputeProjectBalances(Workspace& ws, int root);

// "Simple, pure investment", "Nonsimple, pure", "Nonsimple, mixed", or ""
// when nothing was classified.
std::string_view ClassificationText(InvestmentType type);

}  // namespace valmora
