// What the deterministic screen computed for the series on screen, kept
// together with the inputs it was computed from: the payments the analysis
// read (its coefficients) and the search settings in force at "Locate
// Root(s)". The screen holds at most one and drops it when
// any input changes; every view of results draws from it.
#pragma once

#include <optional>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/project_balances.h"
#include "core/solver/root_search.h"
#include "core/solver/search_settings.h"

namespace valmora {

struct SeriesResults {
    CashFlowAnalysis analysis;  // of P0..PN as read from the payment grid

    // "Locate Root(s)": the settings it ran with and what it found.
    SearchSettings settings;
    std::optional<RootSearch> search;

    // The balances of the rate picked from the list.
    std::optional<Balances> balances;

    // Rates are listed and may be picked.
    bool HasRates() const { return search && !search->rates.empty(); }
};

}  // namespace valmora
