// Where the roots of h(t) = sum of c_i exp(-tau_i t) can lie. For t large
// the first term c_0 decides the sign: h e^(tau_0 t) = c_0 + (terms of c_0's
// sign) + (terms of the other sign), and the last group alone,
// B(t) = sum of |c_i| exp(-tau_i t) over c_i of the other sign, falls from
// +infinity to 0 as t grows, crossing |c_0| once, at T*. Beyond T* no
// root: h has c_0's sign there. A double T_hi > T* with B(T_hi) < |c_0|
// (an exact sign) bounds every root; T_lo likewise from the last term,
// with t running the other way. Internal.
#pragma once

#include <cstdint>

#include "core/dated/exp_sum.h"
#include "core/dated/point_signs.h"

namespace valmora::detail {

struct LogBounds {
    bool found = false;  // false only when the budget ran out
    double lower = 0;    // every root t lies in (lower, upper)
    double upper = 0;
};

// h has a sign change.
LogBounds FindLogBounds(const ExpSum& h, Budget budget);

}  // namespace valmora::detail
