#include "core/statistics/kernel_density.h"

#include <algorithm>
#include <cmath>

#include "core/statistics/summary.h"

namespace valmora {

KernelDensity::KernelDensity(std::span<const double> values) {
    for (double v : values)
        if (std::isfinite(v)) sorted_.push_back(v);
    std::sort(sorted_.begin(), sorted_.end());
    if (sorted_.size() < 2 || NoSpread(sorted_.front(), sorted_.back())) return;
    const double sd = MeanAndStandardDeviation(sorted_, 1).sd;
    const double iqr = SortedQuantile(sorted_, 0.75) - SortedQuantile(sorted_, 0.25);
    const double spread = iqr > 0 ? std::min(sd, iqr / 1.34) : sd;
    const double bandwidth = 0.9 * spread * std::pow(static_cast<double>(sorted_.size()), -0.2);
    if (std::isfinite(bandwidth)) bandwidth_ = bandwidth;
}

double KernelDensity::operator()(double x) const {
    if (!Valid()) return 0;
    // Kernels further than 9 bandwidths away add less than 1e-17 each.
    const double reach = 9.0 * bandwidth_;
    auto first = std::lower_bound(sorted_.begin(), sorted_.end(), x - reach);
    auto last = std::upper_bound(first, sorted_.end(), x + reach);
    double sum = 0;
    for (auto it = first; it != last; ++it) {
        const double z = (x - *it) / bandwidth_;
        sum += std::exp(-0.5 * z * z);
    }
    return sum / (static_cast<double>(sorted_.size()) * bandwidth_ * std::sqrt(2 * M_PI));
}

}  // namespace valmora
