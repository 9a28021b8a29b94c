// The candidate laws of the fits as numbers: log-density and distribution
// function of each family on its own scale (the IRR, or 1 + IRR for the laws
// of 1 + IRR), computed in logarithms so that far-out values neither
// underflow nor overflow.
#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

#include "core/statistics/fits.h"

namespace valmora {

struct Law {
    FitFamily family = FitFamily::Normal;
    // normal, lognormal: mu, sigma; logistic: mu, s; gamma, weibull: shape,
    // scale; student_t: mu, sigma, nu.
    std::array<double, 3> p{};
};

// 2, or 3 for the Student t.
int ParameterCount(FitFamily family);

// The parameters named as the output names them.
std::vector<FitParameter> NamedParameters(const Law& law);
Law LawOf(const DistributionFit& fit);

// The IRR on the family's own scale, and back.
double OwnScale(FitFamily family, double irr);
double IrrOf(FitFamily family, double own);

// Log-density, density and distribution function at `v` on the own scale.
double LogDensity(const Law& law, double v);
double Density(const Law& law, double v);
double Probability(const Law& law, double v);

// The distribution function at every value of `sorted` (own scale, in
// increasing order) into `out`, to within 1e-11. Where one value costs much
// (gamma, Student t) most are interpolated between exact ones from the
// density.
void Probabilities(const Law& law, std::span<const double> sorted, std::span<double> out);

// The largest distance between the law's distribution function and the
// empirical one of `sorted` (own scale, in increasing order).
double KsDistance(const Law& law, std::span<const double> sorted);

}  // namespace valmora
