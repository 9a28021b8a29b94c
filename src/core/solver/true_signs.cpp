#include "core/solver/true_signs.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <vector>

namespace valmora {
namespace {

constexpr double kUnit = 0x1p-53;    // unit roundoff
constexpr double kTiny = 0x1p-1074;  // the smallest subnormal

// The power of two 2^-s that brings the sum of |c_k| below 2^1000, so that
// neither form's halves (each at most that sum where no power exceeds 1)
// can overflow; s = 0 for every series of ordinary size.
int ScaleExponent(std::span<const double> coef) {
    double most = 0.0;
    for (double c : coef) most = std::max(most, std::fabs(c));
    if (most == 0.0) return 0;
    const int terms = static_cast<int>(std::bit_width(coef.size()));  // 2^terms > n + 1
    return std::max(0, std::ilogb(most) + 1 + terms - 1000);
}

std::vector<double> Scaled(std::span<const double> coef, int s, bool reversed) {
    std::vector<double> out(coef.size());
    for (std::size_t k = 0; k < coef.size(); ++k) {
        const double c = coef[reversed ? coef.size() - 1 - k : k];
        out[k] = s == 0 ? c : std::ldexp(c, -s);
    }
    return out;
}

}  // namespace

TrueSigns::TrueSigns(std::span<const double> coef) : terms_(coef.size()), scale_(ScaleExponent(coef)), coef_(coef) {
    const double n = static_cast<double>(std::max<std::size_t>(terms_, 2) - 1);
    // R at the rounded y' = y (1 + d), |d| <= u, instead of y = 1/x: each
    // term c y^k changes by the factor (1 + d)^k, within k u (1 + k u) of
    // 1 for k u <= 2^-30 (n <= 32766); relative to the halves as computed
    // (within (2n + 8) u of exact) that is at most 1.001 n u (P + Q). The
    // bound (1.01 n + 1) u covers it with room for its own rounding.
    kRecip_ = (1.01 * n + 1.0) * kUnit;
    // Scaling rounds only coefficients that become subnormal, each by at
    // most half the smallest subnormal; with no power above 1 that is at
    // most (n + 1) 2^-1075 in either form, counted twice for room.
    scaleSlack_ = scale_ > 0 ? (n + 1.0) * kTiny : 0.0;
}

// Each form is built when first asked for: most series need only one.
// Unscaled, the forward form is the split the scan and the census of the
// series already share on this thread.
const SplitPolynomial& TrueSigns::Forward() const {
    if (forwardShared_ == nullptr) {
        if (scale_ == 0) {
            forwardShared_ = &SplitPolynomial::Shared(coef_);
        } else {
            forward_ = std::make_unique<SplitPolynomial>(Scaled(coef_, scale_, false));
            forwardShared_ = forward_.get();
        }
    }
    return *forwardShared_;
}

const SplitPolynomial& TrueSigns::Reverse() const {
    if (!reverse_) reverse_ = std::make_unique<SplitPolynomial>(Scaled(coef_, scale_, true));
    return *reverse_;
}

void TrueSigns::Evaluate(const double* xs, std::size_t count, double* P, double* Q) const {
    const std::size_t low = static_cast<std::size_t>(std::upper_bound(xs, xs + count, 1.0) - xs);
    if (low > 0) Forward().Evaluate(xs, low, P, Q);
    constexpr std::size_t kChunk = 64;
    double ys[kChunk];
    for (std::size_t i = low; i < count; i += kChunk) {
        const std::size_t m = std::min(kChunk, count - i);
        for (std::size_t j = 0; j < m; ++j) ys[j] = 1.0 / xs[i + j];
        Reverse().Evaluate(ys, m, P + i, Q + i);
    }
}

void TrueSigns::EvaluateOne(double x, double& P, double& Q) const {
    if (x <= 1.0) Forward().EvaluateOne(x, P, Q);
    else Reverse().EvaluateOne(1.0 / x, P, Q);
}

int TrueSigns::PointSign(double x, double P, double Q) const {
    double bound = 0.0;
    if (x <= 1.0) bound = Forward().HornerError(P, Q) + scaleSlack_;
    else if (x <= kTopX) bound = Reverse().HornerError(P, Q) + kRecip_ * (P + Q) + scaleSlack_;
    else return 0;
    const double d = P - Q;
    if (d > bound) return 1;
    if (-d > bound) return -1;
    return 0;
}

int TrueSigns::StretchSign(double a, double Pa, double Qa, double b, double Pb, double Qb) const {
    // The halves grow with their variable, so f over the stretch lies
    // between the larger of one half and the smaller of the other: x
    // itself below 1, y = 1/x (which falls as x grows) above.
    if (b <= 1.0) {
        const auto err = [&](double v) { return Forward().HornerError(v, 0.0) + scaleSlack_; };
        if (Pa - Qb > err(Pa) + err(Qb)) return 1;
        if (Qa - Pb > err(Qa) + err(Pb)) return -1;
        return 0;
    }
    if (a > 1.0 && b <= kTopX) {
        const auto err = [&](double v) { return Reverse().HornerError(v, 0.0) + kRecip_ * v + scaleSlack_; };
        if (Pb - Qa > err(Pb) + err(Qa)) return 1;
        if (Qb - Pa > err(Qb) + err(Pa)) return -1;
    }
    return 0;
}

int TrueSigns::ReferenceStretchSign(double a, double PRa, double QRa, double b, double PRb, double QRb,
                                    double slack) const {
    if (!(a > 1.0 && b <= kTopX)) return 0;
    const double n = static_cast<double>(terms_ - 1);
    // Every partial sum of the per-term sum at x <= b stays below
    // P(b) + Q(b) = b^n (P_R + Q_R)(1/b) 2^s, with rounding: below 2^1019
    // (a bit of room for the logarithms' own error) nothing overflows.
    const double halves = PRb + QRb;
    if (!(halves > 0.0) || !(n * std::log2(b) + std::log2(halves) + scale_ < 1019.0)) return 0;
    // The per-term sum errs by at most (n + 3) u (P + Q) + Slack(x) (see
    // split_polynomial.h); divided by x^n, with P + Q = x^n (P_R + Q_R) and
    // x^n >= 1, at most (n + 3) u (P_R + Q_R)(1/x) + Slack(b). P_R and Q_R
    // grow with y = 1/x, so over the stretch their sum stays below its value
    // at 1/a, which the computed halves and their errors bound.
    const auto err = [&](double v) { return Reverse().HornerError(v, 0.0) + kRecip_ * v + scaleSlack_; };
    const double top = (PRa + QRa + err(PRa) + err(QRa)) * (1.0 + 0x1p-40);
    const double reference = (n + 4.0) * kUnit * top + std::ldexp(slack, -scale_);
    if (PRb - QRa > err(PRb) + err(QRa) + reference) return 1;
    if (QRb - PRa > err(QRb) + err(PRa) + reference) return -1;
    return 0;
}

bool TrueSigns::AtMostOneRoot(double a, double b) const {
    const double n = static_cast<double>(std::max<std::size_t>(terms_, 2) - 1);
    // The derivative's coefficients k c_k 2^-s carry k times the scaling
    // error of c_k: at most n (n + 1) / 2 half-subnormals in all.
    const double derivSlack = scaleSlack_ > 0 ? n * (n + 1.0) * 0.5 * kTiny : 0.0;
    double P1a, Q1a, P1b, Q1b;
    if (b <= 1.0) {
        Forward().EvaluateDerivativeOne(a, P1a, Q1a);
        Forward().EvaluateDerivativeOne(b, P1b, Q1b);
        return Forward().HornerMonotoneSign(P1a, Q1a, P1b, Q1b, derivSlack) != 0;
    }
    if (a > 1.0 && b <= kTopX) {
        // [1/b, 1/a] lies inside [yLo, yHi]: the neighbours of the rounded
        // reciprocals, on the far sides.
        const double yLo = std::nextafter(1.0 / b, 0.0);
        const double yHi = std::nextafter(1.0 / a, std::numeric_limits<double>::infinity());
        if (yHi > 1.0) return false;  // Horner's slack holds for y <= 1 only
        Reverse().EvaluateDerivativeOne(yLo, P1a, Q1a);
        Reverse().EvaluateDerivativeOne(yHi, P1b, Q1b);
        return Reverse().HornerMonotoneSign(P1a, Q1a, P1b, Q1b, derivSlack) != 0;
    }
    return false;
}

const BallPolynomial& TrueSigns::Ball() const {
    if (!ball_) ball_ = std::make_unique<BallPolynomial>(coef_);
    return *ball_;
}

int TrueSigns::ExactSign(double x, std::uint64_t* work) const { return Ball().SignAt(x, work); }

int TrueSigns::ExactSignAtMidpoint(double lo, double hi, std::uint64_t* work) const {
    return Ball().SignAtMidpoint(lo, hi, work);
}

int TrueSigns::SignAt(double x, std::uint64_t* work) const {
    double P, Q;
    EvaluateOne(x, P, Q);
    if (work != nullptr) *work += terms_;
    const int s = PointSign(x, P, Q);
    return s != 0 ? s : ExactSign(x, work);
}

}  // namespace valmora
