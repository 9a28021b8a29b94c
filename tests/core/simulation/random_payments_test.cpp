#include "core/simulation/random_payments.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "scripted_random.h"

namespace valmora {
namespace {

using testing::ScriptedRandom;

// An investment of 1000, as the stochastic screen starts with.
SimulationSettings Settings(int dist, double p1, double p2, int payments, bool negatives = true) {
    SimulationSettings s;
    s.distribution = static_cast<Distribution>(dist);
    s.param1 = p1;
    s.param2 = p2;
    s.payments = payments;
    s.allowNegativePayments = negatives;
    return s;
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
        std::vector<double> series;
        ScriptedRandom random(c.uniforms);
        ASSERT_TRUE(random.DrawSeries(Settings(c.dist, c.p1, c.p2, 1), series)) << c.name;
        EXPECT_NEAR(series[1], c.payment, c.within) << c.name;
        EXPECT_EQ(random.used, static_cast<int>(c.uniforms.size())) << c.name;
    }
}

TEST(Draws, SeriesLayout) {
    std::vector<double> series{1, 2, 3, 4, 5, 6};  // whatever was there before
    ScriptedRandom random({testing::UniformFor(500), testing::UniformFor(-20), testing::UniformFor(7)});
    ASSERT_TRUE(random.DrawSeries(Settings(1, -4096, 4096, 3), series));
    EXPECT_EQ(series, (std::vector<double>{-1000, 500, -20, 7}));
}

TEST(Draws, NegativePaymentsAreDrawnAgainWhenNotPermitted) {
    std::vector<double> series;
    ScriptedRandom random({testing::UniformFor(-5), testing::UniformFor(0), testing::UniformFor(-1),
                           testing::UniformFor(-7), testing::UniformFor(3)});
    ASSERT_TRUE(random.DrawSeries(Settings(1, -4096, 4096, 2, false), series));
    // 0 is accepted; each negative draw is replaced.
    EXPECT_EQ(series, (std::vector<double>{-1000, 0, 3}));
    EXPECT_EQ(random.used, 5);

    ScriptedRandom once({testing::UniformFor(-5)});
    ASSERT_TRUE(once.DrawSeries(Settings(1, -4096, 4096, 1, true), series));
    EXPECT_EQ(series[1], -5);
}

TEST(Draws, PositiveOnlyStaysInRange) {
    FrozenClock clock(1.0f);
    RandomPayments random(11, clock);
    const SimulationSettings settings = Settings(1, -50, 150, 72, false);
    std::vector<double> series;
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(random.DrawSeries(settings, series));
        ASSERT_EQ(series.size(), 73u);
        for (int k = 1; k <= 72; ++k) {
            ASSERT_GE(series[k], 0.0);
            ASSERT_LT(series[k], 150.0);
        }
    }
}

TEST(Draws, ExponentialNeverRedraws) {
    std::vector<double> series;
    FrozenClock clock;
    struct Counting : RandomPayments {
        using RandomPayments::RandomPayments;
        float NextUniform() override {
            ++used;
            return RandomPayments::NextUniform();
        }
        int used = 0;
    } random(5, clock);
    ASSERT_TRUE(random.DrawSeries(Settings(3, 400, 0, 72, false), series));
    EXPECT_EQ(random.used, 72);
}

TEST(Draws, GivesUpWhenNoPaymentIsAcceptable) {
    // Only payments below 0 can be drawn, and they are not permitted.
    std::vector<double> series;
    FrozenClock clock;
    RandomPayments random(1, clock);
    EXPECT_FALSE(random.DrawSeries(Settings(1, -100, -1, 3, false), series));
}

}  // namespace
}  // namespace valmora
