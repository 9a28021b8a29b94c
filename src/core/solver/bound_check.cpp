#include "core/solver/bound_check.h"

#include <arb.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace valmora {
namespace {

constexpr double kUnit = std::numeric_limits<double>::epsilon() / 2;

// The double division with a bound on each entry's rounding error: entry j
// is a sum of j + 1 products with b's powers, each off by at most 2(j + 1)
// roundings of the absolute row (the same division of |top|). +1 when
// every entry is beyond its error and >= 0, -1 when one is beyond its
// error and < 0, 0 when some entry lies within its error of 0 or a row
// overflowed.
int DoubleVerdict(std::span<const double> top, double b) {
    double entry = 0.0;
    double absolute = 0.0;
    int verdict = 1;
    for (std::size_t j = 0; j < top.size(); ++j) {
        entry = top[j] + entry * b;
        absolute = std::fabs(top[j]) + absolute * b;
        if (!std::isfinite(absolute)) return 0;
        const double error = DivisionRoundingBound(j, absolute);
        if (entry < -error) return -1;
        if (entry <= error && !(entry == 0.0 && absolute == 0.0)) verdict = 0;
    }
    return verdict;
}

// The same division in balls of `prec` bits: +1, -1 or 0 as above.
int BallVerdict(std::span<const double> top, double b, slong prec) {
    arb_t entry, term, divisor;
    arb_init(entry);
    arb_init(term);
    arb_init(divisor);
    arb_set_d(divisor, b);
    int verdict = 1;
    for (double c : top) {
        arb_mul(entry, entry, divisor, prec);
        arb_set_d(term, c);
        arb_add(entry, entry, term, prec);
        if (arb_is_negative(entry)) {
            verdict = -1;
            break;
        }
        if (!arb_is_nonnegative(entry)) verdict = 0;
    }
    arb_clear(entry);
    arb_clear(term);
    arb_clear(divisor);
    return verdict;
}

// Past this many bits per entry the exact division is not attempted.
constexpr double kMaxExactBits = 1 << 20;

}  // namespace

double DivisionRoundingBound(std::size_t j, double absolute) {
    return 4.0 * static_cast<double>(j + 1) * kUnit * absolute;
}

bool DivisionCertainlyPasses(std::span<const double> top, double b) {
    const int fast = DoubleVerdict(top, b);
    if (fast != 0) return fast > 0;
    // Bits that hold every entry exactly: b's powers up to b^N times the
    // coefficients' own span of exponents, with room to spare.
    int lowest = std::numeric_limits<int>::max();
    int highest = std::numeric_limits<int>::min();
    for (double c : top) {
        if (c == 0.0) continue;
        const int e = std::ilogb(c);
        lowest = std::min(lowest, e);
        highest = std::max(highest, e);
    }
    if (lowest > highest) return true;  // all coefficients zero
    const double exactBits = static_cast<double>(top.size()) * (std::log2(b) + 1.0) + (highest - lowest) + 128.0;
    for (slong prec = 128;; prec *= 4) {
        const bool exact = prec >= exactBits;
        const int verdict = BallVerdict(top, b, exact ? ARF_PREC_EXACT : prec);
        if (verdict != 0) return verdict > 0;
        if (exact) return false;  // cannot happen: exact entries have signs
        if (prec > kMaxExactBits) return false;
    }
}

}  // namespace valmora
