// Exact signs of p(x) = sum c_k x^k at doubles, by ball arithmetic (Arb):
// p is evaluated in balls whose precision doubles until the ball leaves 0 or
// the evaluation is exact. Any exponent range, any degree: the oracle the
// scan asks where no double bound can decide, also where x^n overflows.
//
// Also certified facts about p on a short interval from its Taylor
// expansion at the midpoint: what exact root isolation would otherwise
// learn from transforms of the whole polynomial, at a fraction of the cost
// once the interval is small against x / n.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

namespace valmora {

namespace detail {
struct BallData;
}

class BallPolynomial {
public:
    // coef[k] is the coefficient of x^k, every one finite.
    explicit BallPolynomial(std::span<const double> coef);
    // The same for integer coefficients: FLINT's fmpz values (an fmpz is a
    // slong), `len` of them.
    struct Integers {
        const long* coef;
        long len;
    };
    explicit BallPolynomial(Integers integers);
    ~BallPolynomial();
    BallPolynomial(const BallPolynomial&) = delete;
    BallPolynomial& operator=(const BallPolynomial&) = delete;

    // The sign of p at x >= 0: -1, 0 or +1, exactly. `work`, when given,
    // grows by the terms evaluated times the precision in 64-bit words.
    int SignAt(double x, std::uint64_t* work = nullptr) const;
    // The sign of p at the exact midpoint (lo + hi) / 2 of two doubles.
    int SignAtMidpoint(double lo, double hi, std::uint64_t* work = nullptr) const;
    // The sign of p' at x >= 0, exactly.
    int DerivativeSignAt(double x) const;

    // What the Taylor expansion of p at the midpoint of [l, r], 0 < l < r,
    // certifies for every x of [l, r]: p(x) != 0; p'(x) != 0 (so p is
    // strictly monotone there); the sign of p''(x) when it has one sign
    // there (0 when not known). All false when [l, r] is too long for a
    // short expansion to tell.
    struct Local {
        bool noRoot = false;
        bool monotone = false;
        int convex = 0;
    };
    Local Certify(double l, double r) const;

    // For neighbouring doubles lo < hi where p' changes sign, and s p'' > 0
    // on [lo, hi]: true when s p > 0 on all of [lo, hi], so that p's
    // extremum there keeps the sign s.
    bool StaysOfSign(double lo, double hi, int s) const;

private:
    std::unique_ptr<detail::BallData> d_;
};

}  // namespace valmora
