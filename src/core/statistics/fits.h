// Maximum-likelihood fits of candidate distributions to a sample of IRRs,
// ranked by AIC, each with the Kolmogorov-Smirnov distance between the fitted
// and the empirical distribution functions. Their p-values come from a
// parametric bootstrap (ks_bootstrap.h).
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace valmora {

enum class FitFamily {
    Normal,     // mean mu, standard deviation sigma
    Lognormal,  // of 1 + IRR: log(1 + IRR) is normal(mu, sigma)
    Logistic,   // location mu, scale s
    Gamma,      // of 1 + IRR: shape, scale
    Weibull,    // of 1 + IRR: shape, scale
    StudentT,   // location mu, scale sigma, degrees of freedom nu
};

inline constexpr FitFamily kFitFamilies[] = {FitFamily::Normal, FitFamily::Lognormal, FitFamily::Logistic,
                                             FitFamily::Gamma,  FitFamily::Weibull,   FitFamily::StudentT};

// "normal", "lognormal", "logistic", "gamma", "weibull", "student_t".
std::string FamilyName(FitFamily family);

// As a person reads it: the key, but "Student t" for "student_t".
std::string DisplayName(FitFamily family);

// True for the laws of 1 + IRR (lognormal, gamma, Weibull): they need every
// IRR above -1.
bool OfOnePlusIrr(FitFamily family);

struct FitParameter {
    std::string name;
    double value = 0;
};

struct DistributionFit {
    FitFamily family = FitFamily::Normal;
    std::vector<FitParameter> params;
    double logLikelihood = 0;
    double aic = 0;  // 2k - 2 log L
    double ks = 0;   // largest distance between the fitted and empirical CDFs
    // The share of parametric bootstrap resamples whose KS distance is at
    // least ks, as (1 + count) / (1 + resamples); none until computed.
    std::optional<double> pValue{};
    int resamples = 0;   // bootstrap resamples behind pValue
    std::string note{};  // e.g. a parameter that stopped at the end of its range

    // Density and distribution function of the fitted IRR.
    double Pdf(double irr) const;
    double Cdf(double irr) const;
};

struct SkippedFit {
    FitFamily family;
    std::string reason;
};

struct FitReport {
    std::vector<DistributionFit> ranked;  // lowest AIC first
    std::vector<SkippedFit> skipped;      // families that could not be fitted, and why
    std::vector<std::string> notes;       // values left out of every fit, and why
    std::size_t fitted = 0;               // the number of values fitted
};

// Fits every family to the finite values (the others are left out with a
// note). Every fit needs at least two different values (NoSpread); the laws of
// 1 + IRR also need every IRR above -1. A law whose parameters or likelihood
// would be too large for a number is skipped with its reason, never fitted
// with an infinite parameter.
FitReport FitDistributions(std::span<const double> values);

}  // namespace valmora
