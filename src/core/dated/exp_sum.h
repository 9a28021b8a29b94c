// The present value of dated flows as a function of t = ln(1 + r):
//   h(t) = sum of c_i exp(-tau_i t),  tau_i = E_i / D,  0 = E_0 < E_1 < ...,
// evaluated in ball arithmetic (Arb), term by term: one evaluation costs a
// multiplication or two per flow, and tables of a few times E_last^(1/L)
// powers (L = 2 or 3 levels), whatever the span. What it certifies
// on an interval [a, b]:
//   - from a Taylor expansion at the midpoint c of g(t) = e^(R t / D) h(t)
//     (the same roots, with the same multiplicities; R the exponent of the
//     terms' weighted mean at c, so that g grows slowly where a few terms
//     outweigh the rest), of order kTaylorOrder with the remainder bounded
//     term by term: that g^(j) has no zero on [a, b], for the smallest such
//     j; h then has at most j roots there, counted with multiplicity
//     (Rolle);
//   - from the terms' sizes at a and b: that one term outweighs every term
//     of the other sign on all of [a, b] (each term is monotone in t);
//   - the sign of h at a point, of h at t = 0 exactly (sum of c_i).
// Internal to the dated-flow solver.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/dated/arb_handles.h"

namespace valmora::detail {

inline constexpr int kTaylorOrder = 3;
// The order of the deeper expansion, tried where the remainder of the
// first one is what fails: where the terms cancel heavily (roots close
// together), the remainder's bound, a sum of the terms' sizes, is far above
// g itself, and only a high power of the radius brings it down.
inline constexpr int kDeepOrder = 11;

// g = e^(R t / D) h and its derivatives at the midpoint c of [a, b], all
// divided by e^(R c / D).
struct Expansion {
    double a = 0, b = 0, c = 0;
    int order = kTaylorOrder;      // K
    BallVector h{kDeepOrder + 1};  // g^(k)(c), k = 0..K
    Magnitude bound;               // >= |g^(K+1)| on [a, b]
    Magnitude radius;              // >= max(c - a, b - c)
};

class ExpSum {
public:
    // coef[i] exact and nonzero, exponents increasing from 0, at least two.
    ExpSum(arb_srcptr coef, std::vector<std::int64_t> exponents, std::int64_t denominator);
    ExpSum(const ExpSum&) = delete;
    ExpSum& operator=(const ExpSum&) = delete;

    slong Size() const { return n_; }
    std::int64_t Denominator() const { return d_; }
    const std::vector<std::int64_t>& Exponents() const { return e_; }
    arb_srcptr Coef(slong i) const { return coef_[i]; }
    int SignOf(slong i) const { return sign_[static_cast<std::size_t>(i)]; }
    double Tau(slong i) const { return tau_[static_cast<std::size_t>(i)]; }        // E_i / D, rounded
    double LogAbs(slong i) const { return logAbs_[static_cast<std::size_t>(i)]; }  // ln |c_i|, rounded

    // out[k] = h^(k)(t), k = 0..kmax <= kTaylorOrder, t a ball, in `prec`
    // bits.
    void Derivatives(arb_srcptr t, int kmax, slong prec, arb_ptr out) const;
    // sum of w_i exp(-tau_i t): other weights on the same exponentials.
    void WeightedSum(arb_srcptr t, const BallVector& w, slong prec, arb_ptr out) const;
    // The expansion for [a, b], a < b doubles, of order kTaylorOrder from
    // the moments kept, or of order kDeepOrder term by term.
    void Expand(double a, double b, slong prec, Expansion& e) const;
    void ExpandDeep(double a, double b, slong prec, Expansion& e) const;
    // The smallest j <= K for which g^(j) has no zero on the expansion's
    // interval, or -1. `limited` (when given) is set when a test for j <= 1
    // failed through the precision rather than the width; `remainder` when
    // one failed through the remainder's bound alone.
    int ZeroFreeOrder(const Expansion& e, bool* limited = nullptr, bool* remainder = nullptr) const;
    // The sign of h at the double x of the expansion's interval from the
    // expansion alone: -1 or +1, 0 when the expansion cannot tell.
    int SignFromExpansion(const Expansion& e, double x) const;
    // True when one term outweighs all of the other sign on [a, b]: h has
    // no root there.
    bool Dominated(double a, double b) const;
    // The sign of the sum of c_i E_i^k exactly: the sign of h^(k)(0) times
    // (-1)^k.
    int MomentSign(int k) const;

    // h and h' at t in doubles, a guide for Newton's method and nothing
    // more (no bound on its error): h = e^scale value, h' = e^scale slope,
    // over the terms from `from` on.
    struct Guide {
        double scale = 0, value = 0, slope = 0;
    };
    Guide Approximate(double t, slong from = 0) const;

    // Work done so far: terms evaluated times 64-bit words of precision,
    // added to `counter` from now on when one is given (several sums can
    // share one).
    std::uint64_t Work() const { return *work_; }
    void CountWorkIn(std::uint64_t* counter) {
        *counter += *work_;
        work_ = counter;
    }

private:
    // q[i] = exp(-E_i t / D).
    void Powers(arb_srcptr t, slong prec, arb_ptr q) const;
    void ChooseRadix();
    // R: the weighted mean exponent, a whole number in [0, E_last].
    slong Center(arb_srcptr sizes, arb_srcptr weighted) const;
    void Radius(Expansion& e) const;
    // Multiplies e.bound by the terms' growth over the interval.
    void Grow(Expansion& e, slong r) const;

    slong n_;
    std::vector<std::int64_t> e_;
    std::int64_t d_;
    BallVector coef_;
    std::vector<int> sign_;
    std::vector<BallVector> moments_;     // moments_[k][i] = c_i E_i^k, k = 0..K
    std::vector<BallVector> absMoments_;  // |c_i| E_i^k, k = 0..K+1
    MagVector absHi_, absLo_;             // bounds on |c_i|
    std::vector<double> logAbs_, tau_;    // ln |c_i| and E_i / D, rounded
    mutable BallVector q_;
    mutable BallVector qa_, qb_;    // Dominated's, made when first needed
    mutable MagVector scratch_[8];  // Dominated's bounds
    // Powers of w = exp(-t / D) by the digits of E in base radix_.
    std::int64_t radix_;
    int levels_;
    mutable BallVector tables_;
    std::uint64_t ownWork_ = 0;
    std::uint64_t* work_ = &ownWork_;
};

}  // namespace valmora::detail
