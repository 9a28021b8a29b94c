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

SplitPolynomial::SplitPolynomial(std::span<const double> coef) {
    n_ = static_cast<int>(coef.size()) - 1;
    c0_ = coef.empty() ? 0.0 : coef[0];
    pq_.assign(2 * coef.size(), 0.0);
    double scaledSum = 0.0;
    for (std::size_t k = 0; k < coef.size(); ++k) {
        if (coef[k] > 0) p_()[k] = coef[k];
        else if (coef[k] < 0) q_()[k] = -coef[k];
        scaledSum += std::fabs(coef[k]) * 0x1p-60;
    }
    const double n = std::max(n_, 1);
    k_ = (4.0 * n + 16.0) * kUnit;
    kTrue_ = (2.0 * n + 8.0) * kUnit;
    // Per term of the reference sum: a subnormal power errs by one unit
    // times |c_k|, a subnormal product by half a unit.
    refSlack_ = 2.0 * (std::ldexp(scaledSum, -1014) * (1.0 + 0x1p-40) + (n + 2.0) * kTiny) + kTiny;
    // Below xLimit every power x^k, k <= n, stays below 2^1020 = DBL_MAX / 8,
    // so no reference term overflows (the reference computes every power,
    // also where the coefficient is 0).
    slackLow_ = 2.0 * (2.0 * n + 2.0) * kTiny + refSlack_;
    xLimit_ = std::ldexp(1.0, 1020 / std::max(n_, 1));
}

double SplitPolynomial::Slack(double x) const {
    if (!(x > 1.0)) return slackLow_;
    // max(1, x)^n below 2^(n (e + 1)), e the binary exponent of x.
    const long e = static_cast<long>(std::bit_cast<std::uint64_t>(x) >> 52) - 1022;
    const long scaled = std::min<long>(2000, static_cast<long>(n_) * e) - 1074;
    if (scaled < -1022)
        return slackLow_ + 2.0 * (2.0 * std::max(n_, 1) + 2.0) * std::ldexp(1.0, static_cast<int>(scaled));
    return slackLow_ +
           2.0 * (2.0 * std::max(n_, 1) + 2.0) *
               (scaled > 1023 ? HUGE_VAL : std::bit_cast<double>(static_cast<std::uint64_t>(scaled + 1023) << 52));
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

void SplitPolynomial::CurvatureBounds(const double* xs, std::size_t count, double* out) const {
    const int m = std::max(n_ - 2, 0);
    if (curvature_.empty()) {
        curvature_.assign(2 * (static_cast<std::size_t>(m) + 1), 0.0);
        for (int k = 2; k <= n_; ++k) curvature_[k - 2] = (k * (k - 1.0)) * (p_()[k] + q_()[k]);
    }
    std::vector<double> zeros(count);
    EvaluateSplit(curvature_.data(), curvature_.data() + m + 1, m, xs, count, out, zeros.data());
    // Horner's error and the rounded coefficients, upward.
    const double grow = 1.0 + (2.0 * m + 16.0) * kUnit;
    for (std::size_t i = 0; i < count; ++i) out[i] = out[i] * grow + Slack(xs[i]);
}

const SplitPolynomial& SplitPolynomial::Derivative() const {
    if (derivative_.empty()) {
        SplitPolynomial d;
        d.n_ = std::max(n_ - 1, 0);
        d.pq_.assign(2 * (static_cast<std::size_t>(d.n_) + 1), 0.0);
        for (int k = 1; k <= n_; ++k) {
            d.p_()[k - 1] = k * p_()[k];
            d.q_()[k - 1] = k * q_()[k];
        }
        d.c0_ = d.p_()[0] - d.q_()[0];
        const double n = std::max(d.n_, 1);
        // The rounded coefficients add one unit to Horner's bound.
        d.kTrue_ = (2.0 * n + 10.0) * kUnit;
        d.k_ = d.kTrue_;
        d.refSlack_ = kTiny;
        d.slackLow_ = 2.0 * (2.0 * n + 2.0) * kTiny + d.refSlack_;
        d.xLimit_ = xLimit_;
        derivative_.push_back(std::move(d));
    }
    return derivative_.front();
}

}  // namespace valmora
