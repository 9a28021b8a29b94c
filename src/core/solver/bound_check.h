// Whether synthetic division by (x - b) leaves no negative entry, decided
// for the true values of the coefficients rather than for the rounded sums
// of a double division: a bound the double division passes by rounding
// alone can lie below a root.
#pragma once

#include <cstddef>
#include <span>

namespace valmora {

// True when every entry of the division of `top` (coefficients from x^N
// down to x^0, leading nonzero one positive) by (x - b), b a whole number
// >= 1, is certainly >= 0; then no root lies above b. False when some entry
// is negative, or when the exact division would be too large to carry out
// (a larger b then answers).
bool DivisionCertainlyPasses(std::span<const double> top, double b);

// The bound the double division takes on the rounding error of entry j
// (from 0), a sum of j + 1 products with b's powers: twice the classical
// 2(j + 1) u times the same division of |top| (`absolute`), so that the
// bound's own rounding never matters.
double DivisionRoundingBound(std::size_t j, double absolute);

}  // namespace valmora
