// Histograms with bins by the Freedman-Diaconis rule, and the empirical
// cumulative distribution function.
#pragma once

#include <span>
#include <vector>

namespace valmora {

// Bins a histogram may have; the Freedman-Diaconis rule is capped at
// kAutoMaxBins so that a few far-out values do not make it unreadable.
inline constexpr int kMinBins = 1;
inline constexpr int kMaxBins = 1000;
inline constexpr int kAutoMaxBins = 200;

struct Histogram {
    // edges.size() == counts.size() + 1; bin k holds edges[k] <= v < edges[k + 1],
    // the last bin also its right edge. Empty for an empty sample.
    std::vector<double> edges;
    std::vector<long> counts;

    long Total() const;
    double BinWidth() const { return edges.size() >= 2 ? edges[1] - edges[0] : 0.0; }
};

// The number of bins of width 2 * IQR / n^(1/3) that cover the range of the
// values, between 1 and kAutoMaxBins. Sturges' rule when the interquartile
// range is 0 but the values differ; 1 when they are all equal or fewer than 2.
int FreedmanDiaconisBins(std::span<const double> values);

// `bins` equal bins from the smallest to the largest value (the Freedman-
// Diaconis number when bins <= 0; clamped to kMaxBins). When every value is
// the same (NoSpread), one bin centred on them. Counts add up to values.size(); values
// that are not finite are not counted.
Histogram MakeHistogram(std::span<const double> values, int bins = 0);

struct CdfStep {
    double value;     // a distinct value of the sample
    double fraction;  // the fraction of the sample at or below it
};

// One step per distinct value, in increasing order.
std::vector<CdfStep> EmpiricalCdf(std::span<const double> values);

}  // namespace valmora
