#include "core/solver/moebius_transform.h"

#include "core/solver/exact_data.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace valmora::detail {
namespace {

// x > 0 as m 2^e with m odd.
void OddDyadic(double x, std::uint64_t& m, long& e) {
    int exp = 0;
    const double frac = std::frexp(x, &exp);
    m = static_cast<std::uint64_t>(std::ldexp(frac, 53));
    const int tz = std::countr_zero(m);
    m >>= tz;
    e = exp - 53 + tz;
}

// The smallest t with x <= 2^t, x >= 1.
long CeilLog2(const fmpz_t x) {
    const long bits = static_cast<long>(fmpz_bits(x));
    return static_cast<long>(fmpz_val2(x)) == bits - 1 ? bits - 1 : bits;
}

// The limbs of x >= 0, least significant first.
void LimbsOf(const fmpz_t x, std::vector<Limb>& out) {
    out.clear();
    if (!COEFF_IS_MPZ(*x)) {
        if (*x != 0) out.push_back(static_cast<Limb>(*x));
        return;
    }
    const __mpz_struct* z = COEFF_TO_PTR(*x);
    out.assign(z->_mp_d, z->_mp_d + std::abs(z->_mp_size));
}

}  // namespace

long PositiveRootsSturm(fmpz_poly_t p) {
    // Roots at 0 are not positive: divide them out.
    long zeros = 0;
    while (zeros < fmpz_poly_length(p) && fmpz_is_zero(p->coeffs + zeros)) ++zeros;
    fmpz_poly_shift_right(p, p, zeros);
    const long deg = fmpz_poly_degree(p);
    if (deg <= 0) return 0;
    if (deg == 1) return fmpz_sgn(p->coeffs + 0) != fmpz_sgn(p->coeffs + 1) ? 1 : 0;
    slong neg = 0, pos = 0;
    _fmpz_poly_num_real_roots_sturm(&neg, &pos, p->coeffs, fmpz_poly_length(p));
    return pos;
}

Moebius::Moebius(const ExactData& d) : d_(d) { fmpz_init(tmp_); }

Moebius::~Moebius() { fmpz_clear(tmp_); }

NodeTest Moebius::Test(double l, double r) {
    Build(l, r);
    NodeTest t;
    int last = 0;
    int changes = 0;
    for (long k = 0; k <= d_.n; ++k) {
        const int s = Sign(k);
        if (s == 0) continue;
        if (t.signBelowR == 0) t.signBelowR = s;
        if (last != 0 && s != last) ++changes;
        last = s;
    }
    t.rootAtR = Sign(0) == 0;
    t.variations = std::min(changes, 2);
    return t;
}

int Moebius::SturmCount() {
    fmpz_poly_t p;
    fmpz_poly_init2(p, d_.n + 1);
    std::vector<Limb> mag(static_cast<std::size_t>(width_));
    fmpz_t c;
    fmpz_init(c);
    for (long k = 0; k <= d_.n; ++k) {
        const int s = Sign(k);
        if (s == 0) continue;
        if (s < 0) mpn_neg(mag.data(), C(k), width_);
        else std::copy(C(k), C(k) + width_, mag.data());
        fmpz_set_ui_array(c, mag.data(), width_);
        if (s < 0) fmpz_neg(c, c);
        fmpz_poly_set_coeff_fmpz(p, k, c);
    }
    const long count = PositiveRootsSturm(p);
    fmpz_clear(c);
    fmpz_poly_clear(p);
    return static_cast<int>(count);
}

// a <<= s modulo 2^(64 width).
void Moebius::ShiftLeft(Limb* a, unsigned long s) {
    const long q = static_cast<long>(s / kLimbBits);
    const unsigned r = static_cast<unsigned>(s % kLimbBits);
    if (q >= width_) {
        std::fill(a, a + width_, Limb{0});
        return;
    }
    if (q > 0) {
        std::copy_backward(a, a + width_ - q, a + width_);
        std::fill(a, a + q, Limb{0});
    }
    if (r != 0) mpn_lshift(a + q, a + q, width_ - q, r);
}

// a = c 2^s in two's complement (c 2^s an integer, fits the width).
void Moebius::Load(Limb* a, const fmpz_t c, long s) {
    std::fill(a, a + width_, Limb{0});
    if (fmpz_is_zero(c)) return;
    fmpz_abs(tmp_, c);
    if (s < 0) fmpz_tdiv_q_2exp(tmp_, tmp_, static_cast<ulong>(-s));
    LimbsOf(tmp_, limbs_);
    std::copy(limbs_.begin(), limbs_.end(), a);
    if (s > 0) ShiftLeft(a, static_cast<unsigned long>(s));
    if (fmpz_sgn(c) < 0) mpn_neg(a, a, width_);
}

// In place: a_j += c a_(j+1) for the Taylor shift by c (limbs, c > 0).
void Moebius::TaylorShift(const std::vector<Limb>& c) {
    const long n = d_.n;
    const bool one = c.size() == 1 && c[0] == 1;
    for (long i = n - 1; i >= 0; --i) {
        for (long j = i; j < n; ++j) {
            Limb* aj = C(j);
            const Limb* next = C(j + 1);
            if (one) {
                mpn_add_n(aj, aj, next, width_);
                continue;
            }
            for (long t = 0; t < static_cast<long>(c.size()) && t < width_; ++t)
                mpn_addmul_1(aj + t, next, width_ - t, c[static_cast<std::size_t>(t)]);
        }
    }
}

// The Taylor shift by a one-limb c with coefficient j kept in its own
// width[j] limbs (non-increasing in j): every value coefficient j takes
// on the way fits there, so arithmetic modulo 2^(64 width[j]) is exact;
// a narrower a_(j+1) enters sign-extended. Afterwards every coefficient
// is sign-extended to the full width.
void Moebius::TaylorShiftNarrow(Limb c, const std::vector<long>& width) {
    const long n = d_.n;
    for (long i = n - 1; i >= 0; --i) {
        for (long j = i; j < n; ++j) {
            Limb* aj = C(j);
            const Limb* next = C(j + 1);
            const long w0 = width[static_cast<std::size_t>(j)];
            const long w1 = width[static_cast<std::size_t>(j + 1)];
            const Limb carry = c == 1 ? mpn_add_n(aj, aj, next, w1) : mpn_addmul_1(aj, next, w1, c);
            if (w0 == w1) continue;
            // a_(j+1) = U - 2^(64 w1) when negative: c U came in, c 2^(64 w1) goes out.
            const bool negative = (next[w1 - 1] >> (kLimbBits - 1)) != 0;
            if (!negative) mpn_add_1(aj + w1, aj + w1, w0 - w1, carry);
            else if (carry >= c) mpn_add_1(aj + w1, aj + w1, w0 - w1, carry - c);
            else mpn_sub_1(aj + w1, aj + w1, w0 - w1, c - carry);
        }
    }
    for (long j = 0; j <= n; ++j) {
        Limb* aj = C(j);
        const long w = width[static_cast<std::size_t>(j)];
        const Limb fill = (aj[w - 1] >> (kLimbBits - 1)) != 0 ? ~Limb{0} : Limb{0};
        std::fill(aj + w, aj + width_, fill);
    }
}

// a_k *= w^k.
void Moebius::Scale(const fmpz_t w) {
    if (fmpz_is_one(w)) return;
    const long n = d_.n;
    const long bits = static_cast<long>(fmpz_bits(w));
    if (static_cast<long>(fmpz_val2(w)) == bits - 1) {
        for (long k = 1; k <= n; ++k) ShiftLeft(C(k), static_cast<unsigned long>((bits - 1) * k));
        return;
    }
    std::vector<Limb> wl, power(static_cast<std::size_t>(width_), 0), next, product;
    LimbsOf(w, wl);
    power[0] = 1;
    product.resize(static_cast<std::size_t>(2 * width_));
    next.resize(static_cast<std::size_t>(2 * width_));
    for (long k = 1; k <= n; ++k) {
        // power = w^k modulo 2^(64 width)
        long pn = width_;
        while (pn > 1 && power[static_cast<std::size_t>(pn - 1)] == 0) --pn;
        const long wn = std::min<long>(static_cast<long>(wl.size()), width_);
        if (pn >= wn) mpn_mul(next.data(), power.data(), pn, wl.data(), wn);
        else mpn_mul(next.data(), wl.data(), wn, power.data(), pn);
        std::fill(power.begin(), power.end(), Limb{0});
        std::copy(next.begin(), next.begin() + std::min(pn + wn, width_), power.begin());
        pn = width_;
        while (pn > 1 && power[static_cast<std::size_t>(pn - 1)] == 0) --pn;
        mpn_mul(product.data(), C(k), width_, power.data(), pn);
        std::copy(product.begin(), product.begin() + width_, C(k));
    }
}

// T for (l, r): G(y) = g(l + (r - l) y) scaled to integers, reversed,
// shifted by 1. With l = L 2^e and r = R 2^e the coefficients of
// g(2^e z) are g_k 2^(e k); a power of two is taken out.
void Moebius::Build(double l, double r) {
    const long n = d_.n;
    fmpz_t L, R, W;
    fmpz_init(L);
    fmpz_init(R);
    fmpz_init(W);
    std::uint64_t mr = 0, ml = 0;
    long er = 0, el = 0, e = 0;
    OddDyadic(r, mr, er);
    if (l == 0.0) {
        e = er;
        fmpz_set_ui(R, mr);
    } else {
        OddDyadic(l, ml, el);
        e = std::min(el, er);
        fmpz_set_ui(L, ml);
        fmpz_mul_2exp(L, L, static_cast<ulong>(el - e));
        fmpz_set_ui(R, mr);
        fmpz_mul_2exp(R, R, static_cast<ulong>(er - e));
    }
    fmpz_sub(W, R, L);
    // Shifts s_k, taken down by the least 2-adic valuation v.
    shift_.assign(static_cast<std::size_t>(n + 1), 0);
    long v = std::numeric_limits<long>::max();
    for (long k = 0; k <= n; ++k) {
        const long s = e < 0 ? -e * (n - k) : e * k;
        shift_[static_cast<std::size_t>(k)] = s;
        if (d_.bits[static_cast<std::size_t>(k)] > 0) v = std::min(v, d_.val[static_cast<std::size_t>(k)] + s);
    }
    // Bit bounds: after the shift by L, |P_k| < 2^(M - k lambda + n + 1)
    // with M = max (bits_j + j lambda) and L <= 2^lambda; scaling by W^k
    // adds k omega; the shift by 1 adds n + 1 more, and a sign bit.
    const long lambda = fmpz_is_zero(L) ? 0 : CeilLog2(L);
    const long omega = CeilLog2(W);
    long m = 0;
    for (long k = 0; k <= n; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (d_.bits[i] == 0) continue;
        m = std::max(m, d_.bits[i] + shift_[i] - v + k * lambda);
    }
    const long b3 = m + n + 1 + std::max(0L, n * (omega - lambda));
    const long total = b3 + n + 2;
    width_ = total / kLimbBits + 1;
    buf_.assign(static_cast<std::size_t>((n + 1) * width_), Limb{0});
    for (long k = 0; k <= n; ++k) Load(C(k), d_.g->coeffs + k, shift_[static_cast<std::size_t>(k)] - v);
    if (!fmpz_is_zero(L)) {
        LimbsOf(L, limbs_);
        if (limbs_.size() == 1) {
            // Coefficient j stays below 2^(M - j lambda + n + 1) throughout.
            narrow_.resize(static_cast<std::size_t>(n + 1));
            for (long j = 0; j <= n; ++j)
                narrow_[static_cast<std::size_t>(j)] =
                    std::min(width_, std::max(1L, (m - j * lambda + n + 2) / kLimbBits + 1));
            TaylorShiftNarrow(limbs_[0], narrow_);
        } else {
            const std::vector<Limb> c = limbs_;
            TaylorShift(c);
        }
    }
    Scale(W);
    for (long k = 0; k < n - k; ++k) std::swap_ranges(C(k), C(k) + width_, C(n - k));
    TaylorShift(std::vector<Limb>{1});
    fmpz_clear(L);
    fmpz_clear(R);
    fmpz_clear(W);
}

}  // namespace valmora::detail
