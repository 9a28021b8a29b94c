#include "core/statistics/summary.h"

#include <algorithm>
#include <cmath>

namespace valmora {

MeanAndSd MeanAndStandardDeviation(std::span<const double> values, int lostDegrees) {
    const double n = static_cast<double>(values.size());
    double largest = 0;
    for (double v : values) largest = std::max(largest, std::abs(v));
    // Squares of values this far from 1 would overflow or underflow: they are
    // scaled to at most 1 in size first.
    const bool extreme = largest > 1e150 || (largest < 1e-150 && largest > 0);
    const double scale = extreme ? largest : 1.0;
    double sum = 0;
    for (double v : values) sum += v / scale;
    const double scaledMean = sum / n;
    double squares = 0;
    for (double v : values) {
        const double d = v / scale - scaledMean;
        squares += d * d;
    }
    MeanAndSd m;
    m.mean = std::clamp(scaledMean * scale, -largest, largest);
    m.sd = std::sqrt(squares / (n - lostDegrees)) * scale;
    return m;
}

double SortedQuantile(std::span<const double> sorted, double p) {
    const double h = (static_cast<double>(sorted.size()) - 1) * std::clamp(p, 0.0, 1.0);
    const auto lo = static_cast<std::size_t>(std::floor(h));
    const std::size_t hi = std::min(lo + 1, sorted.size() - 1);
    const double t = h - static_cast<double>(lo);
    const double gap = sorted[hi] - sorted[lo];
    // A gap too large for a number: a weighted mean instead.
    if (!std::isfinite(gap)) return sorted[lo] * (1 - t) + sorted[hi] * t;
    return sorted[lo] + t * gap;
}

bool NoSpread(double low, double high) {
    // Halves, so that the difference of two values of opposite signs near the
    // largest number does not overflow.
    return !(high / 2 - low / 2 > 0.5e-9 * std::max({1.0, std::abs(low), std::abs(high)}));
}

std::vector<double> Sorted(std::span<const double> values) {
    std::vector<double> sorted(values.begin(), values.end());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

AmountsSummary SummariseAmounts(std::span<const double> values) {
    std::vector<double> finite;
    AmountsSummary out;
    for (const double v : values) {
        if (std::isfinite(v)) finite.push_back(v);
        if (v < 0) ++out.negative;
    }
    out.finite = Summarise(finite);
    return out;
}

std::optional<SampleSummary> Summarise(std::span<const double> values) {
    if (values.empty()) return std::nullopt;
    const std::vector<double> sorted = Sorted(values);
    SampleSummary s;
    s.count = sorted.size();
    const MeanAndSd m = MeanAndStandardDeviation(sorted, sorted.size() > 1 ? 1 : 0);
    s.mean = m.mean;
    s.sd = sorted.size() > 1 ? m.sd : 0.0;
    s.min = sorted.front();
    s.max = sorted.back();
    s.p05 = SortedQuantile(sorted, 0.05);
    s.p50 = SortedQuantile(sorted, 0.50);
    s.p95 = SortedQuantile(sorted, 0.95);
    return s;
}

}  // namespace valmora
