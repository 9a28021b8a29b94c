#include "core/dated/root_bounds.h"

#include <cmath>
#include <optional>
#include <vector>

namespace valmora::detail {

namespace {

// A double above the one root of the decreasing sum b (b > 0 before it,
// b < 0 after), with b's sign there proved negative; nothing when the
// budget runs out first.
std::optional<double> AboveCrossing(const ExpSum& b, Budget budget) {
    PointSigns signs(b, budget);
    // A bracket: b(lo) > 0 > b(hi) (b is strictly falling, so a root at
    // t = 0 lies between -1 and 1).
    double lo = -1.0, hi = 1.0;
    const int s0 = signs.AtLog(0.0);
    if (s0 == kUndecided) return std::nullopt;
    for (int i = 0; s0 > 0; ++i) {
        const int s = signs.AtLog(hi);
        if (s == -1) break;
        if (s == kUndecided || i > 60) return std::nullopt;
        lo = hi;
        hi *= 2.0;
    }
    if (s0 > 0 && lo == -1.0) lo = 0.0;
    for (int i = 0; s0 < 0; ++i) {
        const int s = signs.AtLog(lo);
        if (s == 1) break;
        if (s == kUndecided || i > 60) return std::nullopt;
        hi = lo;
        lo *= 2.0;
    }
    if (s0 < 0 && hi == 1.0) hi = 0.0;
    // Newton's method from the left on ln(S) - ln(C), S = b + C the sum of
    // the exponentials and C the constant: convex and falling like b, and
    // nearly straight far from the crossing, so that few steps get there.
    // In doubles: it only says where to look.
    Ball c;
    arb_neg(c.get(), b.Coef(0));
    arb_log(c.get(), c.get(), 64);
    const double logC = arf_get_d(arb_midref(c.get()), ARF_RND_NEAR);
    double x = lo;
    for (int i = 0; i < 100; ++i) {
        const ExpSum::Guide g = b.Approximate(x, 1);
        const double next = x - (g.scale + std::log(g.value) - logC) * g.value / g.slope;
        if (!std::isfinite(next) || !(next > x) || next - x <= 0x1p-36 * (std::fabs(x) + 0x1p-36)) break;
        x = std::fmin(next, hi);
    }
    lo = std::fmax(lo, x);
    // Just above where Newton's method stopped, proved.
    for (double step = 0x1p-30 * std::fmax(std::fabs(lo), 1.0); !budget.Spent(); step *= 16.0) {
        const double above = std::fmin(lo + step, hi);
        if (above == hi || signs.AtLog(above) == -1) return above;
        lo = above;  // b > 0 there: the crossing lies beyond
    }
    return std::nullopt;
}

// The sum -|c_from| + sum of |c_i| exp(-(tau_i - tau_from) t) over the
// terms of the other sign, with `order` listing the terms from `from`
// onward (forward for the first term, backward for the last).
std::optional<double> Bound(const ExpSum& h, bool fromFirst, std::uint64_t* work, Budget budget) {
    const slong n = h.Size();
    const slong from = fromFirst ? 0 : n - 1;
    const std::int64_t e0 = h.Exponents()[static_cast<std::size_t>(from)];
    std::vector<std::int64_t> exponents{0};
    std::vector<slong> members{from};
    for (slong k = 1; k < n; ++k) {
        const slong i = fromFirst ? k : n - 1 - k;
        if (h.SignOf(i) == h.SignOf(from)) continue;
        members.push_back(i);
        const std::int64_t e = h.Exponents()[static_cast<std::size_t>(i)];
        exponents.push_back(fromFirst ? e - e0 : e0 - e);
    }
    BallVector c(static_cast<slong>(members.size()));
    for (std::size_t k = 0; k < members.size(); ++k) arb_abs(c[static_cast<slong>(k)], h.Coef(members[k]));
    arb_neg(c[0], c[0]);
    ExpSum b(c.data(), std::move(exponents), h.Denominator(), 1);
    b.CountWorkIn(work);
    return AboveCrossing(b, budget);
}

}  // namespace

LogBounds FindLogBounds(const ExpSum& h, std::uint64_t* work, Budget budget) {
    LogBounds out;
    const auto upper = Bound(h, true, work, budget);
    if (!upper) return out;
    const auto lower = Bound(h, false, work, budget);
    if (!lower) return out;
    out.found = true;
    out.upper = *upper;
    out.lower = -*lower;
    return out;
}

}  // namespace valmora::detail
