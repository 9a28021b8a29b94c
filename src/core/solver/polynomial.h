// Evaluation of the present-value polynomial and its derivative.
#pragma once

#include <cmath>
#include <span>
#include <vector>

namespace valmora {

// Sum of coef[k] * x^k for k = 0..size - 1, from 0 upward in increasing k.
// Each term is a power computed directly, not Horner's rule: the original
// program summed its terms this way, and the listed rates (and every file a
// simulation writes) must stay bit-identical to its results; Horner's rule
// rounds differently.
inline double EvalPolynomial(std::span<const double> coef, double x) {
    double sum = 0.0;
    const std::size_t terms = coef.size();
    for (std::size_t k = 0; k < terms; ++k) sum = coef[k] * std::pow(x, static_cast<int>(k)) + sum;
    return sum;
}

// The same sum over a workspace array used from index 1: coef(t) * x^(t - 1)
// for t = 1..terms (x^0 is 1, also for x = 0).
inline double EvalTerms(const std::vector<double>& coef, int terms, double x) {
    double sum = 0.0;
    for (int t = 1; t <= terms; ++t) sum = coef[t] * std::pow(x, t - 1) + sum;
    return sum;
}

// The listed rate of a root x: -(x - 1) / x * m, the rate per period times
// the periods per year.
inline double RateFromRoot(double x, int periodsPerYear) {
    return -(x - 1.0) / x * static_cast<double>(periodsPerYear);
}

}  // namespace valmora
