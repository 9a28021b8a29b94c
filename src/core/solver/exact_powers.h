// x^0..x^n exactly as std::pow gives them, without a pow call per power.
//
// Each power is formed in double-double arithmetic (about 100 correct bits)
// and rounded. std::pow (glibc) errs by less than 0.54 ulp, so wherever the
// exact power lies more than 0.05 ulp away from the midpoint between two
// doubles, both roundings agree on the nearer double. Powers near a
// midpoint, at a power of two, near underflow or overflow, and x = 0 or not
// finite, are left to std::pow itself.
#pragma once

#include <cstddef>

namespace valmora {

// out[k] = std::pow(x, k) for k = 0..n, bit for bit.
void ExactPowers(double x, int n, double* out);

}  // namespace valmora
