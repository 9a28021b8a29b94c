// Double-word arithmetic: a value held as the unevaluated sum hi + lo of two
// doubles, |lo| <= ulp(hi) / 2, about 106 bits. What the balances and the
// decision use where a sum of many terms cancels or a recursion would pass
// its rounding on.
//
// The operations on a double word and a double, with their relative error
// bounds from Joldes, Muller and Popescu, "Tight and rigorous error bounds
// for basic building blocks of double-word arithmetic" (ACM TOMS 44, 2017),
// u = 2^-53, barring underflow and overflow:
//     PlusDouble  (their Algorithm 4, DWPlusFP)    2u^2
//     TimesDouble (their Algorithm 7, DWTimesFP3)  2u^2
//     DivDouble   (their Algorithm 15, DWDivFP3)   3u^2
// Each is a handful of correctly rounded operations and fused multiply-adds
// (std::fma, exact in software where the processor has none). No Qt.
#pragma once

#include <cmath>

namespace valmora {

struct DoubleDouble {
    double hi = 0;
    double lo = 0;

    double Value() const { return hi + lo; }
};

// s + e = a + b exactly, s = fl(a + b) (Knuth's TwoSum).
inline DoubleDouble TwoSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

// The same when |a| >= |b| or a is 0 (Dekker's Fast2Sum).
inline DoubleDouble FastTwoSum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

// p + e = a b exactly, p = fl(a b), barring underflow.
inline DoubleDouble TwoProd(double a, double b) {
    const double p = a * b;
    return {p, std::fma(a, b, -p)};
}

inline DoubleDouble PlusDouble(DoubleDouble x, double y) {
    const DoubleDouble s = TwoSum(x.hi, y);
    return FastTwoSum(s.hi, x.lo + s.lo);
}

inline DoubleDouble TimesDouble(DoubleDouble x, double y) {
    const DoubleDouble c = TwoProd(x.hi, y);
    return FastTwoSum(c.hi, std::fma(x.lo, y, c.lo));
}

inline DoubleDouble DivDouble(DoubleDouble x, double y) {
    const double th = x.hi / y;
    const DoubleDouble pi = TwoProd(th, y);
    const double delta = (x.hi - pi.hi) + (x.lo - pi.lo);
    return FastTwoSum(th, delta / y);
}

}  // namespace valmora
