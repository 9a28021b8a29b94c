#include "core/simulation/random_payments.h"

#include <bit>
#include <chrono>
#include <cmath>
#include <ctime>

namespace valmora {
namespace {

constexpr std::uint64_t kGamma = 0x9E3779B97F4A7C15ull;

// A bijective 64-bit mixer (the finaliser of SplitMix64).
std::uint64_t Mix(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace

float SystemClock::SecondsSinceMidnight() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const double fraction = duration<double>(now.time_since_epoch()).count() - static_cast<double>(t);
    return static_cast<float>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec + fraction);
}

RandomPayments::RandomPayments(std::uint64_t seed, Clock& clock)
    : clock_(clock), counter_(seed), key_(Mix(seed ^ kGamma)) {}

float RandomPayments::NextUniform() {
    counter_ += kGamma;
    // 24 random bits: every value is exact in single precision and below 1.
    return static_cast<float>(Mix(counter_ ^ key_) >> 40) * 0x1p-24f;
}

void RandomPayments::ReseedFromClock() {
    const std::uint64_t reading = std::bit_cast<std::uint32_t>(clock_.SecondsSinceMidnight());
    key_ = Mix(key_ ^ (reading * kGamma));
}

bool RandomPayments::TryDraw(const SimulationSettings& s, double& value) {
    switch (s.distribution) {
        case Distribution::Uniform: {
            const float u = NextUniform();
            value = s.param1 + u * (s.param2 - s.param1);
            return true;
        }
        case Distribution::Normal: {
            // Box-Muller, cosine branch: two uniforms for every payment. The
            // angle uses 6.28318, not 2 pi, as the original program did: the
            // same seed must give the same payments, and so the same files.
            const float u1 = NextUniform();
            if (u1 == 0.0f) return false;
            const float u2 = NextUniform();
            const double z = std::pow(-2.0 * std::log(static_cast<double>(u1)), 0.5) * std::cos(6.28318 * u2);
            value = s.param1 + s.param2 * z;
            return true;
        }
        case Distribution::Exponential: {
            const float u = NextUniform();
            if (u == 0.0f) return false;
            value = -s.param1 * std::log(static_cast<double>(u));
            return true;
        }
        case Distribution::None: break;
    }
    value = 0.0;
    return true;
}

bool RandomPayments::DrawPayment(const SimulationSettings& s, double& payment) {
    for (int attempt = 0; attempt < kMaxDrawAttempts; ++attempt) {
        ReseedFromClock();
        double value = 0.0;
        if (!TryDraw(s, value)) continue;
        payment = value;
        if (value < 0.0 && !s.allowNegativePayments) continue;
        return true;
    }
    return false;
}

bool RandomPayments::DrawSeries(const SimulationSettings& s, std::vector<double>& series) {
    const int n = s.payments;
    series.assign(static_cast<std::size_t>(n) + 1, 0.0);
    series[0] = -s.investment;
    for (int k = 1; k <= n; ++k)
        if (!DrawPayment(s, series[k])) return false;
    return true;
}

}  // namespace valmora
