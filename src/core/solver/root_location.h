// Root location: scan x upward for sign changes of f, refine each bracketed
// root, list its rate.
#pragma once

#include <cstdint>

#include "core/solver/workspace.h"

namespace valmora {

enum class ScanStatus {
    Complete,     // reached the bound, or listed MaxRoots roots
    Incomplete,   // stopped early (ScanStopped says why, ScanX where)
    NotAnalysed,  // no analysis of the current series
    BadIncrement, // the increment is not above 0, or not finite
    BadTolerance, // the tolerance is below 0, or not finite
    BadPeriods,   // the periods per year are below 1
};

struct ScanResult {
    ScanStatus status = ScanStatus::Complete;
    ScanStop stop = ScanStop::None;
};

// Polynomial terms one scan may evaluate, so that the analysis and scan of a
// 72-payment series stays within about a second.
inline constexpr std::uint64_t kScanWorkBudget = 80'000'000;

// Newton steps tried before a bracketed root is found by bisection instead.
inline constexpr int kMaxNewtonSteps = 100;

// Scans 0 < x <= UpperBound in steps of Increment, and refines every sign
// change of f to Tolerance: Newton's method from the right end of the
// bracket, kept only when it converges inside the bracket (widened by the
// tolerance), otherwise bisection inside the bracket. Each root is listed in
// IrrList as its rate times PeriodsPerYear, in the order found. The scan
// stops once MaxRoots roots are listed. Needs a completed analysis.
ScanResult LocateRoots(Workspace& ws, std::uint64_t workBudget = kScanWorkBudget);

}  // namespace valmora
