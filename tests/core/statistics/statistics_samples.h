// Samples of IRRs drawn from known laws with fixed seeds, for the tests of
// the fits and their p-values.
#pragma once

#include <cmath>
#include <random>
#include <vector>

#include "core/statistics/fits.h"

namespace valmora::samples {

inline std::vector<double> Normal(double mu, double sigma, int n, unsigned seed) {
    std::mt19937_64 gen(seed);
    std::normal_distribution<double> d(mu, sigma);
    std::vector<double> v(static_cast<std::size_t>(n));
    for (double& x : v) x = d(gen);
    return v;
}

// IRRs whose 1 + IRR is lognormal(mu, sigma).
inline std::vector<double> Lognormal(double mu, double sigma, int n, unsigned seed) {
    std::vector<double> v = Normal(mu, sigma, n, seed);
    for (double& x : v) x = std::expm1(x);
    return v;
}

inline std::vector<double> Logistic(double mu, double s, int n, unsigned seed) {
    std::mt19937_64 gen(seed);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<double> v(static_cast<std::size_t>(n));
    for (double& x : v) {
        double p;
        do p = u(gen);
        while (p == 0.0);
        x = mu + s * std::log(p / (1 - p));
    }
    return v;
}

// IRRs whose 1 + IRR is gamma(shape, scale).
inline std::vector<double> Gamma(double shape, double scale, int n, unsigned seed) {
    std::mt19937_64 gen(seed);
    std::gamma_distribution<double> d(shape, scale);
    std::vector<double> v(static_cast<std::size_t>(n));
    for (double& x : v) x = d(gen) - 1;
    return v;
}

// IRRs whose 1 + IRR is Weibull(shape, scale).
inline std::vector<double> Weibull(double shape, double scale, int n, unsigned seed) {
    std::mt19937_64 gen(seed);
    std::weibull_distribution<double> d(shape, scale);
    std::vector<double> v(static_cast<std::size_t>(n));
    for (double& x : v) x = d(gen) - 1;
    return v;
}

inline std::vector<double> StudentT(double mu, double sigma, double nu, int n, unsigned seed) {
    std::mt19937_64 gen(seed);
    std::student_t_distribution<double> d(nu);
    std::vector<double> v(static_cast<std::size_t>(n));
    for (double& x : v) x = mu + sigma * d(gen);
    return v;
}

inline const DistributionFit* FitOf(const FitReport& r, FitFamily f) {
    for (const auto& fit : r.ranked)
        if (fit.family == f) return &fit;
    return nullptr;
}

}  // namespace valmora::samples
