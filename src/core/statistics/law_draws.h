// Random values from a fitted law, the same on every machine for the same
// seed: the 64-bit Mersenne twister (whose output the C++ standard fixes)
// with the transforms written here rather than the library's distributions
// (which differ between standard libraries).
#pragma once

#include <cstdint>
#include <random>
#include <span>

#include "core/statistics/laws.h"

namespace valmora {

class LawDraws {
public:
    explicit LawDraws(std::uint64_t seed) : engine_(seed) {}

    // Uniform on (0, 1), never 0 or 1.
    double Uniform();
    // Standard normal (Marsaglia's polar method).
    double Normal();
    // Gamma of shape `shape` > 0 and scale 1 (Marsaglia and Tsang).
    double Gamma(double shape);

    // Fills `out` with values of `law` on its own scale (1 + IRR for the laws
    // of 1 + IRR).
    void Fill(const Law& law, std::span<double> out);
    // The same values in increasing order.
    void FillSorted(const Law& law, std::span<double> out);

private:
    std::mt19937_64 engine_;
    double spare_ = 0;
    bool hasSpare_ = false;
};

// One seed from a seed and two counters (SplitMix64 of their mix), so that
// each resample of each law has a stream of its own.
std::uint64_t MixSeed(std::uint64_t seed, std::uint64_t a, std::uint64_t b);

}  // namespace valmora
