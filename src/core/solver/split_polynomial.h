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

#include <algorithm>
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
    explicit SplitPolynomial(std::span<const double> coef) { Reset(coef); }
    // The split of other coefficients, in place.
    void Reset(std::span<const double> coef);
    // True when coef is what this split was made from, bit for bit.
    bool Holds(std::span<const double> coef) const;

    int Degree() const { return n_; }
    // Points above this may make a reference power overflow: never certain
    // here. Up to it every power is finite, and P + Q within the margin keeps
    // every product and partial sum finite.
    double Limit() const { return xLimit_; }

    void Evaluate(const double* xs, std::size_t count, double* P, double* Q) const {
        EvaluateSplit(pq_, pq_ + n_ + 1, n_, xs, count, P, Q);
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
    // double of [a, b] (0 <= a <= b <= Limit()), from P and Q at both ends,
    // with slack = Slack(x') for some x' >= b; else 0.
    int StretchSignWith(double Pa, double Qa, double Pb, double Qb, double slack) const {
        const double s = Pb + Qb;
        if (!(s <= kFiniteMargin)) return 0;
        const double bound = k_ * s + slack;
        if (Pa - Qb > bound) return 1;
        if (Qa - Pb > bound) return -1;
        return 0;
    }

    // True where the bounds above cannot hold: x beyond Limit(), or P + Q
    // (as computed at x) beyond the finite margin. Once true it stays true
    // for every larger x, as P and Q grow with x.
    bool Beyond(double x, double P, double Q) const { return x > xLimit_ || !(P + Q <= kFiniteMargin); }
    // The relative bound K of PointSign, reference rounding included.
    double RelativeBound() const { return k_; }

    // Absolute slack for underflow at points up to x: grows with x.
    double Slack(double x) const { return x > 1.0 ? SlackAbove1(x) : slackLow_; }

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
    // The same for 0 <= x <= 1 where no per-term sum is involved: Horner's
    // rounding and its own underflow only (no power above 1 scales it).
    double HornerError(double P, double Q) const { return kTrue_ * (P + Q) + hornerSlack_; }

    // P'' and Q'' at count points (SIMD Horner on the coefficients
    // k (k - 1) p_k and k (k - 1) q_k, rounded).
    void EvaluateCurvature(const double* xs, std::size_t count, double* P2, double* Q2) const {
        const int m = std::max(n_ - 2, 0);
        EvaluateSplit(curve_(), curve_() + m + 1, m, xs, count, P2, Q2);
    }
    // An upper bound on |f''| over [a, b], 0 <= a <= b, from P'' and Q'' at
    // both ends as computed above: P'' and Q'' grow with x, so f'' lies
    // between P''(a) - Q''(b) and P''(b) - Q''(a).
    double CurvatureBound(double b, double P2a, double Q2a, double P2b, double Q2b) const {
        const double m = std::max(P2b - Q2a, Q2b - P2a);
        const double err = kCurve_ * (P2a + Q2a + P2b + Q2b);
        return (std::max(m, 0.0) + err) * (1.0 + 4 * 0x1p-53) + 2.0 * Slack(b);
    }

    // P' and Q' at one point (scalar Horner on the coefficients k p_k and
    // k q_k, rounded).
    void EvaluateDerivativeOne(double x, double& P1, double& Q1) const;
    // +1 (-1) when f' is above (below) 0 on all of [a, b], 0 <= a <= b, from
    // P' and Q' at both ends as computed above; else 0. f is then strictly
    // monotone there.
    // extraSlack adds an absolute error of the caller's (coefficients it
    // rounded before this split was made).
    // For b <= 1 (Horner's own underflow only, no per-term sum), with an
    // absolute error of the caller's on top (coefficients it rounded before
    // this split was made).
    int HornerMonotoneSign(double P1a, double Q1a, double P1b, double Q1b, double extraSlack) const {
        return MonotoneSignWith(P1a, Q1a, P1b, Q1b, 2.0 * hornerSlack_ + extraSlack);
    }
    // The same with the absolute slack given (2 Slack(b) for any b).
    int MonotoneSignWith(double P1a, double Q1a, double P1b, double Q1b, double slack) const {
        const double s = P1b + Q1b;
        if (!(s <= kFiniteMargin)) return 0;
        const double bound = kDeriv_ * s + slack;
        if (P1a - Q1b > bound) return 1;
        if (Q1a - P1b > bound) return -1;
        return 0;
    }

    SplitPolynomial(const SplitPolynomial&) = delete;
    SplitPolynomial& operator=(const SplitPolynomial&) = delete;

    // The split of coef, kept per thread so that the scan of a series and
    // the census after it make it once. Valid until the next call on the
    // same thread.
    static const SplitPolynomial& Shared(std::span<const double> coef);

private:
    double SlackAbove1(double x) const;
    static constexpr double kFiniteMargin = 1.7976931348623157e308 / 16;
    // Coefficients of up to this many terms live inside the object: no
    // allocation for the series a simulation draws.
    static constexpr std::size_t kInlineTerms = 128;

    int n_ = 0;
    std::vector<double> coef_;  // what the split was made from
    // P's coefficients x^0..x^n, then Q's, then P'' (k (k - 1) p_k) for
    // k = 2..n (index k - 2), then Q's, then P' and Q' (k p_k and k q_k,
    // k = 1..n, index k - 1), in inline_ or heap_.
    double* pq_ = nullptr;
    double inline_[6 * kInlineTerms];
    std::vector<double> heap_;
    double* p_() { return pq_; }
    double* q_() { return pq_ + n_ + 1; }
    const double* p_() const { return pq_; }
    const double* q_() const { return pq_ + n_ + 1; }
    const double* curve_() const { return pq_ + 2 * (n_ + 1); }
    const double* dp_() const { return curve_() + 2 * std::max(n_ - 1, 1); }
    const double* dq_() const { return dp_() + std::max(n_, 1); }
    double k_ = 0.0;            // relative bound, reference included
    double kTrue_ = 0.0;        // relative bound of Horner alone
    double kDeriv_ = 0.0;       // the same for P' and Q', their rounding included
    double kCurve_ = 0.0;       // the same for P'' and Q
    double refSlack_ = 0.0;     // underflow slack of the reference sum
    double slackLow_ = 0.0;     // the whole slack for x <= 1
    double hornerSlack_ = 0.0;  // Horner's own underflow for x <= 1
    double slackUnit_ = 0.0;    // per 2^-1074 of max(1, x)^n above x = 1
    double xLimit_ = 0.0;
};

}  // namespace valmora
