// Fast, certain sign decisions for f(x) = sum c_k x^k on x >= 0.
//
// f is split into P(x) = sum max(c_k, 0) x^k and Q(x) = sum max(-c_k, 0) x^k,
// both with nonnegative coefficients, so both are evaluated by Horner's rule
// with a small relative error and both grow with x. The reference value of f
// at a scan point is the per-term sum of polynomial.h (each term a power and
// a product, added in increasing k). Where |P - Q| exceeds a bound covering
// the rounding of both evaluations, the reference value has the sign of
// P - Q, is not zero and is finite; elsewhere the answer is "uncertain" and
// the caller evaluates the reference sum itself.
//
// The bound: Horner's rule on nonnegative data errs by at most
// 2n u (P + Q) (u = 2^-53, whether or not multiply-add is fused); the
// reference sum by (n + 3) u (P + Q), taking std::pow within 1 ulp (glibc's
// is within 0.54 ulp) and each product and sum correctly rounded; the final
// subtraction adds u (P + Q). K = (4n + 16) u covers all three with room for
// second-order terms and the rounding of the bound itself. Underflow adds at
// most one subnormal unit per operation, scaled by max(1, x)^n.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace valmora {

// P and Q at count points: P[i] = P(xs[i]), Q[i] = Q(xs[i]), by Horner's
// rule on SIMD lanes (the widest the processor offers, chosen at run time).
// p and q hold the coefficients of x^0..x^n.
void EvaluateSplit(const double* p, const double* q, int n, const double* xs, std::size_t count, double* P, double* Q);

class SplitPolynomial {
public:
    // coef[k] is the coefficient of x^k, k = 0..n, every one finite.
    explicit SplitPolynomial(std::span<const double> coef);

    int Degree() const { return n_; }
    double Constant() const { return c0_; }
    // Points above this may make a reference term overflow: never certain.
    double Limit() const { return xLimit_; }

    void Evaluate(const double* xs, std::size_t count, double* P, double* Q) const {
        EvaluateSplit(pq_.data(), pq_.data() + n_ + 1, n_, xs, count, P, Q);
    }
    // P and Q at one point (scalar Horner, the same error bound).
    void EvaluateOne(double x, double& P, double& Q) const;

    // The sign of the reference value at x (0 <= x), from P(x) and Q(x) as
    // computed above: +1 or -1 when certain, 0 when uncertain.
    int PointSign(double x, double P, double Q) const { return x <= xLimit_ ? PointSignWith(P, Q, Slack(x)) : 0; }
    // The same for x <= Limit(), with slack = Slack(x') for some x' >= x.
    int PointSignWith(double P, double Q, double slack) const {
        const double s = P + Q;
        if (!(s <= kFiniteMargin)) return 0;
        const double d = P - Q;
        const double bound = k_ * s + slack;
        if (d > bound) return 1;
        if (-d > bound) return -1;
        return 0;
    }

    // +1 (or -1) when the reference value is above (below) 0 at every
    // double of [a, b] (0 <= a <= b), from P and Q at both ends; else 0.
    int StretchSign(double a, double b, double Pa, double Qa, double Pb, double Qb) const {
        return b <= xLimit_ && a <= b ? StretchSignWith(Pa, Qa, Pb, Qb, Slack(b)) : 0;
    }
    // The same for b <= Limit(), with slack = Slack(x') for some x' >= b.
    int StretchSignWith(double Pa, double Qa, double Pb, double Qb, double slack) const {
        const double s = Pb + Qb;
        if (!(s <= kFiniteMargin)) return 0;
        const double bound = k_ * s + slack;
        if (Pa - Qb > bound) return 1;
        if (Qa - Pb > bound) return -1;
        return 0;
    }

    // Absolute slack for underflow at points up to x: grows with x.
    double Slack(double x) const;

    // True f strictly above (+1) or below (-1) 0 on all of [a, b], or 0.
    // Weaker than StretchSign: no reference rounding to cover.
    int TrueStretchSign(double a, double b, double Pa, double Qa, double Pb, double Qb) const;

    // The sign of f itself at x from P(x) and Q(x): +1, -1, or 0 when
    // uncertain.
    int TrueSign(double x, double P, double Q) const {
        const double s = P + Q;
        if (!(s <= kFiniteMargin)) return 0;
        const double bound = kTrue_ * s + Slack(x);
        if (P - Q > bound) return 1;
        if (Q - P > bound) return -1;
        return 0;
    }
    // A bound on |f(x) - (P - Q)| with P and Q as computed at x.
    double TrueError(double x, double P, double Q) const { return kTrue_ * (P + Q) + Slack(x); }

    // Upper bounds on |f''| over [0, xs[i]] for count points: the second
    // derivative of P + Q at xs[i], rounded up.
    void CurvatureBounds(const double* xs, std::size_t count, double* out) const;

    // The same split for f': its coefficients (k + 1) c_(k+1) rounded, with
    // that rounding in its bound.
    const SplitPolynomial& Derivative() const;

private:
    SplitPolynomial() = default;
    static constexpr double kFiniteMargin = 1.7976931348623157e308 / 16;

    int n_ = 0;
    double c0_ = 0.0;
    std::vector<double> pq_;                 // P's coefficients x^0..x^n, then Q's
    mutable std::vector<double> curvature_;  // k (k - 1) |c_k|, then zeros
    double* p_() { return pq_.data(); }
    double* q_() { return pq_.data() + n_ + 1; }
    const double* p_() const { return pq_.data(); }
    const double* q_() const { return pq_.data() + n_ + 1; }
    double k_ = 0.0;         // relative bound, reference included
    double kTrue_ = 0.0;     // relative bound of Horner alone
    double refSlack_ = 0.0;  // underflow slack of the reference sum
    double slackLow_ = 0.0;  // the whole slack for x <= 1
    double xLimit_ = 0.0;
    mutable std::vector<SplitPolynomial> derivative_;
};

}  // namespace valmora
