// The largest run and seed the program takes. The series limits are in
// core/solver/limits.h.
#pragma once

#include <cstdint>

#include "core/solver/limits.h"

namespace valmora {

// The most simulations the stochastic screen offers.
inline constexpr int kMaxScreenSimulations = 10'000;

// The most simulations `valmora-cli simulate --sims` takes.
inline constexpr long kMaxSimulations = 10'000'000;

// The largest seed of a reproducible run, 2^53 - 1: every whole number up to
// it is exactly a double, so a seed read as a number is the one typed.
inline constexpr std::uint64_t kLargestSeed = (std::uint64_t{1} << 53) - 1;

}  // namespace valmora
