// Shared by the fast-scan tests: series drawn from the simulation's
// distributions.
#pragma once

#include <cstdint>
#include <random>
#include <vector>


namespace valmora::testing_support {

enum class Draw { Normal, Uniform, Exponential };

// An investment of 1000 followed by n payments.
inline std::vector<double> DrawSeries(Draw draw, int n, std::mt19937_64& rng) {
    std::vector<double> p(static_cast<std::size_t>(n) + 1);
    p[0] = -1000;
    std::normal_distribution<double> normal(400, 400);
    std::uniform_real_distribution<double> uniform(-300, 900);
    std::exponential_distribution<double> exponential(1.0 / 400);
    for (int k = 1; k <= n; ++k) {
        switch (draw) {
            case Draw::Normal: p[k] = normal(rng); break;
            case Draw::Uniform: p[k] = uniform(rng); break;
            case Draw::Exponential: p[k] = exponential(rng); break;
        }
    }
    return p;
}

}  // namespace valmora::testing_support
