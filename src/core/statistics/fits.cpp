#include "core/statistics/fits.h"

#include <boost/math/distributions/kolmogorov_smirnov.hpp>
#include <boost/math/distributions/logistic.hpp>
#include <boost/math/distributions/lognormal.hpp>
#include <boost/math/distributions/normal.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/statistics/summary.h"

namespace valmora {
namespace {

namespace bm = boost::math;

// Errors come back as values (NaN, infinity) instead of exceptions; the
// callers check for them.
using Quiet = bm::policies::policy<bm::policies::domain_error<bm::policies::ignore_error>,
                                   bm::policies::overflow_error<bm::policies::ignore_error>,
                                   bm::policies::underflow_error<bm::policies::ignore_error>,
                                   bm::policies::evaluation_error<bm::policies::ignore_error>>;
using Normal = bm::normal_distribution<double, Quiet>;
using Lognormal = bm::lognormal_distribution<double, Quiet>;
using Logistic = bm::logistic_distribution<double, Quiet>;

constexpr double kInf = std::numeric_limits<double>::infinity();

double Param(const DistributionFit& fit, std::size_t k) { return fit.params[k].value; }

double LogPdf(const DistributionFit& fit, double x) {
    switch (fit.family) {
        case FitFamily::Normal: return bm::logpdf(Normal(Param(fit, 0), Param(fit, 1)), x);
        case FitFamily::Lognormal:
            // The density of 1 + IRR, whose logarithm is normal.
            if (!(x > -1)) return -kInf;
            return bm::logpdf(Normal(Param(fit, 0), Param(fit, 1)), std::log1p(x)) - std::log1p(x);
        case FitFamily::Logistic: return std::log(bm::pdf(Logistic(Param(fit, 0), Param(fit, 1)), x));
    }
    return -kInf;
}

// Log-likelihood, AIC and the Kolmogorov-Smirnov test of a fit to sorted values.
void Score(DistributionFit& fit, const std::vector<double>& sorted) {
    double logL = 0;
    for (double x : sorted) logL += LogPdf(fit, x);
    fit.logLikelihood = std::isfinite(logL) ? logL : -kInf;
    fit.aic = 2.0 * static_cast<double>(fit.params.size()) - 2.0 * fit.logLikelihood;

    const double n = static_cast<double>(sorted.size());
    double d = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const double f = fit.Cdf(sorted[i]);
        d = std::max({d, static_cast<double>(i + 1) / n - f, f - static_cast<double>(i) / n});
    }
    fit.ks = d;
    fit.pValue =
        std::clamp(bm::cdf(bm::complement(bm::kolmogorov_smirnov_distribution<double, Quiet>(n), d)), 0.0, 1.0);
}

// Mean and maximum-likelihood standard deviation (divided by n).
std::pair<double, double> MeanAndMlSd(const std::vector<double>& v) {
    double sum = 0;
    for (double x : v) sum += x;
    const double mean = sum / static_cast<double>(v.size());
    double squares = 0;
    for (double x : v) squares += (x - mean) * (x - mean);
    return {mean, std::sqrt(squares / static_cast<double>(v.size()))};
}

// Logistic maximum likelihood. With u = b*y - a (a = mu/s, b = 1/s) the
// log-likelihood sum(log f(u_i)) + n log b is strictly concave, so Newton's
// method with a backtracking line search converges to the one maximum. The
// values are centred and scaled first so that the start is always close.
bool FitLogistic(const std::vector<double>& sorted, double& mu, double& s) {
    const double centre = SortedQuantile(sorted, 0.5);
    const double scale = MeanAndMlSd(sorted).second;
    if (!(scale > 0)) return false;
    std::vector<double> y(sorted.size());
    for (std::size_t i = 0; i < y.size(); ++i) y[i] = (sorted[i] - centre) / scale;
    const double n = static_cast<double>(y.size());

    auto logLikelihood = [&](double a, double b) {
        double sum = n * std::log(b);
        for (double yi : y) {
            const double u = std::abs(b * yi - a);
            sum += -u - 2.0 * std::log1p(std::exp(-u));
        }
        return sum;
    };

    double a = 0, b = M_PI / std::sqrt(3.0);  // a logistic of the sample's SD
    double l = logLikelihood(a, b);
    for (int iter = 0; iter < 200; ++iter) {
        double ga = 0, gb = n / b, haa = 0, hab = 0, hbb = -n / (b * b);
        for (double yi : y) {
            const double t = std::tanh((b * yi - a) / 2.0);
            const double w = 0.5 * (1.0 - t * t);
            ga += t;
            gb -= t * yi;
            haa -= w;
            hab += w * yi;
            hbb -= w * yi * yi;
        }
        const double det = haa * hbb - hab * hab;
        if (!(det > 0)) return false;
        // Newton direction: -H^-1 g.
        const double da = -(hbb * ga - hab * gb) / det;
        const double db = -(-hab * ga + haa * gb) / det;
        const double decrement = ga * da + gb * db;  // -g' H^-1 g >= 0
        if (!(decrement >= 0)) return false;
        if (decrement < 1e-24 * n) break;
        double t = 1.0;
        double nextL = -kInf;
        if (decrement < 1e-8 * n && b + db > 0) {
            // Close to the maximum the likelihood changes by less than its
            // rounding; full Newton steps converge there.
            nextL = logLikelihood(a + da, b + db);
        } else {
            for (int halving = 0; halving < 60; ++halving, t /= 2) {
                if (b + t * db <= 0) continue;
                nextL = logLikelihood(a + t * da, b + t * db);
                if (nextL >= l + 1e-4 * t * decrement) break;
            }
            if (!(nextL >= l)) break;  // no step improves: at the maximum to rounding
        }
        a += t * da;
        b += t * db;
        const bool settled = std::abs(t * da) < 1e-14 * (1 + std::abs(a)) && std::abs(t * db) < 1e-14 * b;
        l = nextL;
        if (settled) break;
    }
    mu = centre + scale * a / b;
    s = scale / b;
    return std::isfinite(mu) && s > 0 && std::isfinite(s);
}

}  // namespace

std::string FamilyName(FitFamily family) {
    switch (family) {
        case FitFamily::Normal: return "normal";
        case FitFamily::Lognormal: return "lognormal";
        case FitFamily::Logistic: return "logistic";
    }
    return "";
}

double DistributionFit::Pdf(double irr) const {
    switch (family) {
        case FitFamily::Normal: return bm::pdf(Normal(Param(*this, 0), Param(*this, 1)), irr);
        case FitFamily::Lognormal:
            return irr > -1 ? bm::pdf(Lognormal(Param(*this, 0), Param(*this, 1)), 1.0 + irr) : 0.0;
        case FitFamily::Logistic: return bm::pdf(Logistic(Param(*this, 0), Param(*this, 1)), irr);
    }
    return 0;
}

double DistributionFit::Cdf(double irr) const {
    switch (family) {
        case FitFamily::Normal: return bm::cdf(Normal(Param(*this, 0), Param(*this, 1)), irr);
        case FitFamily::Lognormal:
            return irr > -1 ? bm::cdf(Lognormal(Param(*this, 0), Param(*this, 1)), 1.0 + irr) : 0.0;
        case FitFamily::Logistic: return bm::cdf(Logistic(Param(*this, 0), Param(*this, 1)), irr);
    }
    return 0;
}

FitReport FitDistributions(std::span<const double> values) {
    std::vector<double> sorted;
    for (double v : values)
        if (std::isfinite(v)) sorted.push_back(v);
    std::sort(sorted.begin(), sorted.end());

    FitReport report;
    const FitFamily families[] = {FitFamily::Normal, FitFamily::Lognormal, FitFamily::Logistic};
    if (sorted.size() < 2 || NoSpread(sorted.front(), sorted.back())) {
        const std::string reason = sorted.size() < 2 ? "needs at least two IRRs" : "every IRR is the same";
        for (FitFamily f : families) report.skipped.push_back({f, reason});
        return report;
    }

    auto add = [&](FitFamily family, std::vector<FitParameter> params) {
        DistributionFit fit;
        fit.family = family;
        fit.params = std::move(params);
        Score(fit, sorted);
        report.ranked.push_back(std::move(fit));
    };

    const auto [mean, sd] = MeanAndMlSd(sorted);
    add(FitFamily::Normal, {{"mu", mean}, {"sigma", sd}});

    const auto atOrBelow = std::count_if(sorted.begin(), sorted.end(), [](double v) { return !(v > -1); });
    if (atOrBelow > 0) {
        report.skipped.push_back({FitFamily::Lognormal, std::to_string(atOrBelow) +
                                                            (atOrBelow == 1 ? " IRR is" : " IRRs are") +
                                                            " at or below -1, where 1 + IRR has no logarithm"});
    } else {
        std::vector<double> logs(sorted.size());
        std::transform(sorted.begin(), sorted.end(), logs.begin(), [](double v) { return std::log1p(v); });
        const auto [logMean, logSd] = MeanAndMlSd(logs);
        if (!NoSpread(logs.front(), logs.back())) add(FitFamily::Lognormal, {{"mu", logMean}, {"sigma", logSd}});
        else report.skipped.push_back({FitFamily::Lognormal, "every log(1 + IRR) is the same"});
    }

    double mu = 0, s = 0;
    if (FitLogistic(sorted, mu, s)) add(FitFamily::Logistic, {{"mu", mu}, {"s", s}});
    else report.skipped.push_back({FitFamily::Logistic, "the likelihood could not be maximised"});

    std::stable_sort(report.ranked.begin(), report.ranked.end(),
                     [](const DistributionFit& x, const DistributionFit& y) { return x.aic < y.aic; });
    return report;
}

KernelDensity::KernelDensity(std::span<const double> values) {
    for (double v : values)
        if (std::isfinite(v)) sorted_.push_back(v);
    std::sort(sorted_.begin(), sorted_.end());
    if (sorted_.size() < 2 || NoSpread(sorted_.front(), sorted_.back())) return;
    const double sd = Summarise(sorted_)->sd;
    const double iqr = SortedQuantile(sorted_, 0.75) - SortedQuantile(sorted_, 0.25);
    const double spread = iqr > 0 ? std::min(sd, iqr / 1.34) : sd;
    bandwidth_ = 0.9 * spread * std::pow(static_cast<double>(sorted_.size()), -0.2);
}

double KernelDensity::operator()(double x) const {
    if (!Valid()) return 0;
    // Kernels further than 9 bandwidths away add less than 1e-17 each.
    const double reach = 9.0 * bandwidth_;
    auto first = std::lower_bound(sorted_.begin(), sorted_.end(), x - reach);
    auto last = std::upper_bound(first, sorted_.end(), x + reach);
    const Normal kernel(0.0, 1.0);
    double sum = 0;
    for (auto it = first; it != last; ++it) sum += bm::pdf(kernel, (x - *it) / bandwidth_);
    return sum / (static_cast<double>(sorted_.size()) * bandwidth_);
}

}  // namespace valmora
