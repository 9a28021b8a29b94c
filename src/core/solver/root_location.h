// Root location: scan x upward for sign changes of f, refine each bracketed
// root, list its rate.
#pragma once

#include <cstdint>
#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/search_settings.h"

namespace valmora {

enum class ScanStatus {
    Complete,     // reached the bound, or listed maxRoots roots
    Incomplete,   // stopped early (stop says why, lastX where)
    NotAnalysed,  // no successful analysis of a series
    BadIncrement, // the increment is not above 0, or not finite
    BadTolerance, // the tolerance is below 0, or not finite
    BadPeriods,   // the periods per year are below 1
};

// Why a scan stopped before reaching the bound: it did not (None), the point
// no longer grew by the increment, f stopped being finite, or the work
// budget ran out.
enum class ScanStop { None, Stalled, NotFinite, WorkBudget };

// What one search found. Nothing but the status is filled when the search
// was refused (NotAnalysed, Bad...).
struct RootSearch {
    ScanStatus status = ScanStatus::Complete;
    std::vector<double> rates;  // the listed rates in the order found (x ascending)
    std::vector<double> roots;  // roots[r] is the x of rates[r]
    ScanStop stop = ScanStop::None;
    // The last x the scan reached: where it stopped when it stopped early,
    // and nothing beyond it was searched.
    double lastX = 0;

    bool Searched() const { return status == ScanStatus::Complete || status == ScanStatus::Incomplete; }
};

// Polynomial terms one scan may evaluate, so that the analysis and scan of a
// 72-payment series stays within about a second.
inline constexpr std::uint64_t kScanWorkBudget = 80'000'000;

// Newton steps tried before a bracketed root is found by bisection instead.
inline constexpr int kMaxNewtonSteps = 100;

// Scans 0 < x <= upperBound in steps of the increment, and refines every
// sign change of f to the tolerance: Newton's method from the right end of
// the bracket, kept only when it converges inside the bracket (widened by
// the tolerance), otherwise bisection inside the bracket. Each root is
// listed as its rate times the periods per year, in the order found. The
// scan stops once maxRoots roots are listed. Needs a successful analysis and
// settings that pass the Searchable rule.
RootSearch LocateRoots(const CashFlowAnalysis& analysis, const SearchSettings& settings,
                       std::uint64_t workBudget = kScanWorkBudget);

}  // namespace valmora
