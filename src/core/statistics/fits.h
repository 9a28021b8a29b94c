// Maximum-likelihood fits of candidate distributions to a sample of IRRs,
// ranked by AIC, with the Kolmogorov-Smirnov statistic of each; and a
// Gaussian kernel density estimate.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace valmora {

enum class FitFamily {
    Normal,     // mean mu, standard deviation sigma
    Lognormal,  // of 1 + IRR: log(1 + IRR) is normal(mu, sigma)
    Logistic,   // location mu, scale s
};

struct FitParameter {
    std::string name;
    double value = 0;
};

struct DistributionFit {
    FitFamily family = FitFamily::Normal;
    std::vector<FitParameter> params;
    double logLikelihood = 0;
    double aic = 0;     // 2k - 2 log L
    double ks = 0;      // largest distance between the fitted and empirical CDFs
    double pValue = 0;  // of ks under Kolmogorov's limiting distribution

    // Density and distribution function of the fitted IRR.
    double Pdf(double irr) const;
    double Cdf(double irr) const;
};

// "normal", "lognormal", "logistic".
std::string FamilyName(FitFamily family);

struct SkippedFit {
    FitFamily family;
    std::string reason;
};

struct FitReport {
    std::vector<DistributionFit> ranked;  // lowest AIC first
    std::vector<SkippedFit> skipped;      // families that could not be fitted, and why
};

// Fits every family to the finite values. Every fit needs at least two
// different values (NoSpread); the lognormal fit also needs every IRR above -1.
// The p-values treat the fitted parameters as known, so they overstate the
// fit somewhat (estimating the parameters brings the curve closer to the data).
FitReport FitDistributions(std::span<const double> values);

// Gaussian kernel density estimate with Silverman's bandwidth
// 0.9 * min(sd, IQR / 1.34) * n^(-1/5) (sd alone when the IQR is 0).
class KernelDensity {
public:
    // Invalid (bandwidth 0) for fewer than two different finite values (NoSpread).
    explicit KernelDensity(std::span<const double> values);
    bool Valid() const { return bandwidth_ > 0; }
    double Bandwidth() const { return bandwidth_; }
    double operator()(double x) const;

private:
    std::vector<double> sorted_;
    double bandwidth_ = 0;
};

}  // namespace valmora
