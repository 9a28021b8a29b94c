#include "core/dated/point_signs.h"

#include "core/dated/exact_zero.h"

namespace valmora::detail {

namespace {

// The sign of a ball: -1 or +1, kUndecided when it holds 0.
int BallSign(arb_srcptr x) {
    if (arb_is_positive(x)) return 1;
    if (arb_is_negative(x)) return -1;
    return kUndecided;
}

// From this many bits on, a rate whose sign is still open is tried exactly.
constexpr slong kExactFrom = 512;

}  // namespace

int PointSigns::AtLog(double t) {
    const auto it = cache_.find(t);
    if (it != cache_.end()) return it->second;
    int s = kUndecided;
    if (t == 0.0) {
        s = h_.MomentSign(0);
    } else {
        Ball x, v;
        arb_set_d(x.get(), t);
        for (slong prec = kStartPrec; prec <= kMaxPrec && s == kUndecided; prec *= 2) {
            if (prec > kStartPrec && budget_.Spent()) break;
            h_.Derivatives(x.get(), 0, prec, v.get());
            s = BallSign(v.get());
        }
    }
    if (s != kUndecided) cache_[t] = s;
    return s;
}

int PointSigns::AtRate(const arf_t r) {
    if (arf_is_zero(r)) return h_.MomentSign(0);
    Float q;
    arf_add_ui(q.get(), r, 1, ARF_PREC_EXACT, ARF_RND_DOWN);
    Ball t, v;
    bool exactTried = false;
    for (slong prec = kRatePrec; prec <= kMaxPrec; prec *= 2) {
        if (prec > kRatePrec && budget_.Spent()) break;
        arb_set_arf(t.get(), r);
        arb_log1p(t.get(), t.get(), prec + 32);
        h_.Derivatives(t.get(), 0, prec, v.get());
        const int s = BallSign(v.get());
        if (s != kUndecided) return s;
        if (prec >= kExactFrom && !exactTried) {
            exactTried = true;
            const Exactly e = IsExactlyZero(h_, q.get(), 0);
            if (e == Exactly::Zero) return 0;
        }
    }
    return kUndecided;
}

}  // namespace valmora::detail
