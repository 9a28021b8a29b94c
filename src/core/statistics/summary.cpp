#include "core/statistics/summary.h"

#include <algorithm>
#include <cmath>

namespace valmora {

double SortedQuantile(std::span<const double> sorted, double p) {
    const double h = (static_cast<double>(sorted.size()) - 1) * std::clamp(p, 0.0, 1.0);
    const auto lo = static_cast<std::size_t>(std::floor(h));
    const std::size_t hi = std::min(lo + 1, sorted.size() - 1);
    return sorted[lo] + (h - static_cast<double>(lo)) * (sorted[hi] - sorted[lo]);
}

bool NoSpread(double low, double high) { return !(high - low > 1e-9 * std::max({1.0, std::abs(low), std::abs(high)})); }

std::vector<double> Sorted(std::span<const double> values) {
    std::vector<double> sorted(values.begin(), values.end());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

std::optional<SampleSummary> Summarise(std::span<const double> values) {
    if (values.empty()) return std::nullopt;
    const std::vector<double> sorted = Sorted(values);
    const double n = static_cast<double>(sorted.size());
    SampleSummary s;
    s.count = sorted.size();
    double sum = 0;
    for (double v : sorted) sum += v;
    s.mean = sum / n;
    double squares = 0;
    for (double v : sorted) squares += (v - s.mean) * (v - s.mean);
    s.sd = sorted.size() > 1 ? std::sqrt(squares / (n - 1)) : 0.0;
    s.min = sorted.front();
    s.max = sorted.back();
    s.p05 = SortedQuantile(sorted, 0.05);
    s.p50 = SortedQuantile(sorted, 0.50);
    s.p95 = SortedQuantile(sorted, 0.95);
    return s;
}

}  // namespace valmora
