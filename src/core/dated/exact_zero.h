// Whether the present value, or one of its derivatives in r, is exactly 0
// at a dyadic rate (a double, or the midpoint of two), in exact integer
// arithmetic. Ball arithmetic decides every sign that is not 0; this
// decides the rest.
//
// With q = 1 + r, the k-th derivative in r vanishes exactly where
//   S = sum of c_i w_i q^(-E_i / D),  w_i = E_i (E_i + D) ... (E_i + (k-1) D),
// does. Divide the exponents by G, the gcd of the E_i: S = F(y), F a sparse
// polynomial with whole exponents n_i = E_i / G, y = q^(-g/D') with g / D'
// the fraction G / D in lowest terms. The least k with y^k rational is
// D' / b for the largest b dividing D' such that q is a perfect b-th power
// (q = m 2^e, m odd: m a b-th power and b dividing e). Y^k - y^k is then
// y's minimal polynomial (Capelli: y^k > 0 is no p-th power of a rational
// for a prime p dividing k), so F(y) = 0 exactly when F is divisible by it,
// that is when for each residue j mod k the sum of c_i w_i y^(k floor(n_i /
// k)) over n_i = j (mod k) is 0: sums of dyadic numbers whose size grows
// with the span in years, not in days. Internal.
#pragma once

#include <arb.h>

#include "core/dated/exp_sum.h"

namespace valmora::detail {

enum class Exactly { Zero, NotZero, Unknown };

// Unknown only when the exact numbers would exceed a few million bits.
Exactly IsExactlyZero(const ExpSum& h, const arf_t onePlusRate, int derivative);

}  // namespace valmora::detail
