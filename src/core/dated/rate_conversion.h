// Between t = ln(1 + r) and the rate r, with the rounding direction
// chosen: the bounds of a certified interval stay bounds. Internal.
#pragma once

#include <arb.h>

namespace valmora::detail {

// expm1(t) rounded down or up (at least -1; +infinity above the doubles).
double RateBelow(double t);
double RateAbove(double t);
// The double nearest expm1(t), computed at 128 bits (a guess, not proved).
double RateNear(double t);
// log1p(r) rounded down or up, r > -1.
double LogBelow(double r);
double LogAbove(double r);
// t lies below ln(2^-54): every rate 1 + r = e^t rounds to -1.
bool RoundsToMinusOne(double t);
// t is certainly above ln(largest double): e^t - 1 is above the doubles.
bool BeyondDoubles(double t);

}  // namespace valmora::detail
