// The distribution of the IRRs a simulation run kept, as the command line
// shows it: a compact text histogram and the fits ranked by AIC with their
// bootstrap p-values, or the same as JSON members.
#pragma once

#include <nlohmann/json.hpp>

#include <iosfwd>
#include <span>
#include <vector>

namespace valmora::cli {

// At most this many rows in the text histogram: the Freedman-Diaconis bins
// that --json gives, joined in equal groups when there are more.
inline constexpr int kTextHistogramRows = 20;

// "Distribution of the kept IRRs" with one row per bin, then the fits, their
// p-values from `resamples` bootstrap resamples each (none for 0).
void PrintDistribution(std::span<const double> irrs, int resamples, std::ostream& out);

// Adds "histogram" ({"edges", "counts"}, Freedman-Diaconis bins, counts adding
// up to the IRRs), "fits" (best first: {"name", "params", "aic", "ks",
// "p_value", "resamples"} and "note" when there is one) and "not_fitted"
// ({"name", "reason"}) to `j`.
void AddDistributionJson(std::span<const double> irrs, int resamples, nlohmann::ordered_json& j);

}  // namespace valmora::cli
