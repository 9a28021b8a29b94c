// Certain signs of f(x) = sum c_k x^k itself, at any x > 0, without
// overflow: where the scan can no longer use the per-term sum (it is not
// finite), it goes on with these.
//
// Two forms serve, each a pair of halves with nonnegative coefficients
// (split_polynomial.h) evaluated by Horner's rule where no power exceeds 1:
// for x <= 1 the halves P and Q of f at x; above 1 the halves of the
// reversed polynomial R(y) = sum c_(n-k) y^k at y = 1/x, as
// f(x) = x^n R(1/x) and x^n > 0. Both use the coefficients scaled by a power
// of two so that no sum of them overflows. Where the bounds cannot decide,
// ball arithmetic does (ball_polynomial.h), exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "core/solver/ball_polynomial.h"
#include "core/solver/split_polynomial.h"

namespace valmora {

class TrueSigns {
public:
    // coef[k] is the coefficient of x^k, k = 0..n, every one finite. Like
    // SplitPolynomial::Shared, which it uses for the unscaled forward form,
    // valid until a series with other coefficients is split on the same
    // thread.
    explicit TrueSigns(std::span<const double> coef);

    // The halves of the form that serves each point (ascending points):
    // P(x) and Q(x) for x <= 1, P_R(1/x) and Q_R(1/x) above, with 1/x
    // rounded to the nearest double.
    void Evaluate(const double* xs, std::size_t count, double* P, double* Q) const;
    void EvaluateOne(double x, double& P, double& Q) const;

    // +1 (-1) when f(x) > 0 (< 0) for certain, from the halves at x; 0
    // when the bound cannot tell.
    int PointSign(double x, double P, double Q) const;
    // +1 (-1) when f > 0 (< 0) at every x of [a, b], 0 < a <= b, from the
    // halves at both ends; 0 when the bound cannot tell (also when a and b
    // lie on different sides of 1).
    int StretchSign(double a, double Pa, double Qa, double b, double Pb, double Qb) const;
    // For 1 < a <= b: +1 (-1) when the per-term sum of polynomial.h is
    // finite and above (below) 0 at every double of [a, b], from the
    // reciprocal halves at both ends. `slack` is the split's Slack(b) for
    // the same coefficients (unscaled), and b <= its Limit(). Above 1 this
    // decides long stretches where the split's own test cannot: P and Q
    // grow like x^n across a step, P_R and Q_R hardly at all.
    int ReferenceStretchSign(double a, double PRa, double QRa, double b, double PRb, double QRb, double slack) const;

    // True when f has at most one root in [a, b], 0 < a <= b: the
    // derivative of the form that serves both keeps its sign there.
    bool AtMostOneRoot(double a, double b) const;

    // The sign of f at x, and at the exact midpoint of two doubles, by
    // ball arithmetic: exact (0 for a root). `work` grows as in
    // BallPolynomial.
    int ExactSign(double x, std::uint64_t* work) const;
    int ExactSignAtMidpoint(double lo, double hi, std::uint64_t* work) const;
    // The sign of f at x: from the bound, otherwise exactly.
    int SignAt(double x, std::uint64_t* work) const;

private:
    // Above this no reciprocal is trusted (1/x would lose bits as a
    // subnormal): those points go to the ball oracle.
    static constexpr double kTopX = 0x1p1000;

    const BallPolynomial& Ball() const;
    const SplitPolynomial& Forward() const;
    const SplitPolynomial& Reverse() const;

    std::size_t terms_;
    int scale_ = 0;  // the coefficients are scaled by 2^-scale_
    std::span<const double> coef_;
    mutable std::unique_ptr<SplitPolynomial> forward_;        // halves of f 2^-s when s > 0, once asked for
    mutable const SplitPolynomial* forwardShared_ = nullptr;  // the forward form in use
    mutable std::unique_ptr<SplitPolynomial> reverse_;        // halves of R 2^-s, once asked for
    double kRecip_ = 0.0;                                     // relative error of R from rounding 1/x
    double scaleSlack_ = 0.0;                                 // absolute error of the scaled coefficients
    mutable std::unique_ptr<BallPolynomial> ball_;
};

}  // namespace valmora
