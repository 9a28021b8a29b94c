// Exact signs of f(x) = sum c_k x^k at doubles, by ball arithmetic (Arb):
// f is evaluated in balls whose precision doubles until the ball leaves 0 or
// the evaluation is exact. Any exponent range, any degree: the oracle the
// scan asks where no double bound can decide, also where x^n overflows.
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

    // The sign of f at x >= 0: -1, 0 or +1, exactly. `work`, when given,
    // grows by the terms evaluated times the precision in 64-bit words.
    int SignAt(double x, std::uint64_t* work = nullptr) const;
    // The sign of f at the exact midpoint (lo + hi) / 2 of two doubles.
    int SignAtMidpoint(double lo, double hi, std::uint64_t* work = nullptr) const;

private:
    std::unique_ptr<detail::BallData> d_;
};

}  // namespace valmora
