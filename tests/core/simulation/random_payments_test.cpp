#include "core/simulation/random_payments.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "scripted_random.h"

namespace valmora {
namespace {

using testing::ScriptedRandom;

Workspace Settings(int dist, double p1, double p2, int payments, bool negatives = true) {
    Workspace ws;
    ws.DistType = static_cast<std::int16_t>(dist);
    ws.DistParam1 = p1;
    ws.DistParam2 = p2;
    ws.SimNumPayments = static_cast<std::int16_t>(payments);
    ws.SimInvestment = 1000;
    ws.AllowNegPayments = negatives ? 1 : 0;
    return ws;
}

TEST(Uniforms, SingleUniformsInTheUnitInterval) {
    FrozenClock clock(43200.5f);
    RandomPayments random(7, clock);
    std::set<float> seen;
    for (int i = 0; i < 100000; ++i) {
        random.ReseedFromClock();
        const float u = random.NextUniform();
        ASSERT_GE(u, 0.0f);
        ASSERT_LT(u, 1.0f);
        seen.insert(u);
    }
    // Re-seeding with one frozen reading before every draw does not make the draws repeat.
    EXPECT_GT(seen.size(), 99000u);
}

TEST(Uniforms, ReseedingMixesTheReadingIn) {
    FrozenClock clockA(100.25f), clockB(100.25f), clockC(200.5f);
    RandomPayments a(3, clockA), b(3, clockB), c(3, clockC);
    for (int i = 0; i < 10; ++i) {
        a.ReseedFromClock();
        b.ReseedFromClock();
        c.ReseedFromClock();
        const float ua = a.NextUniform();
        EXPECT_EQ(ua, b.NextUniform());  // same seed, same readings: same draws
        EXPECT_NE(ua, c.NextUniform());  // another reading: other draws
    }
}

TEST(Uniforms, SystemClockReadsSecondsSinceMidnight) {
    SystemClock clock;
    const float reading = clock.SecondsSinceMidnight();
    EXPECT_GE(reading, 0.0f);
    EXPECT_LT(reading, 86401.0f);
}

TEST(Draws, Formulas) {
    struct Case {
        const char* name;
        int dist;
        double p1, p2;
        std::deque<float> uniforms;
        double payment;
        double within;
    };
    const Case cases[] = {
        {"uniform", 1, 100, 200, {0.25f}, 125.0, 0},
        {"uniform lower bound", 1, -50, 150, {0.0f}, -50.0, 0},
        // U2 = 0: cos 0 = 1, and U1 = 1/4 gives z = sqrt(2 ln 4).
        {"normal", 2, 400, 100, {0.25f, 0.0f}, 400 + 100 * std::sqrt(2 * std::log(4.0)), 1e-12},
        // U2 = 1/4: the angle is 6.28318 / 4, whose cosine is 1.3268E-06, not 0.
        {"normal angle", 2, 0, 1, {0.5f, 0.25f}, std::sqrt(2 * std::log(2.0)) * 1.3267948966e-6, 1e-15},
        {"exponential", 3, 250, 0, {0.5f}, 250 * std::log(2.0), 1e-12},
        // A uniform of exactly 0 never reaches the logarithm.
        {"exponential zero", 3, 250, 0, {0.0f, 0.5f}, 250 * std::log(2.0), 1e-12},
        {"normal zero", 2, 400, 100, {0.0f, 0.25f, 0.0f}, 400 + 100 * std::sqrt(2 * std::log(4.0)), 1e-12},
    };
    for (const Case& c : cases) {
        Workspace ws = Settings(c.dist, c.p1, c.p2, 1);
        ScriptedRandom random(c.uniforms);
        ASSERT_TRUE(random.DrawSeries(ws)) << c.name;
        EXPECT_NEAR(ws.PolyCoef[2], c.payment, c.within) << c.name;
        EXPECT_EQ(random.used, static_cast<int>(c.uniforms.size())) << c.name;
    }
}

TEST(Draws, SeriesLayout) {
    Workspace ws = Settings(1, -4096, 4096, 3);
    ScriptedRandom random({testing::UniformFor(500), testing::UniformFor(-20), testing::UniformFor(7)});
    ASSERT_TRUE(random.DrawSeries(ws));
    EXPECT_EQ(ws.PolyCoef, (std::vector<double>{0, -1000, 500, -20, 7}));
}

TEST(Draws, NegativePaymentsAreDrawnAgainWhenNotPermitted) {
    Workspace ws = Settings(1, -4096, 4096, 2, false);
    ScriptedRandom random({testing::UniformFor(-5), testing::UniformFor(0), testing::UniformFor(-1),
                           testing::UniformFor(-7), testing::UniformFor(3)});
    ASSERT_TRUE(random.DrawSeries(ws));
    // 0 is accepted; each negative draw is replaced.
    EXPECT_EQ(ws.PolyCoef, (std::vector<double>{0, -1000, 0, 3}));
    EXPECT_EQ(random.used, 5);

    Workspace permitted = Settings(1, -4096, 4096, 1, true);
    ScriptedRandom once({testing::UniformFor(-5)});
    ASSERT_TRUE(once.DrawSeries(permitted));
    EXPECT_EQ(permitted.PolyCoef[2], -5);
}

TEST(Draws, PositiveOnlyStaysInRange) {
    FrozenClock clock(1.0f);
    RandomPayments random(11, clock);
    Workspace ws = Settings(1, -50, 150, 72, false);
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(random.DrawSeries(ws));
        for (int k = 2; k <= 73; ++k) {
            ASSERT_GE(ws.PolyCoef[k], 0.0);
            ASSERT_LT(ws.PolyCoef[k], 150.0);
        }
    }
}

TEST(Draws, ExponentialNeverRedraws) {
    Workspace ws = Settings(3, 400, 0, 72, false);
    FrozenClock clock;
    struct Counting : RandomPayments {
        using RandomPayments::RandomPayments;
        float NextUniform() override { ++used; return RandomPayments::NextUniform(); }
        int used = 0;
    } random(5, clock);
    ASSERT_TRUE(random.DrawSeries(ws));
    EXPECT_EQ(random.used, 72);
}

TEST(Draws, GivesUpWhenNoPaymentIsAcceptable) {
    // Only payments below 0 can be drawn, and they are not permitted.
    Workspace ws = Settings(1, -100, -1, 3, false);
    FrozenClock clock;
    RandomPayments random(1, clock);
    EXPECT_FALSE(random.DrawSeries(ws));
}

}  // namespace
}  // namespace valmora
