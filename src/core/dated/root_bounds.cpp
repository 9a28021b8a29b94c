#include "core/dated/root_bounds.h"

#include <cmath>
#include <optional>
#include <vector>

namespace valmora::detail {

namespace {

// b(s) = sum over the terms of the other sign than the reference term of
// |c_i| exp(-d_i s), minus |c_ref|, with d_i = tau_i - tau_ref > 0 (the
// reference the first term, s = t) or tau_ref - tau_i > 0 (the last term,
// s = -t). It falls from +infinity to -|c_ref| and crosses 0 once. Its sign
// at s is that of sum_i w_i exp(-tau_i t) with w_i = |c_i| on the other
// sign's terms and -|c_ref| on the reference: a sum over h's own powers.
class BoundSum {
public:
    BoundSum(const ExpSum& h, bool fromFirst, Budget budget)
        : h_(h), first_(fromFirst), ref_(fromFirst ? 0 : h.Size() - 1), weights_(h.Size()), budget_(budget) {
        for (slong i = 0; i < h.Size(); ++i) {
            if (i == ref_) {
                arb_abs(weights_[i], h.Coef(i));
                arb_neg(weights_[i], weights_[i]);
            } else if (h.SignOf(i) != h.SignOf(ref_)) {
                arb_abs(weights_[i], h.Coef(i));
                members_.push_back(i);
            }
        }
    }

    // The sign of b at s, proved: -1 or +1 (0 where it is 0 at s = 0),
    // kUndecided when the precision or the budget runs out.
    int SignAt(double s) {
        if (s == 0.0) return ExactSignAtZero();
        Ball t, v;
        arb_set_d(t.get(), first_ ? s : -s);
        for (slong prec = kStartPrec; prec <= kMaxPrec; prec *= 2) {
            if (prec > kStartPrec && budget_.Spent()) break;
            h_.WeightedSum(t.get(), weights_, prec, v.get());
            if (arb_is_positive(v.get())) return 1;
            if (arb_is_negative(v.get())) return -1;
        }
        return kUndecided;
    }

    // Newton's step for ln(S) - ln(C) at s, S the sum of the exponentials
    // and C = |c_ref|: convex and falling like b, and nearly straight far
    // from the crossing. In doubles: it only says where to look.
    double NewtonStep(double s) const {
        const double tRef = h_.Tau(ref_);
        double scale = -INFINITY;
        for (slong i : members_) scale = std::fmax(scale, h_.LogAbs(i) - std::fabs(h_.Tau(i) - tRef) * s);
        double value = 0, slope = 0;
        for (slong i : members_) {
            const double d = std::fabs(h_.Tau(i) - tRef);
            const double term = std::exp(h_.LogAbs(i) - d * s - scale);
            value += term;
            slope -= d * term;
        }
        return -(scale + std::log(value) - h_.LogAbs(ref_)) * value / slope;
    }

private:
    int ExactSignAtZero() const {
        Ball sum;
        for (slong i = 0; i < h_.Size(); ++i) arb_add(sum.get(), sum.get(), weights_[i], ARF_PREC_EXACT);
        return arb_is_zero(sum.get()) ? 0 : (arb_is_positive(sum.get()) ? 1 : -1);
    }

    const ExpSum& h_;
    bool first_;
    slong ref_;
    BallVector weights_;
    std::vector<slong> members_;  // the terms of the other sign
    Budget budget_;
};

// A double s above the crossing of b with b(s) < 0 proved; nothing when
// the budget runs out first.
std::optional<double> AboveCrossing(BoundSum& b, Budget budget) {
    // A bracket: b(lo) > 0 > b(hi) (b is strictly falling, so a root at
    // s = 0 lies between -1 and 1).
    double lo = -1.0, hi = 1.0;
    const int s0 = b.SignAt(0.0);
    if (s0 == kUndecided) return std::nullopt;
    for (int i = 0; s0 > 0; ++i) {
        const int s = b.SignAt(hi);
        if (s == -1) break;
        if (s == kUndecided || i > 60) return std::nullopt;
        lo = hi;
        hi *= 2.0;
    }
    if (s0 > 0 && lo == -1.0) lo = 0.0;
    for (int i = 0; s0 < 0; ++i) {
        const int s = b.SignAt(lo);
        if (s == 1) break;
        if (s == kUndecided || i > 60) return std::nullopt;
        hi = lo;
        lo *= 2.0;
    }
    if (s0 < 0 && hi == 1.0) hi = 0.0;
    // Newton's method from the left, where each step goes right; one that
    // does not, or barely does, has arrived (to rounding).
    double x = lo;
    for (int i = 0; i < 100; ++i) {
        const double next = x + b.NewtonStep(x);
        if (!std::isfinite(next) || !(next > x) || next - x <= 0x1p-36 * (std::fabs(x) + 0x1p-36)) break;
        x = std::fmin(next, hi);
    }
    lo = std::fmax(lo, x);
    // Just above where Newton's method stopped, proved.
    for (double step = 0x1p-30 * std::fmax(std::fabs(lo), 1.0); !budget.Spent(); step *= 16.0) {
        const double above = std::fmin(lo + step, hi);
        if (above == hi || b.SignAt(above) == -1) return above;
        lo = above;  // b > 0 there: the crossing lies beyond
    }
    return std::nullopt;
}

}  // namespace

LogBounds FindLogBounds(const ExpSum& h, Budget budget) {
    LogBounds out;
    BoundSum first(h, true, budget);
    const auto upper = AboveCrossing(first, budget);
    if (!upper) return out;
    BoundSum last(h, false, budget);
    const auto lower = AboveCrossing(last, budget);
    if (!lower) return out;
    out.found = true;
    out.upper = *upper;
    out.lower = -*lower;
    return out;
}

}  // namespace valmora::detail
