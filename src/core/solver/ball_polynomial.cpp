#include "core/solver/ball_polynomial.h"

#include <arb.h>
#include <flint/fmpz.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <vector>

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

// Coefficients as exact balls, with the range of their set bits.
struct Vec {
    arb_ptr c = nullptr;
    slong len = 0;
    long hiC = LONG_MIN;  // every coefficient is below 2^hiC
    long loC = LONG_MAX;  // and a multiple of 2^loC

    explicit Vec(slong n) : c(_arb_vec_init(n)), len(n) {}
    ~Vec() { _arb_vec_clear(c, len); }
    Vec(const Vec&) = delete;
    Vec& operator=(const Vec&) = delete;

    bool Zero() const { return hiC == LONG_MIN; }
};

// The sign of the polynomial v at the exact value x >= 0, whose set bits
// lie between 2^loX and 2^hiX.
int Sign(const Vec& v, const arb_t x, long hiX, long loX, std::uint64_t* work) {
    if (v.Zero()) return 0;
    // Every partial sum of Horner's rule is an exact multiple of
    // 2^(loC + n min(loX, 0)) below 2^(hiC + n max(hiX, 0) + log2(n + 1)):
    // at that many bits (with room) every operation is exact and the ball
    // has radius 0.
    const long n = v.len - 1;
    const long top = v.hiC + n * std::max(hiX, 0L) + 64 - std::countl_zero(static_cast<std::uint64_t>(v.len));
    const long bottom = v.loC + n * std::min(loX, 0L);
    const long exactBits = top - bottom + 64;
    arb_t s;
    arb_init(s);
    int sign = 0;
    for (slong prec = 128;; prec *= 4) {
        const slong p = std::min<slong>(prec, exactBits);
        arb_set(s, v.c + n);
        for (slong k = n - 1; k >= 0; --k) {
            arb_mul(s, s, x, p);
            arb_add(s, s, v.c + k, p);
        }
        if (work != nullptr) *work += static_cast<std::uint64_t>(v.len) * static_cast<std::uint64_t>(p / 64 + 1);
        if (arb_is_positive(s)) {
            sign = 1;
            break;
        }
        if (arb_is_negative(s)) {
            sign = -1;
            break;
        }
        if (arb_is_exact(s)) break;  // exactly 0
        // Not yet decided: more bits (beyond exactBits only if that bound
        // were wrong, which the exactness test would show).
    }
    arb_clear(s);
    return sign;
}

// v at x in balls of `prec` bits.
void Value(const Vec& v, const arb_t x, slong prec, arb_t out) {
    arb_zero(out);
    for (slong k = v.len - 1; k >= 0; --k) {
        arb_mul(out, out, x, prec);
        arb_add(out, out, v.c + k, prec);
    }
}

// Taylor coefficients t[k] = v^(k)(x) / k!, k = 0..K (K < len), by K + 1
// passes of synthetic division by (z - x) on a copy: O(n K).
void Taylor(const Vec& v, const arb_t x, slong K, slong prec, arb_ptr t) {
    const slong n = v.len - 1;
    arb_ptr b = _arb_vec_init(v.len);
    _arb_vec_set(b, v.c, v.len);
    for (slong k = 0; k <= K; ++k) {
        for (slong j = n - 1; j >= k; --j) arb_addmul(b + j, x, b + j + 1, prec);
        arb_set(t + k, b + k);
    }
    _arb_vec_clear(b, v.len);
}

// How a point of x's precision enters Sign: the bit range of a double.
void SetDouble(arb_t a, double x, long& hi, long& lo) {
    arb_set_d(a, x);
    if (x == 0.0) {
        hi = LONG_MIN / 4;
        lo = 0;
    } else {
        BitRange(x, hi, lo);
    }
}

// Working precision of the Taylor certificates: the tests compare the
// expansion's leading terms with its tail, whose ball subtraction cancels
// about as many bits as f cancels against the sum of its terms' sizes;
// 256 bits leave room for 2^150 of that.
constexpr slong kLocalPrec = 256;
// The expansion is cut where the tail is estimated below 2^-100 of the
// sizes' sum, and not tried when that takes more than this many terms.
constexpr double kTailGoal = 0x1p-100;
constexpr slong kMaxTerms = 64;

}  // namespace

namespace detail {

struct BallData {
    Vec coef;
    // p' and |p| (coefficientwise), made when first needed.
    mutable std::unique_ptr<Vec> deriv, abs;

    explicit BallData(std::span<const double> c) : coef(static_cast<slong>(c.size())) {
        for (slong k = 0; k < coef.len; ++k) {
            const double v = c[static_cast<std::size_t>(k)];
            arb_set_d(coef.c + k, v);  // exact
            if (v == 0.0) continue;
            long hi = 0, lo = 0;
            BitRange(v, hi, lo);
            coef.hiC = std::max(coef.hiC, hi);
            coef.loC = std::min(coef.loC, lo);
        }
    }
    explicit BallData(BallPolynomial::Integers c) : coef(c.len) {
        for (slong k = 0; k < coef.len; ++k) {
            const fmpz* v = reinterpret_cast<const fmpz*>(c.coef) + k;
            arb_set_fmpz(coef.c + k, v);
            if (fmpz_is_zero(v)) continue;
            coef.hiC = std::max(coef.hiC, static_cast<long>(fmpz_bits(v)));
            coef.loC = std::min(coef.loC, static_cast<long>(fmpz_val2(v)));
        }
    }

    const Vec& Deriv() const {
        if (!deriv) {
            const slong m = std::max<slong>(coef.len - 1, 1);
            deriv = std::make_unique<Vec>(m);
            for (slong k = 1; k < coef.len; ++k) arb_mul_si(deriv->c + k - 1, coef.c + k, k, ARF_PREC_EXACT);
            // k c_k: at most log2(n) bits more, no fewer trailing zeros.
            if (!coef.Zero() && coef.len > 1) {
                deriv->hiC = coef.hiC + 64 - std::countl_zero(static_cast<std::uint64_t>(coef.len));
                deriv->loC = coef.loC;
            }
        }
        return *deriv;
    }
    const Vec& Abs() const {
        if (!abs) {
            abs = std::make_unique<Vec>(coef.len);
            for (slong k = 0; k < coef.len; ++k) arb_abs(abs->c + k, coef.c + k);
            abs->hiC = coef.hiC;
            abs->loC = coef.loC;
        }
        return *abs;
    }
};

}  // namespace detail

BallPolynomial::BallPolynomial(std::span<const double> coef) : d_(std::make_unique<detail::BallData>(coef)) {}

BallPolynomial::BallPolynomial(Integers integers) : d_(std::make_unique<detail::BallData>(integers)) {}

BallPolynomial::~BallPolynomial() = default;

int BallPolynomial::SignAt(double x, std::uint64_t* work) const {
    arb_t a;
    arb_init(a);
    long hi = 0, lo = 0;
    SetDouble(a, x, hi, lo);
    const int s = Sign(d_->coef, a, hi, lo, work);
    arb_clear(a);
    return s;
}

int BallPolynomial::DerivativeSignAt(double x) const {
    arb_t a;
    arb_init(a);
    long hi = 0, lo = 0;
    SetDouble(a, x, hi, lo);
    const int s = Sign(d_->Deriv(), a, hi, lo, nullptr);
    arb_clear(a);
    return s;
}

int BallPolynomial::SignAtMidpoint(double lo, double hi, std::uint64_t* work) const {
    arb_t a, b;
    arb_init(a);
    arb_init(b);
    long hiA = LONG_MIN / 4, loA = LONG_MAX / 4, hiB = LONG_MIN / 4, loB = LONG_MAX / 4;
    SetDouble(a, lo, hiA, loA);
    SetDouble(b, hi, hiB, loB);
    const long top = std::max(hiA, hiB) + 1;
    const long bottom = std::min(loA, loB) - 1;
    arb_add(a, a, b, std::max<slong>(top - bottom + 64, 64));  // exact
    arb_mul_2exp_si(a, a, -1);
    const int s = Sign(d_->coef, a, top, bottom, work);
    arb_clear(a);
    arb_clear(b);
    return s;
}

BallPolynomial::Local BallPolynomial::Certify(double l, double r) const {
    Local out;
    const Vec& p = d_->coef;
    const slong n = p.len - 1;
    if (!(l > 0.0 && r > l) || n < 1 || p.Zero()) return out;
    // How many terms: the tail after K terms is at most about
    // q^(K+1) / (K+1)! of the sizes' sum, q = n rho / c (each Taylor
    // coefficient of a power x^i at c is at most C(i, k) c^(i-k)).
    const double q = static_cast<double>(n) * (r - l) / (r + l);
    slong K = 0;
    for (double tail = q; tail > kTailGoal; tail *= q / static_cast<double>(K + 2)) {
        if (++K > kMaxTerms) return out;
    }
    K = std::min<slong>(std::max<slong>(K, 2), n);
    const slong prec = kLocalPrec;

    arb_t c, rho, x1, sum, term, t, u;
    arb_init(c);
    arb_init(rho);
    arb_init(x1);
    arb_init(sum);
    arb_init(term);
    arb_init(t);
    arb_init(u);
    arb_set_d(c, l);
    arb_set_d(t, r);
    arb_sub(rho, t, c, ARF_PREC_EXACT);  // r - l, exact
    arb_mul_2exp_si(rho, rho, -1);
    arb_add(c, c, rho, ARF_PREC_EXACT);   // the midpoint, exact
    arb_add(x1, c, rho, ARF_PREC_EXACT);  // r
    arb_ptr a = _arb_vec_init(K + 1);
    arb_ptr s = _arb_vec_init(K + 1);
    Taylor(p, c, K, prec, a);
    Taylor(d_->Abs(), c, K, prec, s);
    // S(x) = sum |c_i| x^i, S' and S'' at c + rho: their Taylor series at c
    // with nonnegative terms bound the tails of p, p' and p'' for every x
    // within rho of c.
    arb_ptr s1 = _arb_vec_init(3);
    Taylor(d_->Abs(), x1, std::min<slong>(2, n), prec, s1);
    arb_mul_2exp_si(s1 + 2, s1 + 2, 1);  // S'' = 2 (S''/2)

    // For derivative order d (0, 1, 2): bound = sum_{k=d+1..K} k!/(k-d)!
    // |a_k| rho^(k-d) + tail_d, tail_d = S^(d)(c + rho) - sum_{k=d..K}
    // k!/(k-d)! s_k rho^(k-d).
    auto bound = [&](slong d, arb_t out) {  // out must not be one of the temporaries
        arb_zero(out);
        arb_zero(sum);  // the first terms of the series of S^(d)
        arb_one(t);     // rho^(k - d)
        for (slong k = d; k <= K; ++k) {
            arb_one(u);
            for (slong i = 0; i < d; ++i) arb_mul_si(u, u, k - i, prec);  // k!/(k-d)!
            arb_mul(u, u, t, prec);
            arb_addmul(sum, u, s + k, prec);
            if (k > d) {
                arb_abs(term, a + k);
                arb_addmul(out, term, u, prec);
            }
            arb_mul(t, t, rho, prec);
        }
        arb_sub(term, s1 + d, sum, prec);
        arb_add(out, out, term, prec);
    };
    arb_t b0;
    arb_init(b0);
    bound(0, b0);
    arb_abs(t, a + 0);
    out.noRoot = arb_gt(t, b0);
    arb_clear(b0);
    if (n >= 1) {
        arb_t b1;
        arb_init(b1);
        bound(1, b1);
        arb_abs(t, a + 1);
        out.monotone = arb_gt(t, b1);
        arb_clear(b1);
    }
    if (n >= 2 && K >= 2) {
        arb_t b2, two;
        arb_init(b2);
        arb_init(two);
        bound(2, b2);
        arb_mul_2exp_si(two, a + 2, 1);
        arb_abs(t, two);
        if (arb_gt(t, b2)) out.convex = arb_is_positive(a + 2) ? 1 : -1;
        arb_clear(b2);
        arb_clear(two);
    }
    _arb_vec_clear(a, K + 1);
    _arb_vec_clear(s, K + 1);
    _arb_vec_clear(s1, 3);
    arb_clear(c);
    arb_clear(rho);
    arb_clear(x1);
    arb_clear(sum);
    arb_clear(term);
    arb_clear(t);
    arb_clear(u);
    return out;
}

bool BallPolynomial::StaysOfSign(double lo, double hi, int s) const {
    // s p is convex on [lo, hi], so it lies above its tangent at lo:
    // s p(x) >= s p(lo) - |p'(lo)| (hi - lo) there.
    arb_t x, v, dv, w;
    arb_init(x);
    arb_init(v);
    arb_init(dv);
    arb_init(w);
    arb_set_d(x, lo);
    Value(d_->coef, x, kLocalPrec, v);
    Value(d_->Deriv(), x, kLocalPrec, dv);
    arb_abs(dv, dv);
    arb_set_d(w, hi);
    arb_sub(w, w, x, ARF_PREC_EXACT);
    arb_mul(dv, dv, w, kLocalPrec);
    if (s < 0) arb_neg(v, v);
    arb_sub(v, v, dv, kLocalPrec);
    const bool positive = arb_is_positive(v);
    arb_clear(x);
    arb_clear(v);
    arb_clear(dv);
    arb_clear(w);
    return positive;
}

}  // namespace valmora
