#include "core/statistics/histogram.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/statistics/summary.h"

namespace valmora {
namespace {

std::vector<double> SortedFinite(std::span<const double> values) {
    std::vector<double> sorted;
    sorted.reserve(values.size());
    for (double v : values)
        if (std::isfinite(v)) sorted.push_back(v);
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

int FreedmanDiaconisBinsSorted(const std::vector<double>& sorted) {
    if (sorted.size() < 2) return 1;
    const double range = sorted.back() - sorted.front();
    if (NoSpread(sorted.front(), sorted.back())) return 1;
    const double n = static_cast<double>(sorted.size());
    const double iqr = SortedQuantile(sorted, 0.75) - SortedQuantile(sorted, 0.25);
    double bins;
    if (iqr > 0) bins = std::ceil(range / (2.0 * iqr / std::cbrt(n)));
    else bins = std::ceil(std::log2(n)) + 1;
    if (!std::isfinite(bins)) return kAutoMaxBins;
    return static_cast<int>(std::clamp(bins, 1.0, static_cast<double>(kAutoMaxBins)));
}

}  // namespace

long Histogram::Total() const { return std::accumulate(counts.begin(), counts.end(), 0L); }

int FreedmanDiaconisBins(std::span<const double> values) { return FreedmanDiaconisBinsSorted(SortedFinite(values)); }

Histogram MakeHistogram(std::span<const double> values, int bins) {
    const std::vector<double> sorted = SortedFinite(values);
    Histogram h;
    if (sorted.empty()) return h;
    if (bins <= 0) bins = FreedmanDiaconisBinsSorted(sorted);
    bins = std::clamp(bins, kMinBins, kMaxBins);
    double lo = sorted.front();
    double hi = sorted.back();
    if (NoSpread(lo, hi)) {
        // One value: a bin of 1 % of its size (or 0.01) around it.
        const double centre = lo + (hi - lo) / 2;
        const double half = 0.005 * std::max(std::abs(centre), 1.0);
        lo = centre - half;
        hi = centre + half;
        bins = 1;
    }
    // A range too large for a number is divided in halves of the values.
    const double unit = std::isfinite(hi - lo) ? 1.0 : 0.5;
    const double width = (hi * unit - lo * unit) / bins;
    h.edges.resize(static_cast<std::size_t>(bins) + 1);
    for (int k = 0; k <= bins; ++k) h.edges[static_cast<std::size_t>(k)] = (lo * unit + width * k) / unit;
    h.edges.back() = hi;
    h.counts.assign(static_cast<std::size_t>(bins), 0);
    for (double v : sorted) {
        auto k = static_cast<long>(std::floor((v * unit - lo * unit) / width));
        k = std::clamp(k, 0L, static_cast<long>(bins) - 1);
        // Rounding of lo + width * k may put a value just across an edge.
        while (k > 0 && v < h.edges[static_cast<std::size_t>(k)]) --k;
        while (k < bins - 1 && v >= h.edges[static_cast<std::size_t>(k) + 1]) ++k;
        ++h.counts[static_cast<std::size_t>(k)];
    }
    return h;
}

std::vector<CdfStep> EmpiricalCdf(std::span<const double> values) {
    const std::vector<double> sorted = SortedFinite(values);
    std::vector<CdfStep> steps;
    const double n = static_cast<double>(sorted.size());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (i + 1 < sorted.size() && sorted[i + 1] == sorted[i]) continue;
        steps.push_back({sorted[i], static_cast<double>(i + 1) / n});
    }
    return steps;
}

}  // namespace valmora
