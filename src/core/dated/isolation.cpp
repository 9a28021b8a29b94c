#include "core/dated/isolation.h"

#include <cfloat>
#include <cmath>
#include <optional>
#include <utility>

#include "core/dated/exact_zero.h"
#include "core/dated/rate_conversion.h"

namespace valmora::detail {

namespace {

// Doubles tried for an exact root in one interval no double divides.
constexpr int kMaxCandidates = 16;

int BallSign(arb_srcptr x) {
    if (arb_is_positive(x)) return 1;
    if (arb_is_negative(x)) return -1;
    return kUndecided;
}

class Isolator {
public:
    Isolator(const ExpSum& h, PointSigns& signs, int signChanges, Budget budget)
        : h_(h), signs_(signs), maxRoots_(signChanges), budget_(budget) {
        const double last = static_cast<double>(h.Exponents().back());
        tauMax_ = last / static_cast<double>(h.Denominator());
    }

    Isolation Run(double lower, double upper);

private:
    // Settles [a, b], or returns the point to divide it at.
    std::optional<double> Visit(double a, double b);
    void Indivisible(double a, double b, Expansion& e, int order);
    // Settles [a, b] when h^(order) has no zero there (order 1 or 2):
    // true unless the signs at its ends leave it open.
    bool SettleByRolle(double a, double b, const Expansion& e, int order);
    // The multiplicity of the root at t = 0 that [a, b] holds.
    int KnownAt(double a, double b) const { return a == 0.0 || b == 0.0 ? zeroMultiplicity_ : 0; }
    int Sign(double t, const Expansion* e);
    void LeaveUndecided(double a, double b);
    bool InsideLog(double rate, double a, double b) const;
    bool ExactRootIn(double a, double b, int order);

    const ExpSum& h_;
    PointSigns& signs_;
    int maxRoots_;
    Budget budget_;
    double tauMax_ = 0;
    int found_ = 0;  // roots proved so far, counted with multiplicity
    int zeroMultiplicity_ = 0;
    int deepTried_ = 0, deepHelped_ = 0;
    Isolation out_;
};

Isolation Isolator::Run(double lower, double upper) {
    std::vector<std::pair<double, double>> stack;
    if (lower < 0.0 && upper > 0.0) {
        if (signs_.AtLog(0.0) == 0) {
            int k = 1;
            while (h_.MomentSign(k) == 0) ++k;  // one of the first n moments is nonzero
            zeroMultiplicity_ = k;
            out_.exact.push_back({0.0, k});
            found_ += k;
        }
        stack.emplace_back(0.0, upper);
        stack.emplace_back(lower, 0.0);
    } else {
        stack.emplace_back(lower, upper);
    }
    // Depth first, left half first: roots come in increasing t.
    while (!stack.empty()) {
        const auto [a, b] = stack.back();
        stack.pop_back();
        if (found_ >= maxRoots_) continue;  // Descartes: no root is left
        if (budget_.Spent()) {
            LeaveUndecided(a, b);
            continue;
        }
        if (const auto c = Visit(a, b)) {
            stack.emplace_back(*c, b);
            stack.emplace_back(a, *c);
        }
    }
    // What is known of the stretch the budget left: the roots Descartes
    // still allows, and one at least where the signs at its ends differ.
    for (Undecided& u : out_.undecided) {
        if (u.reason != NotDecidedReason::Budget) continue;
        u.atMost = maxRoots_ - found_;
        const int sa = signs_.AtLog(u.a), sb = signs_.AtLog(u.b);
        if (sa != kUndecided && sb != kUndecided && sa * sb < 0) u.atLeast = 1;
    }
    return std::move(out_);
}

std::optional<double> Isolator::Visit(double a, double b) {
    if (tauMax_ * (b - a) > 1.0 && h_.Dominated(a, b)) return std::nullopt;
    Expansion fast, deep;
    Expansion* e = &fast;
    int order = -1;
    for (slong prec = kStartPrec;; prec *= 2) {
        bool limited = false, remainder = false;
        h_.Expand(a, b, prec, fast);
        e = &fast;
        order = h_.ZeroFreeOrder(fast, &limited, &remainder);
        // Tried while it keeps helping in at least one case of four.
        if (order != 0 && order != 1 && remainder && (deepTried_ < 8 || 4 * deepHelped_ >= deepTried_)) {
            ++deepTried_;
            // The remainder is what fails: a higher order.
            bool deepLimited = false;
            h_.ExpandDeep(a, b, prec, deep);
            const int deepOrder = h_.ZeroFreeOrder(deep, &deepLimited);
            if (deepOrder >= 0 && (order < 0 || deepOrder < order)) {
                ++deepHelped_;
                e = &deep;
                order = deepOrder;
                limited = deepLimited;
            }
        }
        if ((order == 0 || order == 1) || !limited || prec >= kMaxPrec || budget_.Spent()) break;
    }
    if (order == 0) return std::nullopt;
    const int known = KnownAt(a, b);
    if (order > 0 && order <= known) return std::nullopt;  // the root at 0 is all there is
    if (known == 0 && (order == 1 || order == 2) && SettleByRolle(a, b, *e, order)) return std::nullopt;
    if (e->c <= a || e->c >= b) {
        Indivisible(a, b, *e, order);
        return std::nullopt;
    }
    return e->c;
}

bool Isolator::SettleByRolle(double a, double b, const Expansion& e, int order) {
    const int sa = Sign(a, &e);
    const int sb = Sign(b, &e);
    if (sa == kUndecided || sb == kUndecided) return false;
    if (sa != sb) {
        // At most `order` <= 2 roots, an odd number: one, simple.
        out_.crossing.push_back({a, b, sa, sb});
        ++found_;
        return true;
    }
    if (order == 1) return true;  // monotone, one sign at both ends
    // h'' has one sign: against the ends' sign, h bends away from 0.
    return BallSign(e.h[2]) == -sa;
}

int Isolator::Sign(double t, const Expansion* e) {
    if (e != nullptr) {
        const int s = h_.SignFromExpansion(*e, t);
        if (s != 0) {
            signs_.Remember(t, s);
            return s;
        }
    }
    return signs_.AtLog(t);
}

void Isolator::Indivisible(double a, double b, Expansion& e, int order) {
    // No double lies between a and b: the most precision, then exact
    // arithmetic at the double rates there.
    if (order != 0 && order != 1 && !budget_.Spent()) {
        h_.Expand(a, b, kMaxPrec, e);
        order = h_.ZeroFreeOrder(e);
    }
    if (order == 0) return;
    const int known = KnownAt(a, b);
    if (order > 0 && order <= known) return;
    if (known == 0 && (order == 1 || order == 2) && SettleByRolle(a, b, e, order)) return;
    if (known == 0 && order > 0 && ExactRootIn(a, b, order)) return;
    const int sa = signs_.AtLog(a);
    const int sb = signs_.AtLog(b);
    Undecided u{a, b, 0, order > 0 ? order : -1, NotDecidedReason::Cluster};
    if (sa != kUndecided && sb != kUndecided && sa * sb < 0) u.atLeast = 1;
    if (u.atMost > 0) u.atMost -= known;
    found_ += u.atLeast;
    out_.undecided.push_back(u);
}

bool Isolator::ExactRootIn(double a, double b, int order) {
    // At most `order` roots with multiplicity in [a, b]: a double rate
    // where XNPV and its first order - 1 derivatives vanish exactly is
    // all of them.
    const double from = RateBelow(a);
    const double to = RateAbove(b);
    if (!(from > -1.0) || !std::isfinite(to)) return false;
    double r = from;
    for (int i = 0; i < kMaxCandidates && r <= to; ++i, r = std::nextafter(r, DBL_MAX)) {
        if (!InsideLog(r, a, b)) continue;
        Float q;
        arf_set_d(q.get(), r);
        arf_add_ui(q.get(), q.get(), 1, ARF_PREC_EXACT, ARF_RND_DOWN);
        int k = 0;
        while (k < order && IsExactlyZero(h_, q.get(), k) == Exactly::Zero) ++k;
        if (k == order) {
            out_.exact.push_back({r, order});
            found_ += order;
            return true;
        }
    }
    return false;
}

bool Isolator::InsideLog(double rate, double a, double b) const {
    Ball t, x;
    for (slong prec = kStartPrec; prec <= 1024; prec *= 2) {
        arb_set_d(t.get(), rate);
        arb_log1p(t.get(), t.get(), prec);
        arb_set_d(x.get(), a);
        const bool aboveA = arb_gt(t.get(), x.get());
        const bool notAboveA = arb_le(t.get(), x.get());
        arb_set_d(x.get(), b);
        const bool belowB = arb_lt(t.get(), x.get());
        const bool notBelowB = arb_ge(t.get(), x.get());
        if (aboveA && belowB) return true;
        if (notAboveA || notBelowB) return false;
    }
    return false;
}

void Isolator::LeaveUndecided(double a, double b) {
    auto& list = out_.undecided;
    if (!list.empty() && list.back().reason == NotDecidedReason::Budget && list.back().b == a) {
        list.back().b = b;
    } else {
        list.push_back({a, b, 0, -1, NotDecidedReason::Budget});
    }
}

}  // namespace

Isolation IsolateRoots(const ExpSum& h, PointSigns& signs, double lower, double upper, int signChanges, Budget budget) {
    return Isolator(h, signs, signChanges, budget).Run(lower, upper);
}

}  // namespace valmora::detail
