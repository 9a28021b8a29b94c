// The integer form of an ExactPolynomial that its root isolation works on:
// f scaled to integers, its squarefree part g with the sizes of g's
// coefficients, and exact sign evaluators of both.
#pragma once

#include <flint/fmpz_poly.h>

#include <memory>
#include <vector>

#include "core/solver/ball_polynomial.h"

namespace valmora::detail {

struct ExactData {
    fmpz_poly_t f;  // f scaled to integers
    fmpz_poly_t g;  // its squarefree part, primitive
    bool zero = false;
    long n = -1;             // degree of g
    std::vector<long> bits;  // bit length of each coefficient of g (0 for 0)
    std::vector<long> val;   // 2-adic valuation of each (0 for 0)
    long lowExp = 0;         // every nonzero root of g has |x| > 2^lowExp
    // Ball evaluators of f and g for their exact signs at doubles, made
    // when first asked: much faster than integer Horner at high degree.
    mutable std::unique_ptr<BallPolynomial> fBall, gBall;
    int SignF(double x) const {
        if (!fBall) fBall = std::make_unique<BallPolynomial>(BallPolynomial::Integers{f->coeffs, f->length});
        return fBall->SignAt(x);
    }
    const BallPolynomial& GBall() const {
        if (!gBall) gBall = std::make_unique<BallPolynomial>(BallPolynomial::Integers{g->coeffs, g->length});
        return *gBall;
    }
    int SignG(double x) const { return GBall().SignAt(x); }
    int SignGAtMidpoint(double lo, double hi) const { return GBall().SignAtMidpoint(lo, hi); }
    ExactData() {
        fmpz_poly_init(f);
        fmpz_poly_init(g);
    }
    ~ExactData() {
        fmpz_poly_clear(f);
        fmpz_poly_clear(g);
    }
    ExactData(const ExactData&) = delete;
    ExactData& operator=(const ExactData&) = delete;
};

}  // namespace valmora::detail
