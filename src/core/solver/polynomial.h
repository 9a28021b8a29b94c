// Evaluation of the present-value polynomial and its derivative.
#pragma once

#include <cmath>
#include <vector>

namespace valmora {

// Sum of coef(t) * x^(t - 1) for t = 1..terms, from 0 upward in increasing t,
// each power computed directly (x^0 is 1, also for x = 0).
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
