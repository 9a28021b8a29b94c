// Summary statistics of a sample: count, mean, standard deviation, extremes
// and percentiles.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace valmora {

struct SampleSummary {
    std::size_t count = 0;
    double mean = 0;
    double sd = 0;  // sample standard deviation (n - 1), 0 for one value; +inf when too large for a number
    double min = 0;
    double p05 = 0;
    double p50 = 0;
    double p95 = 0;
    double max = 0;
};

// Nothing for an empty sample. The values must be finite.
std::optional<SampleSummary> Summarise(std::span<const double> values);

// Amounts that may hold values no number can (a run's NPVs): the summary of
// the finite ones, and how many of all lie below 0.
struct AmountsSummary {
    std::optional<SampleSummary> finite;
    long negative = 0;
};
AmountsSummary SummariseAmounts(std::span<const double> values);

struct MeanAndSd {
    double mean = 0;
    double sd = 0;  // +inf when too large for a number
};

// The mean and the standard deviation with divisor n - `lostDegrees` (0 for
// maximum likelihood, 1 for the sample standard deviation) of finite values,
// n > lostDegrees. Values near the largest number do not overflow the sums:
// the mean is always finite and the standard deviation is whenever it is
// smaller than the largest number.
MeanAndSd MeanAndStandardDeviation(std::span<const double> values, int lostDegrees);

// The p-quantile (0 <= p <= 1) of sorted values, interpolating linearly
// between neighbouring order statistics. `sorted` must not be empty.
double SortedQuantile(std::span<const double> sorted, double p);

// True when `low` and `high` agree to about nine significant digits: a
// sample this narrow is treated as one value repeated (IRRs of the same rate
// from different series differ in their last bits).
bool NoSpread(double low, double high);

// The values in increasing order.
std::vector<double> Sorted(std::span<const double> values);

}  // namespace valmora
