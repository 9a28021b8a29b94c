// Random payment series: a uniform generator re-seeded from the clock before
// every draw, and the draws of the uniform, normal and exponential payments.
#pragma once

#include <cstdint>
#include <vector>

#include "core/simulation/simulation_settings.h"

namespace valmora {

// Seconds since midnight, fraction included.
class Clock {
public:
    virtual ~Clock() = default;
    virtual float SecondsSinceMidnight() = 0;
};

// The computer's local time.
class SystemClock : public Clock {
public:
    float SecondsSinceMidnight() override;
};

// A clock that always reads the same, for reproducible runs and tests.
class FrozenClock : public Clock {
public:
    explicit FrozenClock(float reading = 0.0f) : reading_(reading) {}
    float SecondsSinceMidnight() override { return reading_; }
    void Set(float reading) { reading_ = reading; }

private:
    float reading_;
};

// Draw attempts allowed for one payment before the draw gives up: a set-up
// that almost never gives an acceptable payment must not hang the program.
inline constexpr int kMaxDrawAttempts = 1'000'000;

class RandomPayments {
public:
    RandomPayments(std::uint64_t seed, Clock& clock);
    virtual ~RandomPayments() = default;

    // The next value in [0, 1), single precision (0 is possible).
    virtual float NextUniform();
    // Mixes a clock reading into the generator's state. The reading does not
    // replace the state, so draws within one reading still differ.
    void ReseedFromClock();

    // One payment of the chosen distribution into `payment`, drawn again
    // while it is negative and negative payments are not permitted, or when
    // a logarithm would get 0. False when no acceptable payment came within
    // kMaxDrawAttempts.
    bool DrawPayment(const SimulationSettings& settings, double& payment);

    // Sizes `series` for P0..PN, puts the investment as an outflow in P0 and
    // draws every payment in turn. False as DrawPayment.
    bool DrawSeries(const SimulationSettings& settings, std::vector<double>& series);

private:
    // One attempt: false when it must be drawn again.
    bool TryDraw(const SimulationSettings& settings, double& value);

    Clock& clock_;
    std::uint64_t counter_;
    std::uint64_t key_;
};

}  // namespace valmora
