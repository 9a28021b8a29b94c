#include "core/statistics/laws.h"

#include <boost/math/distributions/students_t.hpp>
#include <boost/math/special_functions/gamma.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace valmora {
namespace {

namespace bm = boost::math;

// Errors come back as values (NaN, infinity) instead of exceptions, and
// doubles are not promoted to long double (twice as fast, as accurate as the
// fits need).
using Quiet = bm::policies::policy<
    bm::policies::domain_error<bm::policies::ignore_error>, bm::policies::overflow_error<bm::policies::ignore_error>,
    bm::policies::underflow_error<bm::policies::ignore_error>,
    bm::policies::evaluation_error<bm::policies::ignore_error>, bm::policies::promote_double<false>>;

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kLogRootTwoPi = 0.5 * std::log(2 * M_PI);

double NormalLogDensity(double z, double logSigma) { return -0.5 * z * z - logSigma - kLogRootTwoPi; }

double NormalProbability(double z) { return 0.5 * std::erfc(-z / M_SQRT2); }

// log(1 + z^2 / nu), also where z^2 overflows.
double LogOnePlusSquare(double z, double nu) {
    const double a = std::abs(z);
    if (a > 1e150) return 2 * std::log(a) - std::log(nu);
    return std::log1p(a * a / nu);
}

// log Gamma((nu + 1) / 2) - log Gamma(nu / 2), without the cancellation of
// two large logarithms.
double LogGammaHalfStep(double nu) { return -std::log(bm::tgamma_delta_ratio(nu / 2, 0.5, Quiet())); }

// The difference of the exact and the interpolated distribution function
// this small leaves the values interpolated.
constexpr double kInterpolationTolerance = 1e-11;
// Exact values every this many sorted values, and in between where the
// interpolation is not close enough.
constexpr std::size_t kAnchorStride = 32;

// Fills out[i + 1 .. j - 1] from exact values and densities at i and j:
// cubic Hermite interpolation where it agrees with the exact value in the
// middle, otherwise the two halves the same way.
void FillBetween(const Law& law, std::span<const double> x, std::span<double> out, std::vector<double>& density,
                 std::size_t i, std::size_t j) {
    if (j - i < 2) return;
    const double a = x[i], h = x[j] - x[i];
    if (!(h > 0)) {  // equal values
        for (std::size_t k = i + 1; k < j; ++k) out[k] = out[i];
        return;
    }
    auto hermite = [&](std::size_t k) {
        const double t = (x[k] - a) / h, u = 1 - t;
        return (1 + 2 * t) * u * u * out[i] + t * u * u * h * density[i] + t * t * (3 - 2 * t) * out[j] -
               t * t * u * h * density[j];
    };
    const std::size_t m = i + (j - i) / 2;
    const double exact = Probability(law, x[m]);
    if (std::abs(hermite(m) - exact) <= kInterpolationTolerance) {
        for (std::size_t k = i + 1; k < j; ++k) out[k] = k == m ? exact : hermite(k);
        return;
    }
    out[m] = exact;
    density[m] = Density(law, x[m]);
    FillBetween(law, x, out, density, i, m);
    FillBetween(law, x, out, density, m, j);
}

}  // namespace

int ParameterCount(FitFamily family) { return family == FitFamily::StudentT ? 3 : 2; }

std::vector<FitParameter> NamedParameters(const Law& law) {
    const auto& p = law.p;
    switch (law.family) {
        case FitFamily::Normal:
        case FitFamily::Lognormal: return {{"mu", p[0]}, {"sigma", p[1]}};
        case FitFamily::Logistic: return {{"mu", p[0]}, {"s", p[1]}};
        case FitFamily::Gamma:
        case FitFamily::Weibull: return {{"shape", p[0]}, {"scale", p[1]}};
        case FitFamily::StudentT: return {{"mu", p[0]}, {"sigma", p[1]}, {"nu", p[2]}};
    }
    return {};
}

Law LawOf(const DistributionFit& fit) {
    Law law{fit.family, {}};
    for (std::size_t k = 0; k < fit.params.size() && k < law.p.size(); ++k) law.p[k] = fit.params[k].value;
    return law;
}

double OwnScale(FitFamily family, double irr) { return OfOnePlusIrr(family) ? 1.0 + irr : irr; }

double IrrOf(FitFamily family, double own) { return OfOnePlusIrr(family) ? own - 1.0 : own; }

double LogDensity(const Law& law, double v) {
    const auto& p = law.p;
    switch (law.family) {
        case FitFamily::Normal: return NormalLogDensity((v - p[0]) / p[1], std::log(p[1]));
        case FitFamily::Lognormal: {
            if (!(v > 0)) return -kInf;
            const double logV = std::log(v);
            return NormalLogDensity((logV - p[0]) / p[1], std::log(p[1])) - logV;
        }
        case FitFamily::Logistic: {
            const double a = std::abs((v - p[0]) / p[1]);
            return -a - 2 * std::log1p(std::exp(-a)) - std::log(p[1]);
        }
        case FitFamily::Gamma: {
            if (!(v > 0)) return -kInf;
            const double u = v / p[1];
            return (p[0] - 1) * std::log(u) - u - bm::lgamma(p[0], Quiet()) - std::log(p[1]);
        }
        case FitFamily::Weibull: {
            if (!(v > 0)) return -kInf;
            const double logU = std::log(v / p[1]);
            return std::log(p[0]) - std::log(p[1]) + (p[0] - 1) * logU - std::exp(p[0] * logU);
        }
        case FitFamily::StudentT: {
            const double nu = p[2];
            return LogGammaHalfStep(nu) - 0.5 * std::log(nu * M_PI) - std::log(p[1]) -
                   (nu + 1) / 2 * LogOnePlusSquare((v - p[0]) / p[1], nu);
        }
    }
    return -kInf;
}

double Density(const Law& law, double v) { return std::exp(LogDensity(law, v)); }

double Probability(const Law& law, double v) {
    const auto& p = law.p;
    switch (law.family) {
        case FitFamily::Normal: return NormalProbability((v - p[0]) / p[1]);
        case FitFamily::Lognormal: return v > 0 ? NormalProbability((std::log(v) - p[0]) / p[1]) : 0.0;
        case FitFamily::Logistic: {
            const double z = (v - p[0]) / p[1];
            if (z >= 0) return 1 / (1 + std::exp(-z));
            const double e = std::exp(z);
            return e / (1 + e);
        }
        case FitFamily::Gamma: return v > 0 ? bm::gamma_p(p[0], v / p[1], Quiet()) : 0.0;
        case FitFamily::Weibull: return v > 0 ? -std::expm1(-std::exp(p[0] * std::log(v / p[1]))) : 0.0;
        case FitFamily::StudentT: {
            const double z = (v - p[0]) / p[1];
            if (std::isinf(z)) return z > 0 ? 1.0 : 0.0;
            return bm::cdf(bm::students_t_distribution<double, Quiet>(p[2]), z);
        }
    }
    return 0;
}

void Probabilities(const Law& law, std::span<const double> sorted, std::span<double> out) {
    const std::size_t n = sorted.size();
    const bool costly = law.family == FitFamily::Gamma || law.family == FitFamily::StudentT;
    if (!costly || n < 2 * kAnchorStride) {
        for (std::size_t i = 0; i < n; ++i) out[i] = Probability(law, sorted[i]);
        return;
    }
    std::vector<double> density(n);
    auto exact = [&](std::size_t i) {
        out[i] = Probability(law, sorted[i]);
        density[i] = Density(law, sorted[i]);
    };
    exact(0);
    for (std::size_t from = 0; from < n - 1;) {
        const std::size_t to = std::min(from + kAnchorStride, n - 1);
        exact(to);
        FillBetween(law, sorted, out, density, from, to);
        from = to;
    }
}

double KsDistance(const Law& law, std::span<const double> sorted) {
    std::vector<double> f(sorted.size());
    Probabilities(law, sorted, f);
    const double n = static_cast<double>(sorted.size());
    double d = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i)
        d = std::max({d, static_cast<double>(i + 1) / n - f[i], f[i] - static_cast<double>(i) / n});
    return d;
}

}  // namespace valmora
