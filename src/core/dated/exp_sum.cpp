#include "core/dated/exp_sum.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace valmora::detail {

namespace {

constexpr int kK = kTaylorOrder;
// Precision of the magnitudes at interval ends (the remainder and the
// dominance test only compare sizes).
constexpr slong kSizePrec = 64;

std::uint64_t Words(slong prec) { return static_cast<std::uint64_t>(prec / 64 + 1); }

// ln |x| for x != 0 of any size, to about double precision.
double LogOfSize(arf_srcptr x) {
    Float m;
    const slong e = fmpz_get_si(ARF_EXPREF(x));
    arf_mul_2exp_si(m.get(), x, -e);  // 1/2 <= |m| < 1
    return std::log(std::fabs(arf_get_d(m.get(), ARF_RND_NEAR))) + static_cast<double>(e) * std::log(2.0);
}

}  // namespace

ExpSum::ExpSum(arb_srcptr coef, std::vector<std::int64_t> exponents, std::int64_t denominator)
    : n_(static_cast<slong>(exponents.size())),
      e_(std::move(exponents)),
      d_(denominator),
      coef_(n_),
      sign_(static_cast<std::size_t>(n_)),
      absHi_(n_),
      absLo_(n_),
      q_(n_),
      radix_(0),
      levels_(0) {
    ChooseRadix();
    moments_.reserve(kK + 1);
    absMoments_.reserve(kK + 2);
    for (int k = 0; k <= kK; ++k) moments_.emplace_back(n_);
    for (int k = 0; k <= kK + 1; ++k) absMoments_.emplace_back(n_);
    logAbs_.reserve(static_cast<std::size_t>(n_));
    tau_.reserve(static_cast<std::size_t>(n_));
    for (slong i = 0; i < n_; ++i) {
        const auto e = static_cast<slong>(e_[static_cast<std::size_t>(i)]);
        arb_set(coef_[i], coef + i);
        sign_[static_cast<std::size_t>(i)] = arb_is_positive(coef_[i]) ? 1 : -1;
        arb_set(moments_[0][i], coef_[i]);
        for (int k = 1; k <= kK; ++k) arb_mul_si(moments_[k][i], moments_[k - 1][i], e, ARF_PREC_EXACT);
        for (int k = 0; k <= kK; ++k) arb_abs(absMoments_[k][i], moments_[k][i]);
        arb_mul_si(absMoments_[kK + 1][i], absMoments_[kK][i], e, ARF_PREC_EXACT);
        arb_get_mag(absHi_[i], coef_[i]);
        arb_get_mag_lower(absLo_[i], coef_[i]);
        logAbs_.push_back(LogOfSize(arb_midref(coef_[i])));
        tau_.push_back(static_cast<double>(e) / static_cast<double>(d_));
    }
    *work_ += static_cast<std::uint64_t>(n_) * (2 * kK + 6);
}

void ExpSum::ChooseRadix() {
    // The fewest multiplications per evaluation: levels * B for the tables
    // and (levels - 1) per term, with B^levels > E_last.
    const auto last = static_cast<double>(e_.back());
    double best = 0;
    for (int levels = 1; levels <= 6; ++levels) {
        auto b = static_cast<std::int64_t>(std::ceil(std::pow(last + 1.0, 1.0 / levels)));
        b = std::max<std::int64_t>(b, 2);
        while (std::pow(static_cast<double>(b), levels) <= last) ++b;
        const double cost = static_cast<double>(levels * b) + static_cast<double>((levels - 1) * n_);
        if (levels == 1 || cost < best) {
            best = cost;
            radix_ = b;
            levels_ = levels;
        }
    }
    tables_ = BallVector(static_cast<slong>(levels_ * radix_));
}

void ExpSum::Powers(arb_srcptr t, slong prec, arb_ptr q) const {
    // w = exp(-t / D), with room for the error of its powers up to E_last
    // (below 2^32); tables[l][k] = w^(k B^l), so that w^E is the product of
    // one entry per digit of E in base B.
    const slong wprec = prec + 32;
    const auto radix = static_cast<slong>(radix_);
    arb_ptr table = tables_.data();
    arb_div_si(table + 1, t, -d_, wprec);
    arb_exp(table + 1, table + 1, wprec);
    for (int l = 0; l < levels_; ++l) {
        arb_ptr row = table + l * radix;
        arb_one(row);
        if (l > 0) arb_mul(row + 1, row - 1, row - radix + 1, wprec);  // w^(B^l) = w^((B-1) B^(l-1)) w^(B^(l-1))
        for (slong k = 2; k < radix; ++k) arb_mul(row + k, row + k - 1, row + 1, wprec);
    }
    for (slong i = 0; i < n_; ++i) {
        std::int64_t e = e_[static_cast<std::size_t>(i)];
        arb_one(q + i);
        bool first = true;
        for (int l = 0; l < levels_ && e > 0; ++l, e /= radix_) {
            const std::int64_t digit = e % radix_;
            if (digit == 0) continue;
            arb_srcptr entry = table + l * radix + digit;
            if (first) arb_set_round(q + i, entry, prec);
            else arb_mul(q + i, q + i, entry, prec);
            first = false;
        }
    }
    *work_ += static_cast<std::uint64_t>(n_ + levels_ * radix) * Words(prec);
}

void ExpSum::Derivatives(arb_srcptr t, int kmax, slong prec, arb_ptr out) const {
    Powers(t, prec, q_.data());
    for (int k = 0; k <= kmax; ++k) {
        arb_dot(out + k, nullptr, 0, moments_[k].data(), 1, q_.data(), 1, n_, prec);
        for (int j = 0; j < k; ++j) arb_div_si(out + k, out + k, -d_, prec);
    }
    *work_ += static_cast<std::uint64_t>(n_) * static_cast<std::uint64_t>(kmax + 1) * Words(prec);
}

void ExpSum::WeightedSum(arb_srcptr t, const BallVector& w, slong prec, arb_ptr out) const {
    Powers(t, prec, q_.data());
    arb_dot(out, nullptr, 0, w.data(), 1, q_.data(), 1, n_, prec);
    *work_ += static_cast<std::uint64_t>(n_) * Words(prec);
}

void ExpSum::Expand(double a, double b, slong prec, Expansion& e) const {
    static_assert(kK % 2 == 1, "the remainder's moment |E - R|^(K+1) must be an even power");
    e.a = a;
    e.b = b;
    e.c = a + (b - a) / 2.0;
    e.order = kK;
    Ball x, y, z;
    arb_set_d(x.get(), e.c);
    Powers(x.get(), prec, q_.data());
    // Raw moments sum c_i E_i^j q_i (j <= K) and sum |c_i| E_i^j q_i
    // (j <= K + 1).
    BallVector raw(kK + 1), abs(kK + 2);
    for (int j = 0; j <= kK + 1; ++j) {
        if (j <= kK) arb_dot(raw[j], nullptr, 0, moments_[j].data(), 1, q_.data(), 1, n_, prec);
        arb_dot(abs[j], nullptr, 0, absMoments_[j].data(), 1, q_.data(), 1, n_, prec);
    }
    *work_ += static_cast<std::uint64_t>(n_) * static_cast<std::uint64_t>(2 * kK + 3) * Words(prec);
    // The expansion of e^(R t / D) h(t), which has the roots of h with
    // their multiplicities, R the mean exponent weighted by the terms'
    // sizes at c: where a few terms outweigh the rest, e^(R t / D) nearly
    // cancels their growth and the expansion holds over a longer stretch.
    arb_div(y.get(), abs[1], abs[0], kSizePrec);
    double mean = arf_get_d(arb_midref(y.get()), ARF_RND_NEAR);
    if (!std::isfinite(mean)) mean = 0.0;
    const auto r = static_cast<slong>(std::clamp(std::round(mean), 0.0, static_cast<double>(e_.back())));
    // h~^(k)(c) = (-1/D)^k sum_j C(k, j) (-R)^(k-j) raw_j (times e^(R c / D),
    // left out of every term alike).
    for (int k = 0; k <= kK; ++k) {
        arb_zero(e.h[k]);
        for (int j = 0; j <= k; ++j) {
            arb_bin_uiui(z.get(), static_cast<ulong>(k), static_cast<ulong>(j), prec);
            for (int i = j; i < k; ++i) arb_mul_si(z.get(), z.get(), -r, prec);
            arb_addmul(e.h[k], z.get(), raw[j], prec);
        }
        for (int i = 0; i < k; ++i) arb_div_si(e.h[k], e.h[k], -d_, prec);
    }
    Radius(e);
    // |h~^(K+1)(t)| <= sum |c_i| |tau_i - R/D|^(K+1) exp(-(tau_i - R/D) t),
    // and the exponential is at most its value at c times
    // exp(max |tau_i - R/D| |t - c|).
    arb_zero(y.get());
    for (int j = 0; j <= kK + 1; ++j) {
        arb_bin_uiui(z.get(), static_cast<ulong>(kK + 1), static_cast<ulong>(j), prec);
        for (int i = j; i < kK + 1; ++i) arb_mul_si(z.get(), z.get(), -r, prec);
        arb_addmul(y.get(), z.get(), abs[j], prec);
    }
    for (int i = 0; i <= kK; ++i) arb_div_si(y.get(), y.get(), d_, prec);
    arb_get_mag(e.bound.get(), y.get());
    Grow(e, r);
}

void ExpSum::ExpandDeep(double a, double b, slong prec, Expansion& e) const {
    e.a = a;
    e.b = b;
    e.c = a + (b - a) / 2.0;
    e.order = kDeepOrder;
    Ball x, v, s0, s1;
    arb_set_d(x.get(), e.c);
    Powers(x.get(), prec, q_.data());
    arb_dot(s0.get(), nullptr, 0, absMoments_[0].data(), 1, q_.data(), 1, n_, kSizePrec);
    arb_dot(s1.get(), nullptr, 0, absMoments_[1].data(), 1, q_.data(), 1, n_, kSizePrec);
    const slong r = Center(s0.get(), s1.get());
    // Term by term: c_i q_i (E_i - R)^k for k <= K, and the sizes
    // |c_i| q_i |E_i - R|^(K+1).
    for (int k = 0; k <= kDeepOrder; ++k) arb_zero(e.h[k]);
    Magnitude top, m;
    for (slong i = 0; i < n_; ++i) {
        const slong d = static_cast<slong>(e_[static_cast<std::size_t>(i)]) - r;
        arb_mul(v.get(), coef_[i], q_[i], prec);
        arb_add(e.h[0], e.h[0], v.get(), prec);
        for (int k = 1; k <= kDeepOrder; ++k) {
            arb_mul_si(v.get(), v.get(), d, prec);
            arb_add(e.h[k], e.h[k], v.get(), prec);
        }
        arb_get_mag(m.get(), v.get());
        mag_mul_ui(m.get(), m.get(), static_cast<ulong>(d < 0 ? -d : d));
        mag_add(top.get(), top.get(), m.get());
    }
    *work_ += static_cast<std::uint64_t>(n_) * static_cast<std::uint64_t>(2 * kDeepOrder + 4) * Words(prec);
    for (int k = 1; k <= kDeepOrder; ++k)
        for (int i = 0; i < k; ++i) arb_div_si(e.h[k], e.h[k], -d_, prec);
    Radius(e);
    arb_zero(v.get());
    arb_add_error_mag(v.get(), top.get());
    for (int i = 0; i <= kDeepOrder; ++i) arb_div_si(v.get(), v.get(), d_, kSizePrec);
    arb_get_mag(e.bound.get(), v.get());
    Grow(e, r);
}

slong ExpSum::Center(arb_srcptr sizes, arb_srcptr weighted) const {
    Ball y;
    arb_div(y.get(), weighted, sizes, kSizePrec);
    double mean = arf_get_d(arb_midref(y.get()), ARF_RND_NEAR);
    if (!std::isfinite(mean)) mean = 0.0;
    return static_cast<slong>(std::clamp(std::round(mean), 0.0, static_cast<double>(e_.back())));
}

void ExpSum::Radius(Expansion& e) const {
    // The larger of c - a and b - c, both exact.
    Ball x, y;
    arb_set_d(x.get(), e.c);
    arb_set_d(y.get(), e.a);
    arb_sub(y.get(), x.get(), y.get(), ARF_PREC_EXACT);
    arb_get_mag(e.radius.get(), y.get());
    arb_set_d(y.get(), e.b);
    arb_sub(y.get(), y.get(), x.get(), ARF_PREC_EXACT);
    Magnitude m;
    arb_get_mag(m.get(), y.get());
    mag_max(e.radius.get(), e.radius.get(), m.get());
}

void ExpSum::Grow(Expansion& e, slong r) const {
    // Over [a, b] each exp(-(tau_i - R/D) t) is at most its value at c
    // times exp(max |tau_i - R/D| |t - c|).
    Ball x;
    Magnitude m;
    arb_zero(x.get());
    arb_add_error_mag(x.get(), e.radius.get());
    arb_mul_si(x.get(), x.get(), std::max<slong>(r, static_cast<slong>(e_.back()) - r), kSizePrec);
    arb_div_si(x.get(), x.get(), d_, kSizePrec);
    arb_get_mag(m.get(), x.get());
    mag_exp(m.get(), m.get());
    mag_mul(e.bound.get(), e.bound.get(), m.get());
}

int ExpSum::ZeroFreeOrder(const Expansion& e, bool* limited, bool* remainder) const {
    const int order = e.order;
    const slong prec = 64;
    Ball rhs, term, rad, pow;
    Magnitude lhs, rhsMag, mid;
    arb_zero(rad.get());
    arb_add_error_mag(rad.get(), e.radius.get());
    arb_get_ubound_arf(arb_midref(rad.get()), rad.get(), prec);  // rad as an exact upper bound
    mag_zero(arb_radref(rad.get()));
    if (limited != nullptr) *limited = false;
    if (remainder != nullptr) *remainder = false;
    for (int j = 0; j <= order; ++j) {
        // sum over k > j of |h^(k)(c)| rad^(k-j) / (k-j)!, and the
        // remainder bound rad^(K+1-j) / (K+1-j)!.
        arb_zero(rhs.get());
        arb_one(pow.get());
        for (int k = j + 1; k <= order + 1; ++k) {
            arb_mul(pow.get(), pow.get(), rad.get(), prec);
            arb_div_ui(pow.get(), pow.get(), static_cast<ulong>(k - j), prec);
            if (k <= order) {
                arb_abs(term.get(), e.h[k]);
            } else {
                arf_set_mag(arb_midref(term.get()), e.bound.get());
                mag_zero(arb_radref(term.get()));
            }
            arb_addmul(rhs.get(), term.get(), pow.get(), prec);
        }
        arb_get_mag(rhsMag.get(), rhs.get());
        arb_get_mag_lower(lhs.get(), e.h[j]);
        if (mag_cmp(lhs.get(), rhsMag.get()) > 0) return j;
        if (limited != nullptr && j <= 1) {
            arf_get_mag(mid.get(), arb_midref(e.h[j]));
            mag_mul_2exp_si(rhsMag.get(), rhsMag.get(), 1);
            if (mag_cmp(mid.get(), rhsMag.get()) > 0) *limited = true;
        }
        if (remainder != nullptr && j <= 1) {
            // The remainder's part alone: the last term added.
            arb_mul(term.get(), term.get(), pow.get(), prec);
            arb_get_mag(rhsMag.get(), term.get());
            mag_mul_2exp_si(rhsMag.get(), rhsMag.get(), 1);
            if (mag_cmp(rhsMag.get(), lhs.get()) > 0) *remainder = true;
        }
    }
    return -1;
}

int ExpSum::SignFromExpansion(const Expansion& e, double x) const {
    const slong prec = 128;
    Ball s, v, pow, fact;
    arb_set_d(s.get(), x);
    arb_set_d(v.get(), e.c);
    arb_sub(s.get(), s.get(), v.get(), ARF_PREC_EXACT);
    arb_zero(v.get());
    arb_one(pow.get());
    for (int k = 0; k <= e.order; ++k) {
        if (k > 0) {
            arb_mul(pow.get(), pow.get(), s.get(), prec);
            arb_div_ui(pow.get(), pow.get(), static_cast<ulong>(k), prec);
        }
        arb_addmul(v.get(), e.h[k], pow.get(), prec);
    }
    arb_mul(pow.get(), pow.get(), s.get(), prec);
    arb_div_ui(pow.get(), pow.get(), static_cast<ulong>(e.order + 1), prec);
    Magnitude m;
    arb_get_mag(m.get(), pow.get());
    mag_mul(m.get(), m.get(), e.bound.get());
    arb_add_error_mag(v.get(), m.get());
    if (arb_is_positive(v.get())) return 1;
    if (arb_is_negative(v.get())) return -1;
    return 0;
}

bool ExpSum::Dominated(double a, double b) const {
    if (qa_.size() != n_) {
        qa_ = BallVector(n_);
        qb_ = BallVector(n_);
        for (auto& v : scratch_) v.Resize(n_);
    }
    Ball t;
    arb_set_d(t.get(), a);
    Powers(t.get(), kSizePrec, qa_.data());
    arb_set_d(t.get(), b);
    Powers(t.get(), kSizePrec, qb_.data());
    // With u_i(x) = exp(-tau_i x): for i > j the ratio u_i / u_j falls on
    // [a, b] (largest at a, smallest at b), for i < j it rises. h > 0 on
    // [a, b] when, multiplied through by u_j(a) u_j(b),
    //   sum_{i>j, c_i>0} |c_i| u_i(b) u_j(a) + sum_{i<j, c_i>0} |c_i| u_i(a) u_j(b) + c_j^+ u_j(a) u_j(b)
    // exceeds
    //   sum_{i>j, c_i<0} |c_i| u_i(a) u_j(b) + sum_{i<j, c_i<0} |c_i| u_i(b) u_j(a) + c_j^- u_j(a) u_j(b);
    // and h < 0 likewise with the signs exchanged. Lower bounds on the
    // left, upper bounds on the right.
    MagVector& uaHi = scratch_[0];
    MagVector& uaLo = scratch_[1];
    MagVector& ubHi = scratch_[2];
    MagVector& ubLo = scratch_[3];
    for (slong i = 0; i < n_; ++i) {
        arb_get_mag(uaHi[i], qa_[i]);
        arb_get_mag_lower(uaLo[i], qa_[i]);
        arb_get_mag(ubHi[i], qb_[i]);
        arb_get_mag_lower(ubLo[i], qb_[i]);
    }
    // Prefix sums over i < j: of the positive terms at a (low) and at b
    // (high), of the negative terms at a (low) and at b (high).
    MagVector& prePosALo = scratch_[4];
    MagVector& prePosBHi = scratch_[5];
    MagVector& preNegALo = scratch_[6];
    MagVector& preNegBHi = scratch_[7];
    Magnitude p1, p2, p3, p4, x;
    for (slong j = 0; j < n_; ++j) {
        mag_set(prePosALo[j], p1.get());
        mag_set(prePosBHi[j], p2.get());
        mag_set(preNegALo[j], p3.get());
        mag_set(preNegBHi[j], p4.get());
        if (sign_[static_cast<std::size_t>(j)] > 0) {
            mag_mul_lower(x.get(), absLo_[j], uaLo[j]);
            mag_add_lower(p1.get(), p1.get(), x.get());
            mag_mul(x.get(), absHi_[j], ubHi[j]);
            mag_add(p2.get(), p2.get(), x.get());
        } else {
            mag_mul_lower(x.get(), absLo_[j], uaLo[j]);
            mag_add_lower(p3.get(), p3.get(), x.get());
            mag_mul(x.get(), absHi_[j], ubHi[j]);
            mag_add(p4.get(), p4.get(), x.get());
        }
    }
    // Suffix sums over i > j: positive terms at b (low) and a (high),
    // negative terms at b (low) and a (high).
    Magnitude sPosBLo, sPosAHi, sNegBLo, sNegAHi, lhs, rhs, own;
    for (slong j = n_ - 1; j >= 0; --j) {
        const bool pos = sign_[static_cast<std::size_t>(j)] > 0;
        // h > 0?
        mag_mul_lower(lhs.get(), sPosBLo.get(), uaLo[j]);
        mag_mul_lower(x.get(), prePosALo[j], ubLo[j]);
        mag_add_lower(lhs.get(), lhs.get(), x.get());
        mag_mul(rhs.get(), sNegAHi.get(), ubHi[j]);
        mag_mul(x.get(), preNegBHi[j], uaHi[j]);
        mag_add(rhs.get(), rhs.get(), x.get());
        if (pos) {
            mag_mul_lower(own.get(), absLo_[j], uaLo[j]);
            mag_mul_lower(own.get(), own.get(), ubLo[j]);
            mag_add_lower(lhs.get(), lhs.get(), own.get());
        } else {
            mag_mul(own.get(), absHi_[j], uaHi[j]);
            mag_mul(own.get(), own.get(), ubHi[j]);
            mag_add(rhs.get(), rhs.get(), own.get());
        }
        if (mag_cmp(lhs.get(), rhs.get()) > 0) return true;
        // h < 0?
        mag_mul_lower(lhs.get(), sNegBLo.get(), uaLo[j]);
        mag_mul_lower(x.get(), preNegALo[j], ubLo[j]);
        mag_add_lower(lhs.get(), lhs.get(), x.get());
        mag_mul(rhs.get(), sPosAHi.get(), ubHi[j]);
        mag_mul(x.get(), prePosBHi[j], uaHi[j]);
        mag_add(rhs.get(), rhs.get(), x.get());
        if (!pos) {
            mag_mul_lower(own.get(), absLo_[j], uaLo[j]);
            mag_mul_lower(own.get(), own.get(), ubLo[j]);
            mag_add_lower(lhs.get(), lhs.get(), own.get());
        } else {
            mag_mul(own.get(), absHi_[j], uaHi[j]);
            mag_mul(own.get(), own.get(), ubHi[j]);
            mag_add(rhs.get(), rhs.get(), own.get());
        }
        if (mag_cmp(lhs.get(), rhs.get()) > 0) return true;
        // Move term j into the suffix sums.
        if (pos) {
            mag_mul_lower(x.get(), absLo_[j], ubLo[j]);
            mag_add_lower(sPosBLo.get(), sPosBLo.get(), x.get());
            mag_mul(x.get(), absHi_[j], uaHi[j]);
            mag_add(sPosAHi.get(), sPosAHi.get(), x.get());
        } else {
            mag_mul_lower(x.get(), absLo_[j], ubLo[j]);
            mag_add_lower(sNegBLo.get(), sNegBLo.get(), x.get());
            mag_mul(x.get(), absHi_[j], uaHi[j]);
            mag_add(sNegAHi.get(), sNegAHi.get(), x.get());
        }
    }
    return false;
}

ExpSum::Guide ExpSum::Approximate(double t, slong from) const {
    Guide g;
    g.scale = -INFINITY;
    for (slong i = from; i < n_; ++i)
        g.scale = std::fmax(g.scale, logAbs_[static_cast<std::size_t>(i)] - tau_[static_cast<std::size_t>(i)] * t);
    for (slong i = from; i < n_; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const double term = sign_[k] * std::exp(logAbs_[k] - tau_[k] * t - g.scale);
        g.value += term;
        g.slope -= tau_[k] * term;
    }
    *work_ += static_cast<std::uint64_t>(n_ - from) / 2;
    return g;
}

int ExpSum::MomentSign(int k) const {
    Ball s, term;
    arb_zero(s.get());
    for (slong i = 0; i < n_; ++i) {
        arb_set(term.get(), coef_[i]);
        for (int j = 0; j < k; ++j)
            arb_mul_si(term.get(), term.get(), static_cast<slong>(e_[static_cast<std::size_t>(i)]), ARF_PREC_EXACT);
        arb_add(s.get(), s.get(), term.get(), ARF_PREC_EXACT);
    }
    *work_ += static_cast<std::uint64_t>(n_) * static_cast<std::uint64_t>(k + 1);
    return arb_is_zero(s.get()) ? 0 : (arb_is_positive(s.get()) ? 1 : -1);
}

}  // namespace valmora::detail
