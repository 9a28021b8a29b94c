#include "core/solver/exact_roots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>
#include "solver/series_from_roots.h"

namespace valmora {
namespace {

using Poly = std::vector<double>;

// a + b, failing the test unless the sum is exact.
double ExactSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    const double err = (a - (s - bb)) + (b - bb);
    EXPECT_EQ(err, 0.0) << a << " + " << b << " is no double";
    return s;
}

double ExactProduct(double a, double b) {
    const double p = a * b;
    EXPECT_EQ(std::fma(a, b, -p), 0.0) << a << " * " << b << " is no double";
    EXPECT_TRUE(p == 0.0 || std::isnormal(p) || (a == 0.0 || b == 0.0)) << a << " * " << b << " underflows";
    return p;
}

// The product of the factors (coefficients low degree first), every
// operation checked exact, so the doubles are the polynomial itself.
Poly Multiply(const std::vector<Poly>& factors) {
    Poly c{1.0};
    for (const Poly& f : factors) {
        Poly next(c.size() + f.size() - 1, 0.0);
        for (std::size_t i = 0; i < c.size(); ++i)
            for (std::size_t j = 0; j < f.size(); ++j)
                if (c[i] != 0.0 && f[j] != 0.0) next[i + j] = ExactSum(next[i + j], ExactProduct(c[i], f[j]));
        c = next;
    }
    return c;
}

Poly Linear(double r) { return {-r, 1.0}; }
Poly Scale(double s) { return {s}; }
// x^m - c
Poly Power(int m, double c) {
    Poly p(static_cast<std::size_t>(m) + 1, 0.0);
    p[0] = -c;
    p.back() = 1.0;
    return p;
}
double PowerOf(double x, int m) {
    double p = 1;
    for (int k = 0; k < m; ++k) p = ExactProduct(p, x);
    return p;
}

// x^m + 1: no positive root; beyond the degree of what it multiplies it
// only places a copy, so products stay exact.
Poly Pad(int m) {
    Poly p = Power(m, -1.0);
    return p;
}

struct KnownCase {
    const char* name;
    std::vector<Poly> factors;
    std::vector<double> roots;  // every positive root, repeated by multiplicity
};

// Every known fact of a case: counts on intervals whose ends sit on, beside
// and between the roots, the isolating pieces, the refined roots, the signs.
class KnownRoots : public ::testing::TestWithParam<KnownCase> {
protected:
    void SetUp() override {
        const auto& c = GetParam();
        coef_ = Multiply(c.factors);
        roots_ = c.roots;
        std::sort(roots_.begin(), roots_.end());
        distinct_ = roots_;
        distinct_.erase(std::unique(distinct_.begin(), distinct_.end()), distinct_.end());
        bound_ = distinct_.empty() ? 4.0 : 2 * distinct_.back();
        points_ = {0.0, bound_};
        for (std::size_t i = 0; i < distinct_.size(); ++i) {
            const double r = distinct_[i];
            for (double p :
                 {r, std::nextafter(r, 0.0), std::nextafter(r, bound_), r * (1 - 0x1p-30), r * (1 + 0x1p-30), r / 2})
                points_.push_back(p);
            if (i + 1 < distinct_.size()) points_.push_back(r + (distinct_[i + 1] - r) / 2);
        }
        std::sort(points_.begin(), points_.end());
        points_.erase(std::unique(points_.begin(), points_.end()), points_.end());
    }

    int Known(double a, double b) const {
        return static_cast<int>(
            std::count_if(distinct_.begin(), distinct_.end(), [&](double r) { return a < r && r <= b; }));
    }

    // Sign of f at x > 0: the leading sign, flipped by every root above x.
    int KnownSign(double x) const {
        if (std::binary_search(distinct_.begin(), distinct_.end(), x)) return 0;
        double lead = 0;
        for (double v : coef_)
            if (v != 0.0) lead = v;
        const auto above = std::count_if(roots_.begin(), roots_.end(), [&](double r) { return r > x; });
        return (lead > 0 ? 1 : -1) * (above % 2 == 0 ? 1 : -1);
    }

    Poly coef_;
    std::vector<double> roots_, distinct_, points_;
    double bound_ = 0;
};

TEST_P(KnownRoots, CountsEveryInterval) {
    const ExactPolynomial p(coef_);
    for (std::size_t i = 0; i < points_.size(); ++i)
        for (std::size_t j = i + 1; j < points_.size(); ++j)
            ASSERT_EQ(p.CountIn(points_[i], points_[j]), Known(points_[i], points_[j]))
                << "(" << points_[i] << ", " << points_[j] << "]";
}

TEST_P(KnownRoots, IsolatesDisjointPiecesAndRefinesToTheRoot) {
    const ExactPolynomial p(coef_);
    const auto pieces = p.Isolate(0, bound_);
    int total = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const auto& pc = pieces[i];
        EXPECT_LT(pc.from, pc.to);
        EXPECT_GE(pc.from, 0.0);
        EXPECT_LE(pc.to, bound_);
        if (i > 0) { EXPECT_LE(pieces[i - 1].to, pc.from) << "pieces overlap or are out of order"; }
        EXPECT_EQ(pc.count, Known(pc.from, pc.to));
        EXPECT_EQ(pc.count, 1);  // every known root is a double: doubles separate them
        total += pc.count;
        const double refined = p.Refine(pc.from, pc.to);
        EXPECT_TRUE(std::binary_search(distinct_.begin(), distinct_.end(), refined)) << refined;
        EXPECT_EQ(Known(pc.from, pc.to), Known(pc.from, refined));
    }
    EXPECT_EQ(total, static_cast<int>(distinct_.size()));
}

TEST_P(KnownRoots, SignsAtEveryPoint) {
    const ExactPolynomial p(coef_);
    for (double x : points_) {
        if (x > 0) { EXPECT_EQ(p.SignAt(x), KnownSign(x)) << "x = " << x; }
    }
}

const double kA = 0x1p-1000;
const double kPairLow = 0x1p-1000 + 0x1p-1040;

INSTANTIATE_TEST_SUITE_P(
    Table, KnownRoots,
    ::testing::Values(
        KnownCase{"Linear", {Linear(0.5)}, {0.5}},
        KnownCase{"ClosePair", {Linear(0.75), Linear(0.75 + 0x1p-40), {1, 0, 1}}, {0.75, 0.75 + 0x1p-40}},
        KnownCase{"DoubleRoot", {Linear(0.625), Linear(0.625), {2, 1}}, {0.625, 0.625}},
        KnownCase{"TripleRootAndSimpleRoot",
                  {Linear(0.8125), Linear(0.8125), Linear(0.8125), Linear(1.5), Scale(-3)},
                  {0.8125, 0.8125, 0.8125, 1.5}},
        KnownCase{"DoubleRootBesideAClosePartner",
                  {Linear(0.5), Linear(0.5), Linear(0.5 + 0x1p-12), {1, 0, 1}},
                  {0.5, 0.5, 0.5 + 0x1p-12}},
        KnownCase{"NearZero", {Linear(kA), {1, 0, 1}}, {kA}},
        // Coefficients from 2^-1000 to 2^1000 in one series.
        KnownCase{"PairNearZero", {Scale(0x1p1000), Linear(kA), Linear(kPairLow), Pad(3)}, {kA, kPairLow}},
        KnownCase{"HugeAndTinyCoefficients", {{-0x1p-996, 0, 0x1p996}}, {0x1p-996}},
        KnownCase{"ZerosLeadingInsideAndTrailing", {{0, 0, -0.25, 0, 1, 0, 0}}, {0.5}},
        KnownCase{"TwelveRoots",
                  {Linear(0.125), Linear(0.25), Linear(0.375), Linear(0.5), Linear(0.625), Linear(0.75), Linear(0.875),
                   Linear(1), Linear(1.125), Linear(1.25), Linear(1.375), Linear(1.5)},
                  {0.125, 0.25, 0.375, 0.5, 0.625, 0.75, 0.875, 1, 1.125, 1.25, 1.375, 1.5}},
        KnownCase{"Degree72", {Linear(0.625), Power(71, 0x1p-71)}, {0.5, 0.625}},
        KnownCase{"Degree120", {Power(30, PowerOf(0.75, 30)), Power(40, 0x1p-40), Power(50, 0x1p50)}, {0.5, 0.75, 2}},
        KnownCase{"Degree120ClosePair",
                  {Linear(0.75), Linear(0.75 + 0x1p-40), Power(118, 0x1p-118)},
                  {0.5, 0.75, 0.75 + 0x1p-40}},
        KnownCase{"Degree120DoubleRootNearZero",
                  {Scale(0x1p600), Linear(0x1p-600), Linear(0x1p-600), Pad(118)},
                  {0x1p-600, 0x1p-600}},
        KnownCase{"NoPositiveRoot", {{1, 2, 1}, Pad(5)}, {}}, KnownCase{"ComplexPairOnly", {{1, -1, 1}}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Degrees 1..120: x^n - 2^-n has its one positive root at 0.5, and
// (x - 0.75)(x^(n-1) - 2^-(n-1)) adds 0.75.
TEST(ExactRoots, EveryDegreeUpTo120) {
    for (int n = 1; n <= 120; ++n) {
        const Poly one = Multiply({Power(n, std::ldexp(1.0, -n))});
        const ExactPolynomial p(one);
        ASSERT_EQ(p.CountIn(0, 1), 1) << "degree " << n;
        ASSERT_EQ(p.CountIn(0.5, 1), 0) << "degree " << n;
        ASSERT_EQ(p.Refine(0.25, 1), 0.5) << "degree " << n;
        if (n < 2) continue;
        const Poly two = Multiply({Linear(0.75), Power(n - 1, std::ldexp(1.0, 1 - n))});
        const ExactPolynomial q(two);
        ASSERT_EQ(q.CountIn(0, 1), 2) << "degree " << n;
        ASSERT_EQ(q.CountIn(0.5, 0.75), 1) << "degree " << n;
        ASSERT_EQ(q.Isolate(0, 1).size(), 2u) << "degree " << n;
    }
}

// Series like a simulation's: the count over the grid steps adds up to the
// count over the whole range, and agrees with Sturm sequences.
TEST(ExactRoots, AgreesWithSturmOnRandomSeries) {
    std::mt19937_64 rng(7);
    std::normal_distribution<double> payment(400, 400);
    for (int n : {1, 2, 3, 5, 8, 12, 16, 24}) {
        for (int trial = 0; trial < 20; ++trial) {
            Poly c{-1000};
            for (int k = 0; k < n; ++k) c.push_back(payment(rng));
            const ExactPolynomial p(c);
            for (double a = 0; a < 3; a += 0.25)
                ASSERT_EQ(p.CountIn(a, a + 0.25), p.CountInBySturm(a, a + 0.25)) << "n " << n << " a " << a;
            ASSERT_EQ(p.CountIn(0, 3), p.CountInBySturm(0, 3));
        }
    }
}

TEST(ExactRoots, GridStepsAddUpAtDegree72) {
    std::mt19937_64 rng(11);
    std::normal_distribution<double> payment(400, 400);
    for (int trial = 0; trial < 3; ++trial) {
        Poly c{-1000};
        for (int k = 0; k < 72; ++k) c.push_back(payment(rng));
        const ExactPolynomial p(c);
        int sum = 0;
        double x = 0;
        while (x < 2) {
            const double next = x + 0.01;
            sum += p.CountIn(x, next);
            x = next;
        }
        EXPECT_EQ(sum, p.CountIn(0, x));
    }
}

// Coefficients of any exponent, zeros among them: every piece of Isolate
// holds what CountIn says, a refined root lies next to a sign change, and
// Sturm sequences agree.
TEST(ExactRoots, ExtremeExponentsAgreeWithSturm) {
    std::mt19937_64 rng(3);
    std::uniform_int_distribution<int> exponent(-1000, 1000), zero(0, 3), degree(1, 10);
    std::uniform_real_distribution<double> mantissa(-1, 1);
    for (int trial = 0; trial < 60; ++trial) {
        Poly c(static_cast<std::size_t>(degree(rng)) + 1);
        for (double& v : c) v = zero(rng) == 0 ? 0.0 : std::ldexp(mantissa(rng), exponent(rng));
        const ExactPolynomial p(c);
        if (p.IsZero()) continue;
        for (double b : {0x1p-900, 0x1p-300, 1e-5, 1.0, 1e5, 0x1p300, 0x1p900}) {
            ASSERT_EQ(p.CountIn(0, b), p.CountInBySturm(0, b)) << "trial " << trial << " b " << b;
            ASSERT_EQ(p.CountIn(b / 4, b), p.CountInBySturm(b / 4, b)) << "trial " << trial << " b " << b;
        }
        int total = 0;
        for (const auto& pc : p.Isolate(0, 0x1p1000)) {
            ASSERT_EQ(p.CountIn(pc.from, pc.to), pc.count);
            total += pc.count;
            if (pc.count != 1) continue;
            const double y = p.Refine(pc.from, pc.to);
            const int here = p.SignAt(y);
            const int below = p.SignAt(std::nextafter(y, 0.0));
            const int above = p.SignAt(std::nextafter(y, 2 * y + 1));
            EXPECT_TRUE(here == 0 || below * here <= 0 || here * above <= 0) << "trial " << trial << " y " << y;
        }
        EXPECT_EQ(total, p.CountIn(0, 0x1p1000));
    }
}

// A root that is no double: the nearer of its two neighbours.
TEST(ExactRoots, RefinesToTheNearestDouble) {
    struct Case {
        Poly coef;
        double a, b, want;
    };
    // Division and square root round correctly: they give the wanted double.
    const std::vector<Case> cases{
        {{-1, 3}, 0, 1, 1.0 / 3},
        {{-2, 3}, 0, 1, 2.0 / 3},
        {{-1e300, 7}, 1e298, 1e300, 1e300 / 7},
        {{-2, 0, 1}, 1, 2, std::sqrt(2.0)},
        {{-0.3, 0, 1}, 0, 1, std::sqrt(0.3)},
        {{-1e-300, 0, 1}, 0, 1, std::sqrt(1e-300)},
        {{-1e-300, 0, 1, 0, 0, 0, 0}, 0, 1, std::sqrt(1e-300)},
    };
    for (const auto& c : cases) EXPECT_EQ(ExactPolynomial(c.coef).Refine(c.a, c.b), c.want);
}

TEST(ExactRoots, DegenerateInputs) {
    EXPECT_TRUE(ExactPolynomial(Poly{0, 0, 0}).IsZero());
    EXPECT_EQ(ExactPolynomial(Poly{0, 0, 0}).CountIn(0, 1), 0);
    EXPECT_EQ(ExactPolynomial(Poly{5}).CountIn(0, 1), 0);
    EXPECT_EQ(ExactPolynomial(Poly{}).CountIn(0, 1), 0);
    EXPECT_EQ(ExactPolynomial(Poly{-1, 1}).CountIn(1, 1), 0);
    EXPECT_EQ(ExactPolynomial(Poly{0, 0, 1}).CountIn(0, 1), 0);  // a root only at 0
    EXPECT_EQ(ExactPolynomial(Poly{-1, 1}).CountIn(0, std::numeric_limits<double>::max()), 1);
    EXPECT_EQ(ExactPolynomial(Poly{-1, 1}).SignAt(-2), -1);
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(ExactPolynomial(Poly{-1, 1}).CountIn(0, inf), 1);
    EXPECT_EQ(ExactPolynomial(Poly{-1, 1}).Isolate(0, inf).size(), 1u);
    EXPECT_EQ(ExactPolynomial(Poly{-1, 1}).CountIn(0, std::nan("")), 0);
}

}  // namespace
}  // namespace valmora

namespace valmora {
namespace {

// Degree 50 to 200, drawn and built from close roots: the counts of the
// exact isolation (Descartes' rule with Taylor certificates on small nodes)
// and of Sturm sequences agree on the whole range and, at degree 50, on
// dyadic steps of 2^-12 around every root (Sturm sequences of the steps'
// wide coefficients cost seconds above that).
TEST(ExactRoots, DescartesAgreesWithSturmUpToDegree200) {
    std::mt19937_64 rng(200);
    std::normal_distribution<double> payment(400, 400);
    std::uniform_real_distribution<double> where(0.2, 0.95), rest(1, 2);
    struct Case {
        Poly c;
        bool steps;
    };
    std::vector<Case> table;
    for (int n : {50, 100, 200}) {
        Poly drawn{-1000};
        for (int k = 0; k < n; ++k) drawn.push_back(payment(rng));
        table.push_back({drawn, n == 50});
        if (n == 200) break;
        // Close pairs times positive payments: f near 0 over long stretches.
        std::vector<double> roots;
        for (int k = 0; k < 4; ++k) {
            const double a = where(rng);
            roots.push_back(a);
            roots.push_back(a + std::exp2(-12 - 4 * k));
        }
        Poly positive;
        for (int k = 0; k + 8 <= n; ++k) positive.push_back(rest(rng));
        table.push_back({valmora::testing::FromRoots(roots, positive), n == 50});
    }
    for (const auto& [c, steps] : table) {
        const ExactPolynomial p(c);
        SCOPED_TRACE("degree " + std::to_string(c.size() - 1));
        ASSERT_EQ(p.CountIn(0, 4), p.CountInBySturm(0, 4));
        if (!steps) continue;
        for (const auto& root : p.Roots(0, 4)) {
            const double a = std::ldexp(std::floor(std::ldexp(root.x, 12)), -12);
            ASSERT_EQ(p.CountIn(a, a + 0x1p-12), p.CountInBySturm(a, a + 0x1p-12)) << "step at " << a;
        }
    }
}

}  // namespace
}  // namespace valmora
