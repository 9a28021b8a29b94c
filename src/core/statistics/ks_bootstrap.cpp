#include "core/statistics/ks_bootstrap.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <limits>
#include <thread>
#include <vector>

#include "core/statistics/law_draws.h"
#include "core/statistics/laws.h"
#include "core/statistics/maximum_likelihood.h"

namespace valmora {
namespace {

constexpr double kFailed = std::numeric_limits<double>::quiet_NaN();

// The KS distance of one resample of `law` from its own refitted law; NaN
// when the refit fails.
double ResampleDistance(const Law& law, std::uint64_t seed, std::vector<double>& sample) {
    LawDraws draws(seed);
    draws.FillSorted(law, sample);
    if (!std::isfinite(sample.front()) || !std::isfinite(sample.back())) return kFailed;
    if (OfOnePlusIrr(law.family) && !(sample.front() > 0)) return kFailed;
    const LawEstimate refit = EstimateLaw(law.family, sample, &law);
    if (!refit.Ok()) return kFailed;
    return KsDistance(refit.law, sample);
}

}  // namespace

bool BootstrapPValues(FitReport& report, const BootstrapSettings& settings, std::stop_token stop) {
    const std::size_t fits = report.ranked.size();
    const std::size_t resamples = static_cast<std::size_t>(std::clamp(settings.resamples, 0, kMaxResamples));
    if (fits == 0 || report.fitted == 0) return !stop.stop_requested();
    std::vector<Law> laws;
    for (const DistributionFit& fit : report.ranked) laws.push_back(LawOf(fit));

    // Item k is resample k / fits of fit k % fits: every law advances alike.
    std::vector<double> distances(fits * resamples, kFailed);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        std::vector<double> sample(report.fitted);
        for (;;) {
            if (stop.stop_requested()) return;
            const std::size_t k = next++;
            if (k >= distances.size()) return;
            const Law& law = laws[k % fits];
            const auto seed = MixSeed(settings.seed, static_cast<std::uint64_t>(law.family), k / fits);
            distances[k] = ResampleDistance(law, seed, sample);
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (unsigned t = 1; t < std::max(settings.threads, 1u); ++t) helpers.emplace_back(work);
        work();
    }
    if (stop.stop_requested()) return false;

    for (std::size_t f = 0; f < fits; ++f) {
        DistributionFit& fit = report.ranked[f];
        int counted = 0, atLeast = 0;
        for (std::size_t b = 0; b < resamples; ++b) {
            const double d = distances[b * fits + f];
            if (std::isnan(d)) continue;
            ++counted;
            if (d >= fit.ks) ++atLeast;
        }
        fit.resamples = counted;
        if (counted > 0) fit.pValue = (1.0 + atLeast) / (1.0 + counted);
        else fit.pValue.reset();
    }
    return true;
}

std::string NoLawFitsSentence(const FitReport& report) {
    if (report.ranked.empty()) return "";
    for (const DistributionFit& fit : report.ranked)
        if (!fit.pValue || !(*fit.pValue < kFitLevel)) return "";
    const DistributionFit& best = report.ranked.front();
    char p[32];
    std::snprintf(p, sizeof p, "%.3g", *best.pValue);
    const std::string name = DisplayName(best.family);
    return "No law fits at the 1 % level: the best by AIC, " + name + ", has p = " + p + ".";
}

}  // namespace valmora
