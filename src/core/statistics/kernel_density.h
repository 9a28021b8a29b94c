// A Gaussian kernel density estimate of a sample of IRRs.
#pragma once

#include <span>
#include <vector>

namespace valmora {

// Silverman's bandwidth 0.9 * min(sd, IQR / 1.34) * n^(-1/5) (sd alone when
// the IQR is 0).
class KernelDensity {
public:
    // Invalid (bandwidth 0) for fewer than two different finite values
    // (NoSpread), or a spread too large for a number.
    explicit KernelDensity(std::span<const double> values);
    bool Valid() const { return bandwidth_ > 0; }
    double Bandwidth() const { return bandwidth_; }
    double operator()(double x) const;

private:
    std::vector<double> sorted_;
    double bandwidth_ = 0;
};

}  // namespace valmora
