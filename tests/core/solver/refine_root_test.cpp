#include "core/solver/refine_root.h"

#include <gtest/gtest.h>

#include <limits>

namespace valmora {
namespace {

// Both scans count their work in the evaluations they hand over, so how
// many of each the refinement asks for is part of its answer.

TEST(RefineRoot, NewtonOnALineTakesTwoEvaluations) {
    int evaluations = 0;
    int signs = 0;
    const double root = RefineBracket(
        0.0, 1.0, -1, 1e-7,
        [&](double x) {
            ++evaluations;
            return ValueAndSlope{2.0 * x - 1.0, 2.0};
        },
        [&](double) {
            ++signs;
            return 1;
        });
    EXPECT_EQ(root, 0.5);
    EXPECT_EQ(evaluations, 2);
    EXPECT_EQ(signs, 0);
}

TEST(RefineRoot, NewtonGivesUpAfterItsStepLimit) {
    // x^3 - 2x + 2 from x = 1: the iterates cycle between 1 and 0.
    int evaluations = 0;
    double root = -1.0;
    const bool converged = NewtonInBracket(
        0.0, 1.0, 1e-7,
        [&](double x) {
            ++evaluations;
            return ValueAndSlope{x * x * x - 2.0 * x + 2.0, 3.0 * x * x - 2.0};
        },
        root);
    EXPECT_FALSE(converged);
    EXPECT_EQ(evaluations, kMaxNewtonSteps);
    EXPECT_EQ(root, -1.0);
}

TEST(RefineRoot, NewtonKeepsARootWithinTheToleranceOutsideTheBracket) {
    auto line = [](double x) { return ValueAndSlope{x - 1.05, 1.0}; };
    double root = 0.0;
    EXPECT_TRUE(NewtonInBracket(0.5, 1.0, 0.1, line, root));
    EXPECT_EQ(root, 1.05);
    EXPECT_FALSE(NewtonInBracket(0.5, 1.0, 0.01, line, root));
}

TEST(RefineRoot, NewtonStopsAtAZeroOrNonFiniteSlope) {
    const double inf = std::numeric_limits<double>::infinity();
    auto flat = [](double) { return ValueAndSlope{1.0, 0.0}; };
    auto huge = [&](double) { return ValueAndSlope{inf, 1.0}; };
    double root = 0.0;
    EXPECT_FALSE(NewtonInBracket(0.0, 1.0, 1e-7, flat, root));
    EXPECT_FALSE(NewtonInBracket(0.0, 1.0, 1e-7, huge, root));
}

TEST(RefineRoot, BisectionEndsOnTheRootDouble) {
    // Bisection shrinks the bracket until its ends are neighbours, so a root
    // that is a double is met as a midpoint, also far below 1.
    for (double c : {0.3, 0.7, 1e-300, 5e-324}) {
        int signs = 0;
        const double root = BisectBracket(0.0, 1.0, -1, [&](double x) {
            ++signs;
            return ValueSign(x - c);
        });
        EXPECT_EQ(root, c);
        EXPECT_LE(signs, 1100);
    }
}

TEST(RefineRoot, BisectionTakesANonFiniteMidpointForTheRoot) {
    int signs = 0;
    const double root = BisectBracket(0.0, 1.0, 1, [&](double x) {
        ++signs;
        return x < 0.25 ? 1 : (x < 0.375 ? -1 : 2);
    });
    EXPECT_EQ(root, 0.5);
    EXPECT_EQ(signs, 1);
}

TEST(RefineRoot, FailedNewtonFallsBackToBisection) {
    // f = x^2 - 0.25 on [0.3, 0.6], f'(0.6) taken as 0: Newton cannot start.
    int signs = 0;
    const double root = RefineBracket(
        0.3, 0.6, -1, 1e-7,
        [](double x) {
            return ValueAndSlope{x * x - 0.25, x == 0.6 ? 0.0 : 2.0 * x};
        },
        [&](double x) {
            ++signs;
            return ValueSign(x * x - 0.25);
        });
    EXPECT_EQ(root, 0.5);
    EXPECT_GT(signs, 0);
}

TEST(RefineRoot, ValueSignOfEveryKindOfValue) {
    EXPECT_EQ(ValueSign(3.0), 1);
    EXPECT_EQ(ValueSign(-3.0), -1);
    EXPECT_EQ(ValueSign(0.0), 0);
    EXPECT_EQ(ValueSign(-0.0), 0);
    EXPECT_EQ(ValueSign(std::numeric_limits<double>::infinity()), 2);
    EXPECT_EQ(ValueSign(std::numeric_limits<double>::quiet_NaN()), 2);
}

}  // namespace
}  // namespace valmora
