#include "core/statistics/fits.h"

#include <algorithm>
#include <cmath>

#include "core/statistics/laws.h"
#include "core/statistics/maximum_likelihood.h"
#include "core/statistics/summary.h"

namespace valmora {
namespace {

std::string Count(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The fit of one family to the sorted finite IRRs, or why there is none.
std::optional<DistributionFit> FitFamilyTo(FitFamily family, const std::vector<double>& irrs, std::string& why) {
    std::vector<double> own(irrs.size());
    std::transform(irrs.begin(), irrs.end(), own.begin(), [&](double v) { return OwnScale(family, v); });
    if (OfOnePlusIrr(family)) {
        const auto atOrBelow = std::count_if(irrs.begin(), irrs.end(), [](double v) { return !(v > -1); });
        if (atOrBelow > 0) {
            const char* what = family == FitFamily::Lognormal ? "has no logarithm" : "is not positive";
            why = Count(static_cast<std::size_t>(atOrBelow), "IRR is", "IRRs are") + " at or below -1, where 1 + IRR " +
                  what;
            return std::nullopt;
        }
        if (!(own.front() > 0)) {  // 1 + IRR rounded to 0
            why = "1 + IRR is too small for a number";
            return std::nullopt;
        }
    }
    const LawEstimate e = EstimateLaw(family, own);
    if (!e.Ok()) {
        why = e.failure;
        return std::nullopt;
    }
    DistributionFit fit;
    fit.family = family;
    fit.params = NamedParameters(e.law);
    fit.note = e.note;
    double logL = 0;
    for (double v : own) logL += LogDensity(e.law, v);
    if (!std::isfinite(logL)) {
        why = "its likelihood is too small for a number";
        return std::nullopt;
    }
    fit.logLikelihood = logL;
    fit.aic = 2.0 * ParameterCount(family) - 2.0 * logL;
    fit.ks = KsDistance(e.law, own);
    return fit;
}

}  // namespace

std::string FamilyName(FitFamily family) {
    switch (family) {
        case FitFamily::Normal: return "normal";
        case FitFamily::Lognormal: return "lognormal";
        case FitFamily::Logistic: return "logistic";
        case FitFamily::Gamma: return "gamma";
        case FitFamily::Weibull: return "weibull";
        case FitFamily::StudentT: return "student_t";
    }
    return "";
}

std::string DisplayName(FitFamily family) { return family == FitFamily::StudentT ? "Student t" : FamilyName(family); }

bool OfOnePlusIrr(FitFamily family) {
    return family == FitFamily::Lognormal || family == FitFamily::Gamma || family == FitFamily::Weibull;
}

double DistributionFit::Pdf(double irr) const { return Density(LawOf(*this), OwnScale(family, irr)); }

double DistributionFit::Cdf(double irr) const { return Probability(LawOf(*this), OwnScale(family, irr)); }

FitReport FitDistributions(std::span<const double> values) {
    FitReport report;
    std::vector<double> sorted;
    for (double v : values)
        if (std::isfinite(v)) sorted.push_back(v);
    std::sort(sorted.begin(), sorted.end());
    if (const std::size_t left = values.size() - sorted.size(); left > 0)
        report.notes.push_back(Count(left, "value", "values") + " not finite (infinite or not a number) " +
                               (left == 1 ? "is" : "are") + " left out of the fits");

    if (sorted.size() < 2 || NoSpread(sorted.front(), sorted.back())) {
        const std::string reason = sorted.size() < 2 ? "needs at least two IRRs" : "every IRR is the same";
        for (FitFamily f : kFitFamilies) report.skipped.push_back({f, reason});
        return report;
    }
    report.fitted = sorted.size();
    for (FitFamily family : kFitFamilies) {
        std::string why;
        if (auto fit = FitFamilyTo(family, sorted, why)) report.ranked.push_back(std::move(*fit));
        else report.skipped.push_back({family, why});
    }
    std::stable_sort(report.ranked.begin(), report.ranked.end(),
                     [](const DistributionFit& x, const DistributionFit& y) { return x.aic < y.aic; });
    return report;
}

}  // namespace valmora
