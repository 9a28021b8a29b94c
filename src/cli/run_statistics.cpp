#include "cli/run_statistics.h"

#include <algorithm>
#include <cmath>

namespace valmora::cli {
namespace {

double Percentile(const std::vector<double>& sorted, double p) {
    const double h = (static_cast<double>(sorted.size()) - 1) * p;
    const auto lo = static_cast<std::size_t>(std::floor(h));
    const std::size_t hi = std::min(lo + 1, sorted.size() - 1);
    return sorted[lo] + (h - static_cast<double>(lo)) * (sorted[hi] - sorted[lo]);
}

}  // namespace

std::optional<IrrStatistics> Summarise(std::vector<double> values) {
    if (values.empty()) return std::nullopt;
    std::sort(values.begin(), values.end());
    const double n = static_cast<double>(values.size());
    IrrStatistics s;
    double sum = 0;
    for (double v : values) sum += v;
    s.mean = sum / n;
    double squares = 0;
    for (double v : values) squares += (v - s.mean) * (v - s.mean);
    s.sd = values.size() > 1 ? std::sqrt(squares / (n - 1)) : 0.0;
    s.min = values.front();
    s.max = values.back();
    s.p05 = Percentile(values, 0.05);
    s.p50 = Percentile(values, 0.50);
    s.p95 = Percentile(values, 0.95);
    return s;
}

}  // namespace valmora::cli
