#include "core/solver/ball_polynomial.h"

#include <arb.h>
#include <flint/fmpz.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <type_traits>

namespace valmora {

static_assert(std::is_same_v<slong, long>, "an fmpz is a long");

namespace {

// The binary exponents of the highest and the lowest set bit of a nonzero
// double d: 2^lo <= |d| < 2^hi, and d is a multiple of 2^lo.
void BitRange(double d, long& hi, long& lo) {
    int e = 0;
    const double frac = std::frexp(std::fabs(d), &e);  // |d| = frac 2^e, 1/2 <= frac < 1
    const auto m = static_cast<std::uint64_t>(std::ldexp(frac, 53));
    hi = e;
    lo = e - 53 + std::countr_zero(m);
}

}  // namespace

namespace detail {

struct BallData {
    arb_ptr coef = nullptr;
    slong len = 0;
    // Over the nonzero coefficients: the highest hi and the lowest lo of
    // BitRange.
    long hiC = LONG_MIN;
    long loC = LONG_MAX;

    explicit BallData(std::span<const double> c) : len(static_cast<slong>(c.size())) {
        coef = _arb_vec_init(len);
        for (slong k = 0; k < len; ++k) {
            const double v = c[static_cast<std::size_t>(k)];
            arb_set_d(coef + k, v);  // exact
            if (v == 0.0) continue;
            long hi = 0, lo = 0;
            BitRange(v, hi, lo);
            hiC = std::max(hiC, hi);
            loC = std::min(loC, lo);
        }
    }
    explicit BallData(BallPolynomial::Integers c) : len(c.len) {
        coef = _arb_vec_init(len);
        for (slong k = 0; k < len; ++k) {
            const fmpz* v = reinterpret_cast<const fmpz*>(c.coef) + k;
            arb_set_fmpz(coef + k, v);
            if (fmpz_is_zero(v)) continue;
            hiC = std::max(hiC, static_cast<long>(fmpz_bits(v)));
            loC = std::min(loC, static_cast<long>(fmpz_val2(v)));
        }
    }
    ~BallData() { _arb_vec_clear(coef, len); }
    BallData(const BallData&) = delete;
    BallData& operator=(const BallData&) = delete;

    // The sign of f at the exact value x >= 0, whose set bits lie between
    // 2^loX and 2^hiX.
    int Sign(const arb_t x, long hiX, long loX, std::uint64_t* work) const {
        if (hiC == LONG_MIN) return 0;  // every coefficient 0
        // Every partial sum of Horner's rule is an exact multiple of
        // 2^(loC + n min(loX, 0)) below 2^(hiC + n max(hiX, 0) + log2(n + 1)):
        // at that many bits (with room) every operation is exact and the
        // ball has radius 0.
        const long n = len - 1;
        const long top = hiC + n * std::max(hiX, 0L) + 64 - std::countl_zero(static_cast<std::uint64_t>(len));
        const long bottom = loC + n * std::min(loX, 0L);
        const long exactBits = top - bottom + 64;
        arb_t v;
        arb_init(v);
        int sign = 0;
        for (slong prec = 128;; prec *= 4) {
            const slong p = std::min<slong>(prec, exactBits);
            arb_set(v, coef + n);
            for (slong k = n - 1; k >= 0; --k) {
                arb_mul(v, v, x, p);
                arb_add(v, v, coef + k, p);
            }
            if (work != nullptr) *work += static_cast<std::uint64_t>(len) * static_cast<std::uint64_t>(p / 64 + 1);
            if (arb_is_positive(v)) {
                sign = 1;
                break;
            }
            if (arb_is_negative(v)) {
                sign = -1;
                break;
            }
            if (arb_is_exact(v)) {  // exactly 0
                sign = 0;
                break;
            }
            // Not yet decided: more bits (beyond exactBits only if that
            // bound were wrong, which the exactness test would show).
        }
        arb_clear(v);
        return sign;
    }
};

}  // namespace detail

BallPolynomial::BallPolynomial(std::span<const double> coef) : d_(std::make_unique<detail::BallData>(coef)) {}

BallPolynomial::BallPolynomial(Integers integers) : d_(std::make_unique<detail::BallData>(integers)) {}

BallPolynomial::~BallPolynomial() = default;

int BallPolynomial::SignAt(double x, std::uint64_t* work) const {
    if (x == 0.0) return d_->len == 0 ? 0 : (arb_is_positive(d_->coef) ? 1 : (arb_is_negative(d_->coef) ? -1 : 0));
    arb_t a;
    arb_init(a);
    arb_set_d(a, x);
    long hi = 0, lo = 0;
    BitRange(x, hi, lo);
    const int s = d_->Sign(a, hi, lo, work);
    arb_clear(a);
    return s;
}

int BallPolynomial::SignAtMidpoint(double lo, double hi, std::uint64_t* work) const {
    arb_t a, b;
    arb_init(a);
    arb_init(b);
    arb_set_d(a, lo);
    arb_set_d(b, hi);
    long hiA = LONG_MIN, loA = LONG_MAX, hiB = LONG_MIN, loB = LONG_MAX;
    if (lo != 0.0) BitRange(lo, hiA, loA);
    if (hi != 0.0) BitRange(hi, hiB, loB);
    const long top = std::max(hiA, hiB) + 1;
    const long bottom = std::min(loA, loB) - 1;
    arb_add(a, a, b, std::max<slong>(top - bottom + 64, 64));  // exact
    arb_mul_2exp_si(a, a, -1);
    const int s = arb_is_zero(a) ? SignAt(0.0, work) : d_->Sign(a, top, bottom, work);
    arb_clear(a);
    arb_clear(b);
    return s;
}

}  // namespace valmora
