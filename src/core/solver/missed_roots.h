// What the user is told about roots the scan did not list: where they lie as
// rates, and which increment would have found them; and every root in range
// refined to full precision, marked whether the scan found it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/root_location.h"
#include "core/solver/search_settings.h"

namespace valmora {

// One interval of x where the scan missed roots, as rates. Rates fall as x
// grows, so highRate belongs to the interval's lower end in x.
struct MissedRootsNote {
    double highRate = 0;  // +infinity when the interval starts at x = 0
    double lowRate = 0;
    int count = 0;
    // A smaller increment with which the scan lists every root here (checked
    // by scanning with it); 0 when none was found: f touches 0 there without
    // changing sign, the roots lie too close together, or they lie beyond
    // where the scan stopped.
    double separatingIncrement = 0;
    int touching = 0;         // of the roots here, those where f keeps its sign
    bool classified = true;   // false above kMaxExactDegree: neither touching nor an increment is known
    bool beyondStop = false;  // past the point where the scan stopped early
};

// The census's missed intervals (in increasing x), described.
std::vector<MissedRootsNote> DescribeMissedRoots(const CashFlowAnalysis& analysis, const SearchSettings& settings,
                                                 const RootSearch& search);

// The sentences telling the user about missed roots, one per interval: how
// many, between which rates, and which increment would separate them; one
// sentence when the count could not be certified; none when the scan missed
// nothing.
std::vector<std::string> MissedRootsSentences(const CashFlowAnalysis& analysis, const SearchSettings& settings,
                                              const RootSearch& search);

// One distinct root of f in (0, upperBound].
struct RootInRange {
    double x = 0;     // the root, the double nearest to it
    double rate = 0;  // its rate; meaningful only when rateFinite
    bool rateFinite = true;
    bool found = false;  // the scan listed it (or counted it unlisted)
};

// Every distinct root in range, in increasing x, decided by exact
// arithmetic whatever the census knew; nothing when the degree is above
// kMaxExactDegree.
std::optional<std::vector<RootInRange>> AllRootsInRange(const CashFlowAnalysis& analysis,
                                                        const SearchSettings& settings, const RootSearch& search);

}  // namespace valmora
