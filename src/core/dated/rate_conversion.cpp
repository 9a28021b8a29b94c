#include "core/dated/rate_conversion.h"

#include <cfloat>
#include <cmath>

#include "core/dated/arb_handles.h"

namespace valmora::detail {

namespace {

constexpr slong kPrec = 128;

double Bound(double x, bool exp, bool up) {
    Ball b;
    arb_set_d(b.get(), x);
    if (exp) arb_expm1(b.get(), b.get(), kPrec);
    else arb_log1p(b.get(), b.get(), kPrec);
    Float f;
    if (up) arb_get_ubound_arf(f.get(), b.get(), kPrec);
    else arb_get_lbound_arf(f.get(), b.get(), kPrec);
    return arf_get_d(f.get(), up ? ARF_RND_CEIL : ARF_RND_FLOOR);
}

}  // namespace

double RateBelow(double t) { return std::fmax(Bound(t, true, false), -1.0); }
double RateAbove(double t) { return Bound(t, true, true); }

double RateNear(double t) {
    Ball b;
    arb_set_d(b.get(), t);
    arb_expm1(b.get(), b.get(), kPrec);
    return arf_get_d(arb_midref(b.get()), ARF_RND_NEAR);
}

double LogBelow(double r) { return Bound(r, false, false); }
double LogAbove(double r) { return Bound(r, false, true); }

bool RoundsToMinusOne(double t) {
    Ball b, x;
    arb_const_log2(b.get(), kPrec);
    arb_mul_si(b.get(), b.get(), -54, kPrec);
    arb_set_d(x.get(), t);
    return arb_lt(x.get(), b.get());
}

bool BeyondDoubles(double t) {
    Ball b, x;
    arb_set_d(b.get(), DBL_MAX);
    arb_log(b.get(), b.get(), kPrec);
    arb_set_d(x.get(), t);
    return arb_gt(x.get(), b.get());
}

}  // namespace valmora::detail
