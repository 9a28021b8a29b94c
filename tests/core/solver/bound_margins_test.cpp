// Each error bound of the sign decisions, the bound check and the present
// value, held against its own derivation: the decision is asked at the
// limit of what the derivation says rounding can do (where it must still
// answer "cannot tell"), or the constant is measured through the answers
// and compared with the derivation. A bound weakened below its derivation
// fails here even where, at random points, rounding never comes near it.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <functional>
#include <vector>

#include "core/solver/bound_check.h"
#include "core/solver/fast_scanner.h"
#include "core/solver/npv_profile.h"
#include "core/solver/split_polynomial.h"
#include "core/solver/true_signs.h"
#include "solver/ball_oracle.h"

// Named apart from the other test files compiled in the same unit.
namespace valmora::bound_margins {
namespace {

constexpr double kU = 0x1p-53;       // unit roundoff
constexpr double kTiny = 0x1p-1074;  // the smallest subnormal

// Degrees from the least to the most a series has: the bounds grow with n,
// and the room each leaves above its derivation is a few units, so at large
// n a bound below its derivation shows whatever room the others leave.
const int kDegrees[] = {1, 3, 10, 100, 1000, 32766};

// n + 1 coefficients of size `size`, alternating in sign.
std::vector<double> Coefficients(int n, double size = 1000) {
    std::vector<double> c(static_cast<std::size_t>(n) + 1);
    for (std::size_t k = 0; k < c.size(); ++k) c[k] = (k % 2 ? -size : size) * (1 + 0.25 * static_cast<double>(k % 3));
    return c;
}

// A multiple of 2^-52 at least `units` u, so that 1 +/- it is exact.
double Units(double units) { return std::ceil(units / 2) * 0x1p-52; }

// The largest d of [lo, hi] at which `decides` answers 0 ("cannot tell"),
// where it answers 0 at lo and not at hi: bisection on the values.
template <typename T>
T Threshold(const std::function<int(T)>& decides, T lo, T hi) {
    EXPECT_EQ(decides(lo), 0);
    EXPECT_NE(decides(hi), 0);
    for (int i = 0; i < 400 && lo < hi; ++i) {
        const T mid = lo + (hi - lo) / 2;
        if (mid <= lo || mid >= hi) break;
        (decides(mid) == 0 ? lo : hi) = mid;
    }
    return lo;
}

// k_: the reference sum's (n + 3) u (P + Q) and Horner's (2n + 2) u, that is
// (3n + 5) u. A difference P - Q of that much may be rounding alone.
TEST(BoundMargins, SplitSignBoundCoversTheReferenceAndHorner) {
    for (int n : kDegrees) {
        SCOPED_TRACE(n);
        const SplitPolynomial split(Coefficients(n));
        EXPECT_GE(split.RelativeBound(), (3.0 * n + 5) * kU);
        const double d = Units(3.0 * n + 5);
        EXPECT_EQ(split.PointSignWith(1 + d, 1 - d, 0), 0);
        EXPECT_EQ(split.StretchSignWith(1 + d, 1 - d, 1 + d, 1 - d, 0), 0);
        const double far = 4 * split.RelativeBound();
        EXPECT_EQ(split.PointSignWith(1 + far, 1 - far, 0), 1);
    }
}

// kTrue_: Horner's (2n + 1) u against the halves as computed, and u for
// P - Q: (2n + 2) u.
TEST(BoundMargins, HornerBoundCoversBothHalvesAndTheDifference) {
    for (int n : kDegrees) {
        SCOPED_TRACE(n);
        const SplitPolynomial split(Coefficients(n));
        const double d = Units(2.0 * n + 2);
        EXPECT_EQ(split.TrueSign(0.5, 1 + d, 1 - d), 0);
        EXPECT_GE(split.TrueError(0.5, 1 + d, 1 - d) - split.Slack(0.5), 2 * (2.0 * n + 2) * kU);
        EXPECT_GE(split.HornerError(1, 1) - split.HornerError(0, 0), 2 * (2.0 * n + 2) * kU);
    }
}

// kDeriv_: P' and Q' by Horner on the rounded coefficients k p_k: one unit
// more than Horner's (2n + 2) u, (2n + 3) u.
TEST(BoundMargins, DerivativeBoundCoversItsRoundedCoefficients) {
    for (int n : kDegrees) {
        SCOPED_TRACE(n);
        const SplitPolynomial split(Coefficients(n));
        const double d = Units(2.0 * n + 3);
        EXPECT_EQ(split.MonotoneSignWith(1 + d, 1 - d, 1 + d, 1 - d, 0), 0);
    }
}

// kCurve_: P'' and Q'' by Horner (degree n - 2) on coefficients
// k (k - 1) p_k rounded once: (2n - 2) u of each as computed. With P''(b)
// computed as 1 and Q'' as 0, f'' may reach 1 + (2n - 2) u.
TEST(BoundMargins, CurvatureBoundCoversItsHalves) {
    for (int n : kDegrees) {
        if (n < 3) continue;
        SCOPED_TRACE(n);
        const SplitPolynomial split(Coefficients(n));
        EXPECT_GE(split.CurvatureBound(0.5, 0, 0, 1, 0) - 1, (2.0 * n - 2) * kU);
    }
}

// Underflow, which the relative bounds do not see. hornerSlack_: each of the
// 2n operations of either half errs by at most half a subnormal unit, 2n
// units for both. refSlack_: the reference's powers that underflow, a unit
// times |c_k| each, and its n + 1 subnormal products, half a unit each.
// slackUnit_: above 1, Horner's 2n + 2 half-unit errors times up to x^n.
TEST(BoundMargins, UnderflowSlacksCoverTheirUnits) {
    for (int n : {1, 10, 100, 1000}) {
        SCOPED_TRACE(n);
        const std::vector<double> c = Coefficients(n, 1e300);
        double sum = 0;
        for (double v : c) sum += std::fabs(v);
        const SplitPolynomial split(c);
        EXPECT_GE(split.HornerError(0, 0), 2.0 * n * kTiny);
        EXPECT_GE(split.Slack(0.5) - split.HornerError(0, 0), sum * kTiny + (n + 1.0) * kTiny / 2);
        // (With payments of ordinary size, so that the reference's slack
        // does not swallow a few units.)
        const SplitPolynomial ordinary(Coefficients(n));
        for (double x : {1.5, 2.0, 4.0}) {
            const double power = std::pow(x, n);
            if (power > 1e300) continue;
            EXPECT_GE(ordinary.Slack(x) - ordinary.Slack(0.5), (n + 1.0) * kTiny * power) << x;
        }
        // With no relative bound to hide behind: a subnormal P of the
        // derived slack may be rounding alone.
        const double d = 2.0 * n * kTiny + sum * kTiny + (n + 1.0) * kTiny / 2;
        EXPECT_EQ(split.PointSign(0.5, d, 0), 0);
    }
}

// kRecip_: R at y' = fl(1/x) = y (1 + d), |d| <= u: each term c y^k moves by
// k u, at most 1.001 n u (P + Q) of the halves as computed.
TEST(BoundMargins, ReciprocalBoundCoversTheRoundedReciprocal) {
    for (int n : {10, 100, 1000, 32766}) {
        SCOPED_TRACE(n);
        const std::vector<double> c = Coefficients(n);
        const TrueSigns signs(c);
        const SplitPolynomial sameDegree(c);  // Horner's bound depends on n only
        const double p = 1, q = 1;
        const std::function<int(double)> decides = [&](double d) { return signs.PointSign(2.0, p + d, q - d); };
        const double d = Threshold(decides, 0.0, 0.25);
        const double recip = (2 * d - sameDegree.HornerError(p + d, q - d)) / 2;
        EXPECT_GE(recip, 1.001 * n * kU);
    }
}

// scaleSlack_: coefficients scaled by 2^-s round only where they become
// subnormal, by half a unit each: (n + 1) half units.
TEST(BoundMargins, ScaleSlackCoversTheScaledCoefficients) {
    for (int n : {10, 100, 1000}) {
        SCOPED_TRACE(n);
        const std::vector<double> c = Coefficients(n, 1e305);  // scaled: their sum nears 2^1024
        const TrueSigns signs(c);
        const SplitPolynomial sameDegree(c);
        const std::function<int(double)> decides = [&](double units) {
            return signs.PointSign(0.5, std::round(units) * kTiny, 0);
        };
        const double units = std::round(Threshold(decides, 0.0, 100.0 * n + 100));
        EXPECT_GE(units * kTiny - sameDegree.HornerError(0, 0), (n + 1.0) * kTiny / 2);
    }
}

// The derivative's slack in AtMostOneRoot: k c_k 2^-s carries k times the
// scaling error of c_k, n (n + 1) / 2 half units in all, beside Horner's
// 2n units at either end. Probed where f' is its coefficient c_1 alone
// (x = 2^-600, every higher term underflows), c_1 scaled to a given number
// of subnormal units.
TEST(BoundMargins, DerivativeSlackCoversTheScaledCoefficients) {
    const int n = 100;
    std::vector<double> c(n + 1, 0.0);
    c[0] = -1;
    c[n] = 1e305;
    // The scale TrueSigns takes: 2^-s brings the sum below 2^1000.
    const int s = std::ilogb(c[n]) + 1 + static_cast<int>(std::bit_width(c.size())) - 1000;
    ASSERT_GT(s, 0);
    const double x = 0x1p-600;
    const std::function<int(double)> decides = [&](double units) {
        c[1] = std::ldexp(std::round(units), s - 1074);
        return TrueSigns(c).AtMostOneRoot(x, x) ? 1 : 0;
    };
    const double units = std::round(Threshold(decides, 1.0, 1e6));
    const double horner = SplitPolynomial(c).HornerError(0, 0) / kTiny;  // per end, in units
    EXPECT_GE(units - 2 * horner, n * (n + 1.0) / 4);
    EXPECT_GE(2 * horner, 4.0 * n);
}

// The per-term sum's (n + 3) u (P + Q) in ReferenceStretchSign, divided by
// x^n: relative to the reciprocal halves, on top of their own errors.
TEST(BoundMargins, ReferenceStretchCoversThePerTermSum) {
    for (int n : {10, 100, 1000}) {
        SCOPED_TRACE(n);
        const std::vector<double> c = Coefficients(n);
        const TrueSigns signs(c);
        const double p = 1, q = 1;
        const std::function<int(double)> stretch = [&](double d) {
            return signs.ReferenceStretchSign(2.0, p + d, q - d, 2.0, p + d, q - d, 0.0);
        };
        const std::function<int(double)> point = [&](double d) { return signs.PointSign(2.0, p + d, q - d); };
        // The point test's bound is both halves' errors; the stretch adds
        // the per-term sum's to it.
        const double dStretch = Threshold(stretch, 0.0, 0.25), dPoint = Threshold(point, 0.0, 0.25);
        EXPECT_GE(2 * (dStretch - dPoint), (n + 3.0) * kU * (p + q));
    }
}

// rho_: the long double partial sums of TailBounds, 2n + 2 roundings of
// half a long double epsilon each: (n + 1) epsilon, on top of the split's
// relative bound.
TEST(BoundMargins, TailBoundsCoverTheirLongDoubleSums) {
    using Wide = long double;
    if (!scan_detail::TailBounds::kUsable) GTEST_SKIP() << "no wide long double";
    for (int n : {10, 100, 1000}) {
        SCOPED_TRACE(n);
        const std::vector<double> c = Coefficients(n);
        const SplitPolynomial split(c);
        const scan_detail::TailBounds tails(c, split);
        const std::size_t terms = c.size();
        const std::function<int(Wide)> decides = [&](Wide d) {
            const std::vector<Wide> pp(terms, 1 + d), qq(terms, 1 - d);
            return tails.Stretch(pp.data(), qq.data(), pp.data(), qq.data(), 1, 0.5);
        };
        const Wide d = Threshold(decides, Wide(0), Wide(0.25));
        const Wide k = split.RelativeBound();
        // 2d = (K (1 + rho) + 2 rho) 2 + slack, the slack far below.
        const Wide rho = (d - k - static_cast<Wide>(split.Slack(0.5))) / (k + 2);
        EXPECT_GE(rho, (n + 1) * std::numeric_limits<Wide>::epsilon());
    }
}

// The bound check's double division: entry j sums j + 1 products with b's
// powers, 2(j + 1) u of the same division of |top|. And a division where
// rounding makes every entry look >= 0, the last one by 2 u of its
// magnitude, while exactly it is negative.
TEST(BoundMargins, DivisionBoundCoversItsProducts) {
    for (std::size_t j : {0, 1, 5, 100, 32766}) EXPECT_GE(DivisionRoundingBound(j, 1.0), 2.0 * (j + 1.0) * kU) << j;
    const std::vector<double> top = {
        1, 3887.3780780598222, -72.492711453727537, -21.563358749594958, -420.28061356115063, -4508724856871993};
    EXPECT_FALSE(DivisionCertainlyPasses(top, 981));
}

// PresentValueError: Horner's rule over n + 1 terms, 2n roundings, at most
// gamma_2n sum |P_t| x^t; checked also against the exact value in balls.
TEST(BoundMargins, PresentValueErrorCoversHorner) {
    for (int n : kDegrees) {
        SCOPED_TRACE(n);
        const std::vector<double> c = Coefficients(n);
        for (double rate : {-0.5, 0.0, 0.1, 3.0}) {
            const double x = 1 / (1 + rate);
            double sum = 0;
            for (std::size_t t = c.size(); t-- > 0;) sum = sum * x + std::fabs(c[t]);
            if (!std::isfinite(sum)) continue;
            EXPECT_GE(PresentValueError(c, rate), 2.0 * n * kU * sum) << rate;
            if (n > 1000) continue;
            testing::Ball exact;
            testing::PresentValue(c, rate, 1, 256, exact);
            EXPECT_LE(std::fabs(PresentValue(c, rate) - exact.Mid()), PresentValueError(c, rate) + exact.Radius());
        }
    }
}

}  // namespace
}  // namespace valmora::bound_margins
