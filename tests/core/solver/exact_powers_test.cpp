#include "core/solver/exact_powers.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace valmora {
namespace {

// Every power of many x, over the ranges a scan and Newton's method meet
// (and beyond: negative, tiny and huge x), bit for bit against std::pow.
TEST(ExactPowers, MatchStdPowBitForBit) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> mantissa(1.0, 2.0);
    std::uniform_int_distribution<int> exponent(-12, 12);
    const int n = 130;
    std::vector<double> out(n + 1);
    long mismatches = 0;
    for (int i = 0; i < 40000; ++i) {
        double x = std::ldexp(mantissa(rng), exponent(rng) / 4);
        if (i % 5 == 0) x = -x;
        if (i % 7 == 0) x = std::ldexp(mantissa(rng), exponent(rng) * 40);
        ExactPowers(x, n, out.data());
        for (int k = 0; k <= n; ++k)
            if (std::bit_cast<std::uint64_t>(out[k]) != std::bit_cast<std::uint64_t>(std::pow(x, double(k))))
                ADD_FAILURE() << "x = " << x << ", k = " << k << (++mismatches > 10 ? "" : "");
        if (mismatches > 10) break;
    }
    for (double x : std::vector<double>{0.0, -0.0, 1.0, -1.0, 0.5, 2.0, 0.01, 1e-300, 1e300, HUGE_VAL, std::nan("")}) {
        ExactPowers(x, n, out.data());
        for (int k = 0; k <= n; ++k)
            EXPECT_EQ(std::bit_cast<std::uint64_t>(out[k]), std::bit_cast<std::uint64_t>(std::pow(x, double(k))))
                << "x = " << x << ", k = " << k;
    }
}

}  // namespace
}  // namespace valmora
