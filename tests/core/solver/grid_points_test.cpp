#include "core/solver/grid_points.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <vector>

namespace valmora {
namespace {

// The loop the scan runs: the point after k additions, for every k.
std::vector<double> LoopPoints(double increment, std::size_t count) {
    std::vector<double> xs(count + 1, 0.0);
    for (std::size_t k = 1; k <= count; ++k) xs[k] = xs[k - 1] + increment;
    return xs;
}

class GridPoints : public ::testing::TestWithParam<double> {};

TEST_P(GridPoints, ClosedFormMatchesTheLoopBitForBit) {
    const double inc = GetParam();
    const std::size_t count = 300000;
    const auto xs = LoopPoints(inc, count);
    // From 0 in one call, and in uneven hops from every point on the way.
    for (std::size_t k : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{1000}, std::size_t{65537}, count})
        EXPECT_EQ(std::bit_cast<std::uint64_t>(AdvanceGrid(0.0, inc, k)), std::bit_cast<std::uint64_t>(xs[k]))
            << "after " << k << " steps of " << inc;
    std::size_t at = 0;
    double x = 0.0;
    std::uint64_t hop = 1;
    while (at + hop <= count) {
        x = AdvanceGrid(x, inc, hop);
        at += hop;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(x), std::bit_cast<std::uint64_t>(xs[at])) << "at step " << at;
        hop = hop * 7 % 1013 + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Increments, GridPoints,
                         ::testing::Values(0.01, 0.1, 0.3, 1.0 / 3, 0.001, 0.0037, 1e-6, 0.5, 0.75, 0x1p-20 * 3, 1e-310,
                                           4.9e-324 * 3));

TEST(GridPoints, StallsWhereTheAdditionNoLongerMovesX) {
    // Far above the increment: x + increment == x.
    const double big = 1e20;
    std::uint64_t taken = 99;
    EXPECT_EQ(AdvanceGrid(big, 1.0, 10, &taken), big);
    EXPECT_EQ(taken, 0u);
    // Reaching the stall from below takes exactly the additions the loop makes.
    const double inc = 0x1p-30;
    double loop = 0x1p23 - 0x1p-20;
    std::uint64_t steps = 0;
    while (loop + inc != loop && steps < 100000000) loop += inc, ++steps;
    const double fast = AdvanceGrid(0x1p23 - 0x1p-20, inc, steps + 50, &taken);
    EXPECT_EQ(fast, loop);
    EXPECT_EQ(taken, steps);
}

TEST(GridPoints, TiesTakeSingleAdditions) {
    // 1 + 2^-53 is a tie each time: rounding to even leaves 1 where it is,
    // but 1 + 2^-52 steps to 1 + 2^-51.
    EXPECT_EQ(AdvanceGrid(1.0, 0x1p-53, 5), 1.0);
    EXPECT_EQ(AdvanceGrid(1.0 + 0x1p-52, 0x1p-53, 1), 1.0 + 0x1p-51);
}

}  // namespace
}  // namespace valmora
