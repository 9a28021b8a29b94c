// Horner's rule for P and Q on SIMD lanes, compiled for every target Highway
// supports and chosen at run time.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "core/solver/split_horner.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include <algorithm>
#include <cstddef>

HWY_BEFORE_NAMESPACE();
namespace valmora {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Four vectors of points per pass, so that eight independent chains hide
// the latency of the multiply and add. Mul then Add: two roundings, as the
// error bound assumes (a fused step would only be more accurate).
void SplitHornerImpl(const double* p, const double* q, int n, const double* xs, std::size_t count, double* P,
                     double* Q) {
    const hn::ScalableTag<double> d;
    const std::size_t lanes = hn::Lanes(d);
    constexpr std::size_t kMaxLanes = HWY_MAX_BYTES / sizeof(double);
    HWY_ALIGN double xb[4 * kMaxLanes];
    HWY_ALIGN double pb[4 * kMaxLanes];
    HWY_ALIGN double qb[4 * kMaxLanes];
    for (std::size_t i = 0; i < count; i += 4 * lanes) {
        const std::size_t take = std::min(count - i, 4 * lanes);
        const bool full = take == 4 * lanes;
        if (!full)
            for (std::size_t j = 0; j < 4 * lanes; ++j) xb[j] = xs[i + std::min(j, take - 1)];
        const double* src = full ? xs + i : xb;
        const auto x0 = hn::LoadU(d, src);
        const auto x1 = hn::LoadU(d, src + lanes);
        const auto x2 = hn::LoadU(d, src + 2 * lanes);
        const auto x3 = hn::LoadU(d, src + 3 * lanes);
        auto p0 = hn::Set(d, p[n]), p1 = p0, p2 = p0, p3 = p0;
        auto q0 = hn::Set(d, q[n]), q1 = q0, q2 = q0, q3 = q0;
        for (int k = n - 1; k >= 0; --k) {
            const auto pk = hn::Set(d, p[k]);
            const auto qk = hn::Set(d, q[k]);
            p0 = hn::Add(hn::Mul(p0, x0), pk);
            p1 = hn::Add(hn::Mul(p1, x1), pk);
            p2 = hn::Add(hn::Mul(p2, x2), pk);
            p3 = hn::Add(hn::Mul(p3, x3), pk);
            q0 = hn::Add(hn::Mul(q0, x0), qk);
            q1 = hn::Add(hn::Mul(q1, x1), qk);
            q2 = hn::Add(hn::Mul(q2, x2), qk);
            q3 = hn::Add(hn::Mul(q3, x3), qk);
        }
        double* pd = full ? P + i : pb;
        double* qd = full ? Q + i : qb;
        hn::StoreU(p0, d, pd);
        hn::StoreU(p1, d, pd + lanes);
        hn::StoreU(p2, d, pd + 2 * lanes);
        hn::StoreU(p3, d, pd + 3 * lanes);
        hn::StoreU(q0, d, qd);
        hn::StoreU(q1, d, qd + lanes);
        hn::StoreU(q2, d, qd + 2 * lanes);
        hn::StoreU(q3, d, qd + 3 * lanes);
        if (!full) {
            std::copy(pb, pb + take, P + i);
            std::copy(qb, qb + take, Q + i);
        }
    }
}

}  // namespace HWY_NAMESPACE
}  // namespace valmora
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace valmora {
HWY_EXPORT(SplitHornerImpl);

void EvaluateSplit(const double* p, const double* q, int n, const double* xs, std::size_t count, double* P, double* Q) {
    HWY_DYNAMIC_DISPATCH(SplitHornerImpl)(p, q, n, xs, count, P, Q);
}
}  // namespace valmora
#endif
