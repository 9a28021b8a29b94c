// Cash-flow analysis: coefficients, sign changes, root bound and derivative.
#pragma once

#include <span>
#include <vector>

namespace valmora {

enum class AnalysisStatus {
    Ok,
    NoPayments,       // fewer than two values (N must be at least 1)
    TooManyPayments,  // N beyond kMaxPayments (core/solver/limits.h)
    NotFinite,        // a value is infinite or not a number
    NoBound,          // no finite whole number bounds the roots
};

// What the analysis of P0..PN found. The present value of the series at
// x = 1/(1 + i) is F(x) = sum of Pk x^k. Every field up to the one where the
// analysis failed is filled; the rest stay empty (0).
struct CashFlowAnalysis {
    AnalysisStatus status = AnalysisStatus::NoPayments;
    // P0..PN: coefficients[k] multiplies x^k. Empty when there were too few
    // or too many payments.
    std::vector<double> coefficients;
    // Sign changes of P0..PN, zeros left out: the most positive roots F can have.
    int maxRoots = 0;
    // Synthetic division rows: the coefficients from x^N down to x^0 with
    // the leading nonzero one positive, and the bottom row of their division
    // by (x - upperBound). Both hold N + 1 entries.
    std::vector<double> synthDivTop;
    std::vector<double> synthDivBottom;
    // The smallest whole number >= 1 above every positive root; 0 when none
    // was found.
    double upperBound = 0;
    // F'(x): derivative[k - 1] = k * Pk multiplies x^(k - 1), k = 1..N.
    // Empty unless the analysis succeeded.
    std::vector<double> derivative;

    bool Ok() const { return status == AnalysisStatus::Ok; }
    // N, the number of payments (0 when nothing was loaded).
    int Degree() const { return coefficients.empty() ? 0 : static_cast<int>(coefficients.size()) - 1; }
};

// Analyses the series P0..PN: counts its sign changes, finds the smallest
// whole number for which synthetic division leaves no negative entry, and
// differentiates it.
CashFlowAnalysis AnalyseCashFlows(std::span<const double> payments);

// The number of sign changes in the sequence, zeros left out.
int CountSignChanges(std::span<const double> values);

}  // namespace valmora
