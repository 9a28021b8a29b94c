// Random payments whose uniforms are given by the test, in order.
#pragma once

#include <deque>

#include "core/simulation/random_payments.h"

namespace valmora::testing {

class ScriptedRandom : public RandomPayments {
public:
    explicit ScriptedRandom(std::deque<float> uniforms) : RandomPayments(1, clock_), uniforms_(std::move(uniforms)) {}
    float NextUniform() override {
        ++used;
        if (uniforms_.empty()) return 0.5f;
        float u = uniforms_.front();
        uniforms_.pop_front();
        return u;
    }
    int used = 0;

private:
    FrozenClock clock_;
    std::deque<float> uniforms_;
};

// The uniform that makes a uniform draw on [-4096, 4096) give `payment`
// exactly (a whole number in that range).
inline float UniformFor(double payment) { return static_cast<float>((payment + 4096.0) / 8192.0); }

}  // namespace valmora::testing
