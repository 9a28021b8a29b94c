#include "core/solver/npv_profile.h"

#include <algorithm>
#include <cmath>

namespace valmora {
namespace {

// Points placed on each side of a listed rate, closer together near it.
constexpr int kCrowdPoints = 24;

}  // namespace

double PresentValue(std::span<const double> flows, double ratePerPeriod) {
    const double x = 1.0 / (1.0 + ratePerPeriod);
    double sum = 0;
    for (auto it = flows.rbegin(); it != flows.rend(); ++it) sum = sum * x + *it;
    return sum;
}

RateInterval ProfileRange(std::span<const double> rates, int periodsPerYear, std::span<const RateInterval> intervals) {
    const double m = std::max(periodsPerYear, 1);
    std::vector<double> anchors;  // per period
    for (double r : rates)
        if (std::isfinite(r) && r / m > -1) anchors.push_back(r / m);
    for (const RateInterval& iv : intervals)
        for (double r : {iv.low, iv.high})
            if (std::isfinite(r)) anchors.push_back(std::max(r / m, -1.0));
    if (anchors.empty()) return {-0.5 * m, 1.0 * m};

    const auto [lo, hi] = std::minmax_element(anchors.begin(), anchors.end());
    const double margin = std::max(0.25 * (*hi - *lo), 0.05 + 0.1 * std::max(std::abs(*lo), std::abs(*hi)));
    double low = *lo - margin;
    if (low <= -1) low = -1 + (1 + *lo) / 2;
    if (!(low > -1)) low = std::nextafter(-1.0, 0.0);
    return {low * m, (*hi + margin) * m};
}

NpvProfile MakeNpvProfile(std::span<const double> flows, std::span<const double> rates, int periodsPerYear,
                          std::span<const RateInterval> intervals, int samples) {
    const double m = std::max(periodsPerYear, 1);
    NpvProfile profile;
    profile.range = ProfileRange(rates, periodsPerYear, intervals);
    const double low = profile.range.low, high = profile.range.high;
    const double width = high - low;
    samples = std::max(samples, 2);

    std::vector<double> at;
    for (int k = 0; k <= samples; ++k) at.push_back(low + width * k / samples);
    at.back() = high;

    std::vector<double> listed;
    for (double r : rates)
        if (std::isfinite(r) && r >= low && r <= high) listed.push_back(r);
    std::sort(listed.begin(), listed.end());
    for (std::size_t j = 0; j < listed.size(); ++j) {
        const double r = listed[j];
        // Crowd within 2 % of the range, and within half the gap to a neighbouring rate.
        double reach = 0.02 * width;
        if (j > 0 && listed[j] > listed[j - 1]) reach = std::min(reach, 0.5 * (listed[j] - listed[j - 1]));
        if (j + 1 < listed.size() && listed[j + 1] > listed[j])
            reach = std::min(reach, 0.5 * (listed[j + 1] - listed[j]));
        at.push_back(r);
        for (int k = 1; k <= kCrowdPoints; ++k) {
            const double step =
                reach * (static_cast<double>(k) / kCrowdPoints) * (static_cast<double>(k) / kCrowdPoints);
            for (double p : {r - step, r + step})
                if (p >= low && p <= high) at.push_back(p);
        }
    }
    std::sort(at.begin(), at.end());
    at.erase(std::unique(at.begin(), at.end()), at.end());

    profile.points.reserve(at.size());
    for (double rate : at) profile.points.push_back({rate, PresentValue(flows, rate / m)});
    return profile;
}

}  // namespace valmora
