#include "core/dated/exact_zero.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/dated/exp_sum.h"

namespace valmora::detail {
namespace {

struct Case {
    std::string name;
    std::vector<double> coef;
    std::vector<std::int64_t> exponents;
    std::int64_t denominator;
    double onePlusRate;
    int derivative;
    Exactly expected;
};

// sum of c_i (1 + r)^(-E_i / D), or its derivative in r, at dyadic 1 + r.
TEST(ExactZero, DecidesZeroWhereBallsCannot) {
    const std::vector<Case> cases = {
        {"-4 + 8^(2/3)", {-4, 1}, {0, 2}, 3, 0.125, 0, Exactly::Zero},
        {"near it", {-4, 1}, {0, 2}, 3, 0.125 + 0x1p-50, 0, Exactly::NotZero},
        {"r = 0: the amounts add to 0", {-3, 1, 2}, {0, 5, 9}, 365, 1.0, 0, Exactly::Zero},
        {"r = 0: their moment does not", {-3, 1, 2}, {0, 5, 9}, 365, 1.0, 1, Exactly::NotZero},
        {"(1 + r)^(1/5) = 2: r = 31", {-1, 2}, {0, 73}, 365, 32.0, 0, Exactly::Zero},
        {"a simple root there", {-1, 2}, {0, 73}, 365, 32.0, 1, Exactly::NotZero},
        {"touching at 100 %", {-1, 4, -4}, {0, 365, 730}, 365, 2.0, 0, Exactly::Zero},
        {"its slope", {-1, 4, -4}, {0, 365, 730}, 365, 2.0, 1, Exactly::Zero},
        {"its curvature", {-1, 4, -4}, {0, 365, 730}, 365, 2.0, 2, Exactly::NotZero},
        // y = 2^(-1/2) is irrational, yet both halves vanish: -1 - y + 2y^2 + 2y^3
        // = (-1 + 2y^2) + y (-1 + 2y^2).
        {"an irrational point", {-1, -1, 2, 2}, {0, 1, 2, 3}, 2, 2.0, 0, Exactly::Zero},
        {"one half does not vanish", {-1, -1, 2, 2.5}, {0, 1, 2, 3}, 2, 2.0, 0, Exactly::NotZero},
        {"no perfect power", {-1, 2}, {0, 73}, 365, 33.0, 0, Exactly::NotZero},
        {"a huge power of two", {-1, 1}, {0, 1000}, 1, std::ldexp(1.0, -1000), 0, Exactly::NotZero},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BallVector coef(static_cast<slong>(c.coef.size()));
        for (std::size_t i = 0; i < c.coef.size(); ++i) arb_set_d(coef[static_cast<slong>(i)], c.coef[i]);
        const ExpSum h(coef.data(), c.exponents, c.denominator);
        Float q;
        arf_set_d(q.get(), c.onePlusRate);
        EXPECT_EQ(IsExactlyZero(h, q.get(), c.derivative), c.expected);
    }
}

}  // namespace
}  // namespace valmora::detail
