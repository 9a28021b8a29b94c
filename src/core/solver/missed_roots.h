// What the user is told around the listed rates: the roots the scan missed
// (where they lie as rates, and which increment would separate them), the
// listed rates that stand for no root, and every root in range refined to
// full precision, marked whether a listed rate stands for it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/root_search.h"
#include "core/solver/search_settings.h"

namespace valmora {

// One interval of x where the scan missed roots, as rates. Rates fall as x
// grows, so highRate belongs to the interval's lower end in x.
struct MissedRootsNote {
    double highRate = 0;  // +infinity when the interval starts at x = 0
    double lowRate = 0;
    int count = 0;
    // A smaller increment whose grid puts every root here that F changes
    // sign at into a step of its own, with certain signs at both ends of
    // that step, so that the scan with it lists them (checked at those grid
    // points, without a new scan); 0 when none of the increments tried
    // does: F touches 0 there without changing sign, the roots lie too
    // close together, or they lie beyond where the scan stopped.
    double separatingIncrement = 0;
    int touching = 0;         // of the missed roots here, those where F keeps its sign
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

// One sentence for the listed rates that stand for no root (rounding made
// F change sign across their step); empty when every listed rate stands for
// a root.
std::string NotRootsSentence(const RootSearch& search, int periodsPerYear);

// One distinct root of f in (0, upperBound].
struct RootInRange {
    double x = 0;     // the root, the double nearest to it
    double rate = 0;  // its rate; meaningful only when rateFinite
    bool rateFinite = true;
    bool found = false;  // a listed rate (or a counted unlisted root) stands for it
};

// Every distinct root in range, in increasing x, decided by exact
// arithmetic: a root is found when it lies in the bracket of a listed rate
// (of the roots one bracket holds, the one nearest the listed rate);
// nothing when the degree is above kMaxExactDegree.
std::optional<std::vector<RootInRange>> AllRootsInRange(const CashFlowAnalysis& analysis,
                                                        const SearchSettings& settings, const RootSearch& search);

}  // namespace valmora
