// Exact signs of the present value at points: at a double t = ln(1 + r),
// and at a dyadic rate r (a double, or the midpoint of two). Ball
// arithmetic with more bits until the ball leaves 0; at a rate, exact
// arithmetic (exact_zero.h) tells a true 0 from a small value. Internal.
#pragma once

#include <arb.h>

#include <cstdint>
#include <map>

#include "core/dated/exp_sum.h"

namespace valmora::detail {

// Precision of the first try (at a rate next to a root, where XNPV is
// about a step of doubles times its slope, a larger one), and the most any
// evaluation uses.
inline constexpr slong kStartPrec = 64;
inline constexpr slong kRatePrec = 128;
inline constexpr slong kMaxPrec = 8192;

// The sign a point cannot be given (the precision ran out).
inline constexpr int kUndecided = 2;

// The work a search may still do.
struct Budget {
    const std::uint64_t* work = nullptr;
    std::uint64_t limit = 0;
    bool Spent() const { return *work >= limit; }
};

class PointSigns {
public:
    PointSigns(const ExpSum& h, Budget budget) : h_(h), budget_(budget) {}

    // The sign of h at t: -1 or +1; 0 only at t = 0 (a root r = 0);
    // kUndecided when the precision or the budget ran out. Remembered.
    int AtLog(double t);
    // A sign known otherwise (from an expansion, or a bound).
    void Remember(double t, int sign) { cache_[t] = sign; }
    // The sign of XNPV at the rate r > -1 (exact): -1, 0 or +1, or
    // kUndecided.
    int AtRate(const arf_t r);

private:
    const ExpSum& h_;
    Budget budget_;
    std::map<double, int> cache_;
};

}  // namespace valmora::detail
