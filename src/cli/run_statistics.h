// Summary statistics of the IRRs a simulation run kept.
#pragma once

#include <optional>
#include <vector>

namespace valmora::cli {

struct IrrStatistics {
    double mean = 0, sd = 0, min = 0, p05 = 0, p50 = 0, p95 = 0, max = 0;
};

// Nothing for no values. The standard deviation is the sample one (0 for a
// single value); percentiles interpolate linearly between the sorted values.
std::optional<IrrStatistics> Summarise(std::vector<double> values);

}  // namespace valmora::cli
