#include "core/statistics/law_draws.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <utility>
#include <vector>

namespace valmora {
namespace {

std::uint64_t SplitMix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Doubles in increasing order by a least-significant-digit radix sort of
// their bits, a byte a pass: several times faster than comparisons for the
// thousands of values of a resample. The bits are turned so that their
// unsigned order is the numbers' order; passes where every value has the
// same byte are skipped.
void RadixSort(std::span<double> values) {
    const std::size_t n = values.size();
    std::vector<std::uint64_t> keys(n), other(n);
    std::array<std::array<std::size_t, 256>, 8> counts{};
    for (std::size_t i = 0; i < n; ++i) {
        const auto bits = std::bit_cast<std::uint64_t>(values[i]);
        keys[i] = bits >> 63 ? ~bits : bits | (std::uint64_t{1} << 63);
        for (int d = 0; d < 8; ++d) ++counts[d][(keys[i] >> (8 * d)) & 0xFF];
    }
    for (int d = 0; d < 8; ++d) {
        auto& c = counts[d];
        if (std::find(c.begin(), c.end(), n) != c.end()) continue;  // one byte for all
        std::size_t start = 0;
        for (std::size_t& slot : c) start += std::exchange(slot, start);
        for (std::uint64_t k : keys) other[c[(k >> (8 * d)) & 0xFF]++] = k;
        keys.swap(other);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t k = keys[i];
        values[i] = std::bit_cast<double>(k >> 63 ? k & ~(std::uint64_t{1} << 63) : ~k);
    }
}

}  // namespace

std::uint64_t MixSeed(std::uint64_t seed, std::uint64_t a, std::uint64_t b) {
    return SplitMix(SplitMix(SplitMix(seed) ^ a) ^ b);
}

double LawDraws::Uniform() {
    // 53 random bits, offset by half a step: (k + 0.5) / 2^53.
    return (static_cast<double>(engine_() >> 11) + 0.5) * 0x1.0p-53;
}

double LawDraws::Normal() {
    if (hasSpare_) {
        hasSpare_ = false;
        return spare_;
    }
    double u, v, s;
    do {
        u = 2 * Uniform() - 1;
        v = 2 * Uniform() - 1;
        s = u * u + v * v;
    } while (s >= 1 || s == 0);
    const double f = std::sqrt(-2 * std::log(s) / s);
    spare_ = v * f;
    hasSpare_ = true;
    return u * f;
}

double LawDraws::Gamma(double shape) {
    if (shape < 1) {
        // Gamma(shape + 1) U^(1/shape), in logarithms so that it does not
        // underflow to 0 before it must.
        const double g = Gamma(shape + 1);
        return std::exp(std::log(g) + std::log(Uniform()) / shape);
    }
    const double d = shape - 1.0 / 3, c = 1 / std::sqrt(9 * d);
    for (;;) {
        double x, v;
        do {
            x = Normal();
            v = 1 + c * x;
        } while (v <= 0);
        v = v * v * v;
        const double u = Uniform();
        if (u < 1 - 0.0331 * x * x * x * x) return d * v;
        if (std::log(u) < 0.5 * x * x + d * (1 - v + std::log(v))) return d * v;
    }
}

void LawDraws::Fill(const Law& law, std::span<double> out) {
    const auto& p = law.p;
    switch (law.family) {
        case FitFamily::Normal:
            for (double& v : out) v = p[0] + p[1] * Normal();
            break;
        case FitFamily::Lognormal:
            for (double& v : out) v = std::exp(p[0] + p[1] * Normal());
            break;
        case FitFamily::Logistic:
            for (double& v : out) {
                const double u = Uniform();
                v = p[0] + p[1] * std::log(u / (1 - u));
            }
            break;
        case FitFamily::Gamma:
            for (double& v : out) v = p[1] * Gamma(p[0]);
            break;
        case FitFamily::Weibull:
            for (double& v : out) v = p[1] * std::pow(-std::log(Uniform()), 1 / p[0]);
            break;
        case FitFamily::StudentT:
            for (double& v : out) v = p[0] + p[1] * Normal() / std::sqrt(2 * Gamma(p[2] / 2) / p[2]);
            break;
    }
}

void LawDraws::FillSorted(const Law& law, std::span<double> out) {
    Fill(law, out);
    RadixSort(out);
}

}  // namespace valmora
