#include "core/dated/refinement.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "core/dated/rate_conversion.h"

namespace valmora::detail {

namespace {

// Doubles in order as whole numbers (-0 and +0 both 0).
std::int64_t Index(double x) {
    const auto i = std::bit_cast<std::int64_t>(x);
    return i < 0 ? std::numeric_limits<std::int64_t>::min() - i : i;
}
double FromIndex(std::int64_t i) {
    return std::bit_cast<double>(i < 0 ? std::numeric_limits<std::int64_t>::min() - i : i);
}

// Newton's method in t inside (a, b), in doubles: a guess at the root,
// which the exact signs then bracket.
double NewtonGuess(const ExpSum& h, const Isolated& root) {
    double lo = root.a, hi = root.b;
    double t = lo + (hi - lo) / 2.0;
    for (int i = 0; i < 60; ++i) {
        const ExpSum::Guide g = h.Approximate(t);
        if (g.value == 0.0) break;
        ((g.value > 0) == (root.sa > 0) ? lo : hi) = t;
        double next = t - g.value / g.slope;
        if (!(next > lo && next < hi)) next = lo + (hi - lo) / 2.0;
        if (next == t) break;
        const bool close = std::fabs(next - t) <= 0x1p-50 * std::fabs(t);
        t = next;
        if (close) break;
    }
    return t;
}

// The search over doubles, in index space.
class Bracketing {
public:
    Bracketing(PointSigns& signs, int leftSign, std::int64_t lo, std::int64_t hi, Budget budget)
        : signs_(signs), left_(leftSign), lo_(lo), hi_(hi), budget_(budget) {}

    // The sign of XNPV at the double of index i; at -1, where no root lies
    // below this one, the sign of its left (the limit as r falls to -1).
    int At(std::int64_t i) {
        if (i == Index(-1.0)) return left_;
        if (budget_.Spent()) return kUndecided;
        Float r;
        arf_set_d(r.get(), FromIndex(i));
        return signs_.AtRate(r.get());
    }

    // Neighbouring indices i < j with the root in (i, j): from a guess,
    // by doubling steps and then halving. False when a sign cannot be
    // told or the search would leave [lo, hi]; `exact` receives an index
    // where XNPV is 0 (true then too).
    bool Find(std::int64_t guess, std::int64_t& i, std::int64_t& j, std::optional<std::int64_t>& exact) {
        exact.reset();
        guess = std::clamp(guess, lo_, hi_);
        const int s0 = At(guess);
        if (s0 == 0) exact = guess;
        if (s0 == 0 || s0 == kUndecided) return s0 == 0;
        const std::int64_t dir = s0 == left_ ? 1 : -1;  // toward the root
        std::int64_t near = guess, far = guess;
        for (std::int64_t step = 1;; step *= 2) {
            far = std::clamp(near + dir * step, lo_, hi_);
            if (far == near) return false;
            const int s = At(far);
            if (s == 0) exact = far;
            if (s == 0 || s == kUndecided) return s == 0;
            if (s != s0) break;
            near = far;
        }
        i = std::min(near, far);
        j = std::max(near, far);
        while (j - i > 1) {
            const std::int64_t m = i + (j - i) / 2;
            const int s = At(m);
            if (s == 0) exact = m;
            if (s == 0 || s == kUndecided) return s == 0;
            (s == left_ ? i : j) = m;
        }
        return true;
    }

private:
    PointSigns& signs_;
    int left_;
    std::int64_t lo_, hi_;
    Budget budget_;
};

}  // namespace

XirrRoot RefineCrossing(const ExpSum& h, PointSigns& signs, const Isolated& root, double safeLo, double safeHi,
                        Budget budget) {
    XirrRoot out;
    out.logLo = root.a;
    out.logHi = root.b;
    out.rateLo = RateBelow(root.a);
    out.rateHi = RateAbove(root.b);
    out.nearest = false;
    if (RoundsToMinusOne(root.b)) {
        out.rate = -1.0;
        out.rateLo = -1.0;
        out.rateHi = std::nextafter(-1.0, 0.0);
        out.nearest = true;
        return out;
    }
    if (BeyondDoubles(root.a)) {
        out.rate = std::numeric_limits<double>::infinity();
        out.rateLo = DBL_MAX;
        return out;
    }
    const double t = NewtonGuess(h, root);
    out.rate = std::clamp(RateNear(t), out.rateLo, out.rateHi);
    // Doubles whose t lies in (safeLo, safeHi) only: there the sign tells
    // the side of this root.
    // No root lies below: the search may end at -1 (the root between -1
    // and the next double).
    const double lo = std::isfinite(safeLo) ? std::fmax(RateAbove(safeLo), std::nextafter(-1.0, 0.0)) : -1.0;
    const double hi = std::fmin(std::isfinite(safeHi) ? RateBelow(safeHi) : DBL_MAX, DBL_MAX);
    if (!(lo < hi)) return out;
    Bracketing search(signs, root.sa, Index(lo), Index(hi), budget);
    std::int64_t i = 0, j = 0;
    std::optional<std::int64_t> exact;
    const bool found = search.Find(Index(std::clamp(out.rate, lo, hi)), i, j, exact);
    if (exact) {
        out.rate = out.rateLo = out.rateHi = FromIndex(*exact);
        out.nearest = true;
    } else if (found) {
        const double r1 = FromIndex(i), r2 = FromIndex(j);
        Float mid, b;
        arf_set_d(mid.get(), r1);
        arf_set_d(b.get(), r2);
        arf_add(mid.get(), mid.get(), b.get(), ARF_PREC_EXACT, ARF_RND_DOWN);
        arf_mul_2exp_si(mid.get(), mid.get(), -1);
        const int s = signs.AtRate(mid.get());
        out.rateLo = r1;
        out.rateHi = r2;
        if (s != kUndecided) {
            out.nearest = true;
            if (s == 0) out.rate = (std::bit_cast<std::uint64_t>(r1) & 1U) == 0 ? r1 : r2;  // a tie: the even one
            else out.rate = s == root.sa ? r2 : r1;
        } else {
            out.rate = std::clamp(out.rate, r1, r2);
        }
    } else {
        return out;
    }
    out.logLo = std::fmax(root.a, LogBelow(out.rateLo));
    out.logHi = std::fmin(root.b, LogAbove(out.rateHi));
    return out;
}

XirrRoot RootAt(const RootAtDouble& root) {
    XirrRoot out;
    out.rate = out.rateLo = out.rateHi = root.rate;
    out.logLo = LogBelow(root.rate);
    out.logHi = LogAbove(root.rate);
    out.multiplicity = root.multiplicity;
    out.touching = root.multiplicity % 2 == 0;
    return out;
}

}  // namespace valmora::detail
