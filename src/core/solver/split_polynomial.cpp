#include "core/solver/split_polynomial.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cfloat>
#include <cmath>

namespace valmora {
namespace {

// The two halves' polynomials of degree m, by Horner, at x.
void HornerPair(const double* pc, const double* qc, int m, double x, double& P, double& Q) {
    double p = pc[m], q = qc[m];
    for (int k = m - 1; k >= 0; --k) {
        p = p * x + pc[k];
        q = q * x + qc[k];
    }
    P = p;
    Q = q;
}

constexpr double kUnit = 0x1p-53;    // unit roundoff
constexpr double kTiny = 0x1p-1074;  // smallest subnormal

}  // namespace

namespace {

// 2^e for -1074 <= e <= 1023, exactly.
double TwoTo(int e) {
    if (e >= -1022) return std::bit_cast<double>(static_cast<std::uint64_t>(e + 1023) << 52);
    return std::bit_cast<double>(std::uint64_t{1} << (e + 1074));
}

// A point up to which every power std::pow(x, k), k <= n, is finite (the
// reference computes every power, also where the coefficient is 0): the
// largest L found with std::pow(L, n) <= M = 2^1024 - 2^976. With std::pow
// within 1 ulp (2^971 there), every 1 <= x <= L has
// x^k <= L^n <= M + 2^971, so std::pow(x, k) <= M + 2^972 < DBL_MAX. L
// lies within about a relative 2^-48 / n of where x^n overflows, so few
// grid points lie between them.
double PowerLimitOf(int n) {
    constexpr double kMost = 0x1.ffffffffffffp1023;
    const double dn = n;
    auto fits = [&](double x) { return std::pow(x, dn) <= kMost; };
    double lo = std::exp2(1023.0 / dn);
    double hi = std::min(std::exp2(1024.0 / dn) * (1.0 + 0x1p-30), DBL_MAX);
    if (!fits(lo)) return 1.0;  // not reached: lo^n is about 2^1023
    if (fits(hi)) return hi;
    // Bisect on the bit patterns: positive doubles order as their bits.
    auto lb = std::bit_cast<std::uint64_t>(lo), hb = std::bit_cast<std::uint64_t>(hi);
    while (hb - lb > 1) {
        const std::uint64_t mid = lb + (hb - lb) / 2;
        if (fits(std::bit_cast<double>(mid))) lb = mid;
        else hb = mid;
    }
    return std::bit_cast<double>(lb);
}

// The same, remembered per thread for the last degree asked: a run of
// series of one length finds it once.
double PowerLimit(int n) {
    thread_local int lastN = 0;
    thread_local double lastLimit = 0.0;
    if (n != lastN) {
        lastLimit = PowerLimitOf(n);
        lastN = n;
    }
    return lastLimit;
}

}  // namespace

bool SplitPolynomial::Holds(std::span<const double> coef) const {
    if (coef.size() != coef_.size()) return false;
    for (std::size_t k = 0; k < coef.size(); ++k)
        if (std::bit_cast<std::uint64_t>(coef[k]) != std::bit_cast<std::uint64_t>(coef_[k])) return false;
    return true;
}

const SplitPolynomial& SplitPolynomial::Shared(std::span<const double> coef) {
    thread_local SplitPolynomial split(std::span<const double>{});
    if (!split.Holds(coef)) split.Reset(coef);
    return split;
}

void SplitPolynomial::Reset(std::span<const double> coef) {
    coef_.assign(coef.begin(), coef.end());
    n_ = static_cast<int>(coef.size()) - 1;
    const std::size_t terms = coef.size();
    const std::size_t curveTerms = terms > 2 ? terms - 2 : 1;
    const std::size_t derivTerms = terms > 1 ? terms - 1 : 1;
    const std::size_t need = 2 * terms + 2 * curveTerms + 2 * derivTerms;
    if (need <= std::size(inline_)) {
        pq_ = inline_;
    } else {
        heap_.resize(need);
        pq_ = heap_.data();
    }
    double scaledSum = 0.0;
    for (std::size_t k = 0; k < terms; ++k) {
        p_()[k] = coef[k] > 0 ? coef[k] : 0.0;
        q_()[k] = coef[k] < 0 ? -coef[k] : 0.0;
        scaledSum += std::fabs(coef[k]) * 0x1p-60;
    }
    double* curve = pq_ + 2 * terms;
    curve[0] = curve[curveTerms] = 0.0;
    for (std::size_t k = 2; k < terms; ++k) {
        curve[k - 2] = (static_cast<double>(k) * (k - 1.0)) * p_()[k];
        curve[curveTerms + k - 2] = (static_cast<double>(k) * (k - 1.0)) * q_()[k];
    }
    double* dp = curve + 2 * curveTerms;
    double* dq = dp + derivTerms;
    dp[0] = dq[0] = 0.0;
    for (std::size_t k = 1; k < terms; ++k) {
        dp[k - 1] = static_cast<double>(k) * p_()[k];
        dq[k - 1] = static_cast<double>(k) * q_()[k];
    }
    const double n = std::max(n_, 1);
    // The relative bounds, against P + Q as computed; u = 2^-53, n <= 32766
    // so that n u < 2^-37 and every second-order term is below u.
    //
    // kTrue_: Horner's rule on nonnegative coefficients at x >= 0 makes n
    // multiplications and n additions, each rounded once, so the computed P
    // is P (1 + t) with |t| <= gamma_2n = 2n u / (1 - 2n u) (Higham,
    // Accuracy and Stability of Numerical Algorithms, 2nd ed., 5.1; all
    // terms nonnegative), the same for Q, and against the computed values
    // at most (2n + 1) u. The final P - Q adds u (P + Q). (2n + 8) u leaves
    // 5 u for the rounding of the bound's own product and sum (2 u).
    kTrue_ = (2.0 * n + 8.0) * kUnit;
    // k_: also the per-term sum of the reference: each power within 1 ulp
    // (2 u; glibc's pow is within 0.54 ulp, ExactPowers gives the same
    // doubles), each product one rounding (u), n additions of partial sums
    // no larger than P + Q (n u): (n + 3) u (P + Q) from f. With Horner's
    // (2n + 2) u that is (3n + 5) u; (4n + 16) u leaves n + 11 units.
    k_ = (4.0 * n + 16.0) * kUnit;
    // kDeriv_: Horner on k p_k, whose coefficients are rounded products
    // themselves: one unit more than kTrue_, and a unit of room.
    kDeriv_ = (2.0 * n + 10.0) * kUnit;
    // kCurve_: k (k - 1) p_k, the integer k (k - 1) exact, one rounding;
    // with the bound's rounding on both ends of the stretch it is used on,
    // (2n + 16) u keeps the same room.
    kCurve_ = (2.0 * n + 16.0) * kUnit;
    // refSlack_: underflow in the reference sum, which the relative bound
    // does not see. A power that underflows errs by at most one unit of
    // 2^-1074, times |c_k| after the product; a subnormal product by half a
    // unit; an addition of subnormals is exact. Summed: 2^-1074 sum |c_k|
    // (computed as (sum |c_k| 2^-60) 2^-1014 so that it cannot overflow,
    // with 2^-40 for its rounding) plus (n + 1) half-units, doubled for
    // room, plus one unit for the rounding of this sum. (A product with a
    // power of two rounds as ldexp does, inside the same bound.)
    refSlack_ = 2.0 * ((scaledSum * 0x1p-1014) * (1.0 + 0x1p-40) + (n + 2.0) * kTiny) + kTiny;
    // Horner on nonnegative data at x <= 1: each of its 2n operations on a
    // subnormal errs by at most half a unit, and later multiplications by
    // x <= 1 only shrink that; counted twice for room.
    hornerSlack_ = 2.0 * (2.0 * n + 2.0) * kTiny;
    slackLow_ = hornerSlack_ + refSlack_;
    // Above x = 1 the same 2n + 2 underflow errors of Horner's rule are
    // multiplied by up to x^n on the way out (SlackAbove1 bounds x^n by a
    // power of two); doubled for room.
    slackUnit_ = 2.0 * (2.0 * n + 2.0);
    xLimit_ = PowerLimit(std::max(n_, 1));
}

double SplitPolynomial::SlackAbove1(double x) const {
    // max(1, x)^n below 2^(n (e + 1)), e the binary exponent of x.
    const long e = static_cast<long>(std::bit_cast<std::uint64_t>(x) >> 52) - 1022;
    const long scaled = std::min<long>(2000, static_cast<long>(n_) * e) - 1074;
    if (scaled > 1023) return HUGE_VAL;
    return slackLow_ + slackUnit_ * TwoTo(static_cast<int>(scaled));
}

void SplitPolynomial::EvaluateOne(double x, double& P, double& Q) const { HornerPair(p_(), q_(), n_, x, P, Q); }

void SplitPolynomial::EvaluateDerivativeOne(double x, double& P1, double& Q1) const {
    HornerPair(dp_(), dq_(), std::max(n_ - 1, 0), x, P1, Q1);
}

}  // namespace valmora
