#include "core/solver/split_polynomial.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace valmora {
namespace {

constexpr double kUnit = 0x1p-53;      // unit roundoff
constexpr double kTiny = 0x1p-1074;    // smallest subnormal
constexpr double kFiniteMargin = DBL_MAX / 16;

}  // namespace

SplitPolynomial::SplitPolynomial(std::span<const double> coef) {
    n_ = static_cast<int>(coef.size()) - 1;
    c0_ = coef.empty() ? 0.0 : coef[0];
    p_.assign(coef.size(), 0.0);
    q_.assign(coef.size(), 0.0);
    double scaledSum = 0.0;
    for (std::size_t k = 0; k < coef.size(); ++k) {
        if (coef[k] > 0) p_[k] = coef[k];
        else if (coef[k] < 0) q_[k] = -coef[k];
        scaledSum += std::fabs(coef[k]) * 0x1p-60;
    }
    const double n = std::max(n_, 1);
    k_ = (4.0 * n + 16.0) * kUnit;
    kTrue_ = (2.0 * n + 8.0) * kUnit;
    // Per term of the reference sum: a subnormal power errs by one unit
    // times |c_k|, a subnormal product by half a unit.
    refSlack_ = 2.0 * (std::ldexp(scaledSum, -1014) * (1.0 + 0x1p-40) + (n + 2.0) * kTiny) + kTiny;
    // Below xLimit every power x^k, k <= n, stays below DBL_MAX / 8, so no
    // reference term overflows (the reference computes every power, also
    // where the coefficient is 0).
    xLimit_ = n_ >= 1 ? std::pow(DBL_MAX / 8, 1.0 / n_) * (1.0 - 0x1p-40) : DBL_MAX / 8;
}

double SplitPolynomial::Slack(double x) const {
    const double terms = 2.0 * std::max(n_, 1) + 2.0;
    if (!(x > 1.0)) return 2.0 * terms * kTiny + refSlack_;
    // max(1, x)^n below 2^(n (e + 1)).
    const int e = std::ilogb(x) + 1;
    return 2.0 * terms * std::ldexp(1.0, static_cast<int>(std::min<long>(2000, static_cast<long>(n_) * e)) - 1074) +
           refSlack_;
}

void SplitPolynomial::EvaluateOne(double x, double& P, double& Q) const {
    double p = p_[n_], q = q_[n_];
    for (int k = n_ - 1; k >= 0; --k) {
        p = p * x + p_[k];
        q = q * x + q_[k];
    }
    P = p;
    Q = q;
}

int SplitPolynomial::PointSign(double x, double P, double Q) const {
    if (!(x <= xLimit_)) return 0;
    const double s = P + Q;
    if (!(s <= kFiniteMargin)) return 0;
    const double d = P - Q;
    const double bound = k_ * s + Slack(x);
    if (d > bound) return 1;
    if (-d > bound) return -1;
    return 0;
}

int SplitPolynomial::StretchSign(double a, double b, double Pa, double Qa, double Pb, double Qb) const {
    if (!(b <= xLimit_) || !(a <= b)) return 0;
    const double s = Pb + Qb;
    if (!(s <= kFiniteMargin)) return 0;
    const double bound = k_ * s + Slack(b);
    if (Pa - Qb > bound) return 1;
    if (Qa - Pb > bound) return -1;
    return 0;
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

const SplitPolynomial& SplitPolynomial::Derivative() const {
    if (derivative_.empty()) {
        SplitPolynomial d;
        d.n_ = std::max(n_ - 1, 0);
        d.p_.assign(static_cast<std::size_t>(d.n_) + 1, 0.0);
        d.q_.assign(static_cast<std::size_t>(d.n_) + 1, 0.0);
        for (int k = 1; k <= n_; ++k) {
            d.p_[k - 1] = k * p_[k];
            d.q_[k - 1] = k * q_[k];
        }
        d.c0_ = d.p_[0] - d.q_[0];
        const double n = std::max(d.n_, 1);
        // The rounded coefficients add one unit to Horner's bound.
        d.kTrue_ = (2.0 * n + 10.0) * kUnit;
        d.k_ = d.kTrue_;
        d.refSlack_ = kTiny;
        d.xLimit_ = xLimit_;
        derivative_.push_back(std::move(d));
    }
    return derivative_.front();
}

}  // namespace valmora
