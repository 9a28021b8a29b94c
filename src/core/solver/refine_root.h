// Refinement of one bracketed root, the same for the per-term scan and the
// fast scan: Newton's method from the right end of the bracket, kept only
// when it converges inside it, otherwise bisection until the bracket cannot
// shrink. Each scan brings its own evaluation of f and f' (and counts its
// own work there); the steps and their tests are these.
#pragma once

#include <cmath>

#include "core/solver/root_search.h"

namespace valmora {

// f and f' at one point.
struct ValueAndSlope {
    double f = 0.0;
    double df = 0.0;
};

// The sign of a value of f as bisection takes it: +1, -1, 0 for an exact
// zero, 2 when it is not finite.
inline int ValueSign(double v) {
    if (!std::isfinite(v)) return 2;
    return v > 0.0 ? 1 : (v < 0.0 ? -1 : 0);
}

// Newton's method from the right end of the bracket [lo, hi], at most
// kMaxNewtonSteps steps, until two iterates lie within the tolerance. True
// when it converged to a positive point inside the bracket widened by the
// tolerance; `root` then holds it. False where f' is 0 or f, f' or an
// iterate is not finite. `at(x)` gives f and f' at x as a ValueAndSlope.
template <class ValueAndSlopeAt>
bool NewtonInBracket(double lo, double hi, double tol, ValueAndSlopeAt&& at, double& root) {
    double xOld = hi;
    double x = 9999.0;  // never read before the first step
    bool stepped = false;
    for (int step = 0;; ++step) {
        if (stepped && std::fabs(x - xOld) <= tol) {
            root = x;
            return x > 0.0 && x >= lo - tol && x <= hi + tol;
        }
        if (step == kMaxNewtonSteps) return false;
        if (stepped) xOld = x;
        const ValueAndSlope v = at(xOld);
        if (v.df == 0.0 || !std::isfinite(v.df) || !std::isfinite(v.f)) return false;
        x = xOld - v.f / v.df;
        if (!std::isfinite(x)) return false;
        stepped = true;
    }
}

// Bisection of [lo, hi], where f has the sign loSign (+1 or -1) at lo and
// the other one at hi, until the bracket cannot shrink: full precision also
// for a root near 0. A midpoint where f is 0 or not finite is taken for the
// root. `signAt(x)` gives the sign of f at x as ValueSign does. Returns the
// root: the midpoint of the last bracket.
template <class SignAt>
double BisectBracket(double lo, double hi, int loSign, SignAt&& signAt) {
    for (;;) {
        const double mid = lo + (hi - lo) / 2.0;
        if (mid <= lo || mid >= hi) break;
        const int s = signAt(mid);
        if (s == 0 || s == 2) {
            lo = hi = mid;
            break;
        }
        if ((s < 0) == (loSign < 0)) lo = mid;
        else hi = mid;
    }
    return lo + (hi - lo) / 2.0;
}

// The root of the sign change across [lo, hi] (f has the sign loSign at lo
// and the other one at hi): Newton's, where it converges inside the
// bracket, otherwise bisection's.
template <class ValueAndSlopeAt, class SignAt>
double RefineBracket(double lo, double hi, int loSign, double tol, ValueAndSlopeAt&& at, SignAt&& signAt) {
    double root = 0.0;
    if (NewtonInBracket(lo, hi, tol, at, root)) return root;
    return BisectBracket(lo, hi, loSign, signAt);
}

}  // namespace valmora
