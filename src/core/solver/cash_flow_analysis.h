// Cash-flow analysis: coefficients, sign changes, root bound and derivative.
#pragma once

#include <span>

#include "core/solver/workspace.h"

namespace valmora {

enum class AnalysisStatus {
    Ok,
    NoPayments,      // fewer than two values (N must be at least 1)
    TooManyPayments, // N beyond 32766
    NotFinite,       // a value is infinite or not a number
    NoBound,         // no finite whole number bounds the roots
};

// Loads P0..PN into PolyCoef and analyses them (see AnalyseCashFlows).
AnalysisStatus AnalyseCashFlows(Workspace& ws, std::span<const double> payments);

// Analyses the series already in PolyCoef: counts the sign changes of the
// coefficients into MaxRoots, finds the smallest whole number UpperBound for
// which synthetic division leaves no negative entry (SynthDiv holds the
// division by it), and fills DerivCoef. On failure the workspace keeps
// PolyCoef and nothing else of the analysis is trusted.
AnalysisStatus AnalyseCashFlows(Workspace& ws);

// The number of sign changes in the sequence, zeros left out.
int CountSignChanges(std::span<const double> values);

}  // namespace valmora
