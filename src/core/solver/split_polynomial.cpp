#include "core/solver/split_polynomial.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cfloat>
#include <cmath>

namespace valmora {
namespace {

constexpr double kUnit = 0x1p-53;    // unit roundoff
constexpr double kTiny = 0x1p-1074;  // smallest subnormal

}  // namespace

namespace {

// 2^e for -1074 <= e <= 1023, exactly.
double TwoTo(int e) {
    if (e >= -1022) return std::bit_cast<double>(static_cast<std::uint64_t>(e + 1023) << 52);
    return std::bit_cast<double>(std::uint64_t{1} << (e + 1074));
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
    c0_ = coef.empty() ? 0.0 : coef[0];
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
    k_ = (4.0 * n + 16.0) * kUnit;
    kTrue_ = (2.0 * n + 8.0) * kUnit;
    // The rounded coefficients k p_k add one unit to Horner's bound.
    kDeriv_ = (2.0 * n + 10.0) * kUnit;
    kCurve_ = (2.0 * n + 16.0) * kUnit;
    // Per term of the reference sum: a subnormal power errs by one unit
    // times |c_k|, a subnormal product by half a unit. (A product with a
    // power of two rounds as ldexp does.)
    refSlack_ = 2.0 * ((scaledSum * 0x1p-1014) * (1.0 + 0x1p-40) + (n + 2.0) * kTiny) + kTiny;
    // Below xLimit every power x^k, k <= n, stays below 2^1020 = DBL_MAX / 8,
    // so no reference term overflows (the reference computes every power,
    // also where the coefficient is 0).
    slackLow_ = 2.0 * (2.0 * n + 2.0) * kTiny + refSlack_;
    slackUnit_ = 2.0 * (2.0 * n + 2.0);
    xLimit_ = TwoTo(1020 / std::max(n_, 1));
}

double SplitPolynomial::SlackAbove1(double x) const {
    // max(1, x)^n below 2^(n (e + 1)), e the binary exponent of x.
    const long e = static_cast<long>(std::bit_cast<std::uint64_t>(x) >> 52) - 1022;
    const long scaled = std::min<long>(2000, static_cast<long>(n_) * e) - 1074;
    if (scaled > 1023) return HUGE_VAL;
    return slackLow_ + slackUnit_ * TwoTo(static_cast<int>(scaled));
}

void SplitPolynomial::EvaluateOne(double x, double& P, double& Q) const {
    const double* pc = p_();
    const double* qc = q_();
    double p = pc[n_], q = qc[n_];
    for (int k = n_ - 1; k >= 0; --k) {
        p = p * x + pc[k];
        q = q * x + qc[k];
    }
    P = p;
    Q = q;
}

int SplitPolynomial::TrueStretchSign(double a, double b, double Pa, double Qa, double Pb, double Qb) const {
    if (!(a <= b)) return 0;
    const double s = Pb + Qb;
    if (!(s <= kFiniteMargin)) return 0;
    const double bound = kTrue_ * s + Slack(b);
    if (Pa - Qb > bound) return 1;
    if (Qa - Pb > bound) return -1;
    return 0;
}

void SplitPolynomial::EvaluateDerivativeOne(double x, double& P1, double& Q1) const {
    const int m = std::max(n_ - 1, 0);
    const double* pc = dp_();
    const double* qc = dq_();
    double p = pc[m], q = qc[m];
    for (int k = m - 1; k >= 0; --k) {
        p = p * x + pc[k];
        q = q * x + qc[k];
    }
    P1 = p;
    Q1 = q;
}

}  // namespace valmora
