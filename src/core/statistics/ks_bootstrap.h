// P-values of the fits that account for the parameters having been fitted to
// the same values: a parametric bootstrap of the Kolmogorov-Smirnov distance.
// Each resample draws as many values as were fitted from the fitted law,
// fits the same family to them again and measures their distance; the
// p-value is (1 + the resamples at least as far as the IRRs) / (1 + the
// resamples). Each resample of each law draws from a seed of its own, made
// from a fixed seed: the same IRRs give the same p-values on any number of
// threads.
#pragma once

#include <cstdint>
#include <stop_token>
#include <string>

#include "core/statistics/fits.h"

namespace valmora {

inline constexpr int kDefaultResamples = 200;
inline constexpr int kMaxResamples = 100000;
inline constexpr std::uint64_t kBootstrapSeed = 20240917;

// The level below which a p-value says the law does not fit.
inline constexpr double kFitLevel = 0.01;

struct BootstrapSettings {
    int resamples = kDefaultResamples;
    std::uint64_t seed = kBootstrapSeed;
    unsigned threads = 1;  // the calling thread and threads - 1 more
};

// Sets pValue and resamples of every ranked fit of `report`. Resamples whose
// fit fails (rare: a logistic likelihood with no maximum) are left out of the
// count. False, with the report unchanged, when `stop` was requested first.
bool BootstrapPValues(FitReport& report, const BootstrapSettings& settings, std::stop_token stop = {});

// When every ranked fit has a p-value below kFitLevel, the sentence that says
// so, naming the best by AIC ("No law fits at the 1 % level: the best by AIC,
// gamma, has p = 0.00498."); otherwise empty.
std::string NoLawFitsSentence(const FitReport& report);

}  // namespace valmora
