// Every certain answer of the bounds the scan and the census rest on,
// checked at random points against exact signs: a bound may say "cannot
// tell", never something false.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/solver/ball_polynomial.h"
#include "core/solver/cash_flow_analysis.h"
#include "core/solver/exact_roots.h"
#include "core/solver/fast_scanner.h"
#include "core/solver/polynomial.h"
#include "core/solver/split_polynomial.h"
#include "core/solver/true_signs.h"
#include "solver/series_from_roots.h"

namespace valmora {
namespace {

using Series = std::vector<double>;

int SignOf(double v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

// Series of the kinds the scan meets: drawn payments of every length up to
// 600, close pairs and clusters (f near 0 over a stretch), and payments of
// extreme size.
std::vector<Series> Kinds(std::mt19937_64& rng) {
    std::vector<Series> out;
    std::normal_distribution<double> normal(400, 400);
    for (int n : {3, 12, 72, 240, 600}) {
        Series s{-1000};
        for (int k = 0; k < n; ++k) s.push_back(normal(rng));
        out.push_back(s);
    }
    out.push_back(testing::FromRoots({0.5, 0.5 + 0x1p-20, 0.75, 0.75, 1.25}, {1, 0, 2}));
    std::vector<double> cluster;
    for (int k = 0; k < 12; ++k) cluster.push_back(0.7 + k * 0x1p-12);
    out.push_back(testing::FromRoots(cluster, {1.0}, 1e6));
    Series huge{-1e300, 1e300, -1e299, 0, 1e-300};
    out.push_back(huge);
    Series tiny{-1e-300, 3e-300, -2e-300};
    out.push_back(tiny);
    return out;
}

// Points to try: random over (0, 2 bound], near the roots in range, and
// near 1 and the point where x^n overflows.
std::vector<double> Points(const Series& c, double bound, std::mt19937_64& rng) {
    std::vector<double> xs;
    std::uniform_real_distribution<double> u(0, 2 * bound);
    for (int i = 0; i < 40; ++i) xs.push_back(u(rng));
    const ExactPolynomial exact(c);
    for (const auto& r : exact.Roots(0, bound)) {
        double x = r.x;
        for (int i = 0; i < 6; ++i) {
            xs.push_back(x);
            x = std::nextafter(x, 10 * bound);
        }
        xs.push_back(r.x * (1 - 1e-9));
        xs.push_back(r.x * (1 + 1e-9));
    }
    const double n = static_cast<double>(c.size() - 1);
    for (double x : {1.0, std::nextafter(1.0, 2.0), std::exp2(1023.0 / n), std::exp2(1024.0 / n)}) xs.push_back(x);
    return xs;
}

class SignBounds : public ::testing::Test {
protected:
    std::mt19937_64 rng{600};
};

TEST_F(SignBounds, PointSignsAreTrue) {
    for (const Series& c : Kinds(rng)) {
        const CashFlowAnalysis a = AnalyseCashFlows(c);
        ASSERT_TRUE(a.Ok());
        const SplitPolynomial split(c);
        const TrueSigns signs(c);
        const ExactPolynomial exact(c);
        for (double x : Points(c, a.upperBound, rng)) {
            SCOPED_TRACE("degree " + std::to_string(c.size() - 1) + " x " + std::to_string(x));
            const int own = exact.SignAt(x);
            double P, Q;
            split.EvaluateOne(x, P, Q);
            if (const int t = split.TrueSign(x, P, Q); t != 0) { EXPECT_EQ(t, own); }
            if (const int p = split.PointSign(x, P, Q); p != 0) {
                const double ref = EvalPolynomial(c, x);
                EXPECT_TRUE(std::isfinite(ref));
                EXPECT_EQ(p, SignOf(ref));
            }
            double PR, QR;
            signs.EvaluateOne(x, PR, QR);
            if (const int t = signs.PointSign(x, PR, QR); t != 0) { EXPECT_EQ(t, own); }
            EXPECT_EQ(signs.SignAt(x, nullptr), own);
        }
    }
}

// Stretches between random points: a certain sign holds at every point
// tried inside, for f itself and, where certified, for the per-term sum;
// monotony and curvature bounds hold there too.
TEST_F(SignBounds, StretchBoundsAreTrue) {
    // How often each bound gave a certain answer: none may be idle here.
    std::map<std::string, int> certain;
    for (const Series& c : Kinds(rng)) {
        const CashFlowAnalysis a = AnalyseCashFlows(c);
        const SplitPolynomial split(c);
        const TrueSigns signs(c);
        const ExactPolynomial exact(c);
        const BallPolynomial ball(c);
        const double n = static_cast<double>(c.size() - 1);
        std::vector<double> xs = Points(c, a.upperBound, rng);
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
            const double lo = xs[i], hi = xs[i + 1 + (i % 3 == 0 && i + 2 < xs.size() ? 1 : 0)];
            if (!(lo < hi)) continue;
            SCOPED_TRACE("degree " + std::to_string(c.size() - 1) + " [" + std::to_string(lo) + ", " +
                         std::to_string(hi) + "]");
            std::vector<double> inside{lo, hi, lo + (hi - lo) / 3, lo + (hi - lo) / 2, hi - (hi - lo) / 7};
            double Pa, Qa, Pb, Qb;
            split.EvaluateOne(lo, Pa, Qa);
            split.EvaluateOne(hi, Pb, Qb);
            if (hi <= split.Limit()) {
                if (const int s = split.StretchSignWith(Pa, Qa, Pb, Qb, split.Slack(hi)); s != 0) {
                    ++certain["split stretch"];
                    for (double x : inside) {
                        EXPECT_EQ(exact.SignAt(x), s);
                        EXPECT_EQ(SignOf(EvalPolynomial(c, x)), s);
                    }
                }
            }
            double P1a, Q1a, P1b, Q1b;
            split.EvaluateDerivativeOne(lo, P1a, Q1a);
            split.EvaluateDerivativeOne(hi, P1b, Q1b);
            if (const int s = split.MonotoneSignWith(P1a, Q1a, P1b, Q1b, 2 * split.Slack(hi)); s != 0) {
                ++certain["split monotone"];
                for (double x : inside) EXPECT_EQ(ball.DerivativeSignAt(x), s);
            }
            // |f''| within the curvature bound, f'' summed in quadruple
            // precision (far below the bound's own margin).
            double xsCurve[2] = {lo, hi}, P2[2], Q2[2];
            split.EvaluateCurvature(xsCurve, 2, P2, Q2);
            const double m2 = split.CurvatureBound(hi, P2[0], Q2[0], P2[1], Q2[1]);
            if (std::isfinite(m2))
                for (double x : inside) {
                    __float128 f2 = 0, power = 1;
                    for (std::size_t k = 2; k < c.size(); ++k) {
                        f2 += static_cast<__float128>(c[k]) * k * (k - 1) * power;
                        power *= x;
                    }
                    EXPECT_LE(std::fabs(static_cast<double>(f2)), m2 * (1 + 1e-12) + 1e-300);
                }
            // The two forms of TrueSigns, and the per-term sum above 1.
            double PRa, QRa, PRb, QRb;
            signs.EvaluateOne(lo, PRa, QRa);
            signs.EvaluateOne(hi, PRb, QRb);
            if (const int s = signs.StretchSign(lo, PRa, QRa, hi, PRb, QRb); s != 0) {
                ++certain["true stretch"];
                for (double x : inside) EXPECT_EQ(exact.SignAt(x), s);
            }
            if (lo > 1 && hi <= split.Limit()) {
                const int s = signs.ReferenceStretchSign(lo, PRa, QRa, hi, PRb, QRb, split.Slack(hi));
                if (s != 0) {
                    ++certain["reference stretch above 1"];
                    for (double x : inside) EXPECT_EQ(SignOf(EvalPolynomial(c, x)), s);
                }
            }
            // The roots in [lo, hi].
            const int roots = exact.CountIn(lo, hi) + (exact.SignAt(lo) == 0 ? 1 : 0);
            if (signs.AtMostOneRoot(lo, hi)) {
                ++certain["at most one root"];
                EXPECT_LE(roots, 1);
            }
            // The Taylor certificates of the exact isolation.
            if (lo > 0 && hi < 2 * lo && n * (hi - lo) / lo < 8) {
                const BallPolynomial::Local cert = ball.Certify(lo, hi);
                if (cert.noRoot) {
                    ++certain["Taylor: no root"];
                    EXPECT_EQ(roots, 0);
                }
                if (cert.monotone) {
                    ++certain["Taylor: monotone"];
                    EXPECT_LE(roots, 1);
                    for (double x : inside) EXPECT_EQ(ball.DerivativeSignAt(x), ball.DerivativeSignAt(lo));
                }
                if (cert.convex != 0) {
                    ++certain["Taylor: convex"];
                    EXPECT_LE(roots, 2);
                }
            }
        }
    }
    for (const char* kind : {"split stretch", "split monotone", "true stretch", "reference stretch above 1",
                             "at most one root", "Taylor: no root", "Taylor: monotone", "Taylor: convex"})
        EXPECT_GT(certain[kind], 0) << kind;
}

// Near where the per-term sum overflows: what TailBounds certifies, the
// per-term sum shows at every point tried.
TEST_F(SignBounds, TailBoundsAreTrue) {
    using scan_detail::TailBounds;
    if (!TailBounds::kUsable) GTEST_SKIP() << "long double without the exponent range";
    // Each with the stretch of x where P + Q has left the split's margin
    // while the per-term sum stays finite.
    struct Case {
        Series c;
        double from, to;
    };
    const std::vector<Case> cases = {
        {{-1e308, 1.5e308, -1e300, 1e-3}, 0.05, 1.25},
        {{0.9e308, -1e304, 0, 0, 1e-12}, 1000, 18000},
        {{-1000, 2000, -1500, 0, 0, 0, 0, 0, 1e-9}, 1e37, 3e38},
    };
    int certified = 0;
    for (const auto& [c, from, to] : cases) {
        const SplitPolynomial split(c);
        const TailBounds tail(c, split);
        const std::size_t terms = c.size();
        std::vector<TailBounds::Wide> a(2 * terms), b(2 * terms);
        std::uniform_real_distribution<double> u(from, to);
        for (int trial = 0; trial < 200; ++trial) {
            double lo = u(rng), hi = u(rng);
            if (lo > hi) std::swap(lo, hi);
            TailBounds::Wide largestA, largestB;
            tail.At(lo, a.data(), a.data() + terms, largestA);
            tail.At(hi, b.data(), b.data() + terms, largestB);
            const int s = tail.Stretch(a.data(), a.data() + terms, b.data(), b.data() + terms, largestB, hi);
            if (s == 0) continue;
            ++certified;
            for (double x : {lo, hi, lo + (hi - lo) / 2, std::nextafter(hi, 0.0)}) {
                const double ref = EvalPolynomial(c, x);
                EXPECT_TRUE(std::isfinite(ref)) << x;
                EXPECT_EQ(SignOf(ref), s) << x;
            }
        }
    }
    EXPECT_GT(certified, 100);
}

}  // namespace
}  // namespace valmora
