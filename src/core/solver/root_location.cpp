#include "core/solver/root_location.h"

#include <cmath>
#include <optional>

#include "core/solver/fast_scan.h"
#include "core/solver/polynomial.h"
#include "core/solver/refine_root.h"
#include "core/solver/root_census.h"

namespace valmora {
namespace {

class Scanner {
public:
    Scanner(const CashFlowAnalysis& analysis, const SearchSettings& settings, std::uint64_t budget)
        : poly_(analysis.coefficients),
          deriv_(analysis.derivative),
          terms_(static_cast<int>(analysis.coefficients.size())),
          upperBound_(analysis.upperBound),
          maxRoots_(analysis.maxRoots),
          increment_(settings.increment),
          tol_(settings.tolerance),
          periods_(settings.periodsPerYear),
          budget_(budget) {}

    RootSearch Run();

private:
    double F(double x) {
        work_ += static_cast<std::uint64_t>(terms_) * WorkWeight(x);
        return EvalPolynomial(poly_, x);
    }
    double DF(double x) {
        work_ += static_cast<std::uint64_t>(terms_ - 1) * WorkWeight(x);
        return EvalPolynomial(deriv_, x);
    }
    // The root of the sign change across [lo, hi], f(lo) of the sign of
    // fLo: f and f' term by term at every step.
    double Refine(double lo, double hi, double fLo);

    std::span<const double> poly_;
    std::span<const double> deriv_;
    const int terms_;
    const double upperBound_;
    const int maxRoots_;
    const double increment_;
    const double tol_;
    const int periods_;
    const std::uint64_t budget_;
    std::uint64_t work_ = 0;
};

double Scanner::Refine(double lo, double hi, double fLo) {
    auto valueAndSlope = [this](double x) { return ValueAndSlope{F(x), DF(x)}; };
    auto sign = [this](double x) { return ValueSign(F(x)); };
    return RefineBracket(lo, hi, ValueSign(fLo), tol_, valueAndSlope, sign);
}

RootSearch Scanner::Run() {
    RootSearch result;
    double x = 0.0;
    double fPrev = F(0.0);

    ScanStop stop = ScanStop::None;
    while (x <= upperBound_ && static_cast<int>(result.rates.size() + result.unlisted.size()) < maxRoots_) {
        if (work_ >= budget_) {
            stop = ScanStop::WorkBudget;
            break;
        }
        const double prevX = x;
        const double nextX = prevX + increment_;
        if (nextX == prevX) {
            stop = ScanStop::Stalled;
            break;
        }
        x = nextX;
        const double fCur = F(x);
        if (!std::isfinite(fCur)) {
            stop = ScanStop::NotFinite;
            break;
        }
        if ((fCur > 0 && fPrev < 0) || (fCur < 0 && fPrev > 0)) {
            const double root = Refine(prevX, x, fPrev);
            const double rate = RateFromRoot(root, periods_);
            if (std::isfinite(rate)) {
                result.roots.push_back(root);
                result.rates.push_back(rate);
                result.brackets.push_back({prevX, x});
            } else {
                result.unlisted.push_back(root);
                result.unlistedBrackets.push_back({prevX, x});
            }
        }
        fPrev = fCur;
    }
    result.stop = stop;
    result.lastX = x;
    result.status = stop == ScanStop::None ? ScanStatus::Complete : ScanStatus::Incomplete;
    return result;
}

RootSearch Refused(ScanStatus status) {
    RootSearch r;
    r.status = status;
    return r;
}

std::optional<RootSearch> CheckInputs(const CashFlowAnalysis& analysis, const SearchSettings& settings) {
    if (!analysis.Ok() || analysis.Degree() < 1 || analysis.derivative.size() + 1 != analysis.coefficients.size())
        return Refused(ScanStatus::NotAnalysed);
    switch (CheckSearchSettings(settings, SettingsRule::Searchable)) {
        case SearchSetting::Increment: return Refused(ScanStatus::BadIncrement);
        case SearchSetting::Tolerance: return Refused(ScanStatus::BadTolerance);
        case SearchSetting::PeriodsPerYear: return Refused(ScanStatus::BadPeriods);
        case SearchSetting::None: break;
    }
    return std::nullopt;
}

}  // namespace

RootSearch LocateRootsReference(const CashFlowAnalysis& analysis, const SearchSettings& settings,
                                std::uint64_t workBudget) {
    if (auto refused = CheckInputs(analysis, settings)) return *refused;
    return Scanner(analysis, settings, workBudget).Run();
}

RootSearch LocateRoots(const CashFlowAnalysis& analysis, const SearchSettings& settings, std::uint64_t workBudget) {
    if (auto refused = CheckInputs(analysis, settings)) return *refused;
    const ScanProblem problem = ProblemOf(analysis, settings, workBudget);
    ScanOutcome scan = FastScan(problem);
    RootSearch result;
    result.census = TakeCensus(problem, scan);
    result.rates = std::move(scan.rates);
    result.roots = std::move(scan.roots);
    result.unlisted = std::move(scan.unlisted);
    result.brackets = std::move(scan.brackets);
    result.unlistedBrackets = std::move(scan.unlistedBrackets);
    result.trueSignsFrom = scan.trueSignsFrom;
    result.perTermStop = scan.perTermStop;
    result.stop = scan.stop;
    result.lastX = scan.stopX;
    result.status = scan.stop == ScanStop::None ? ScanStatus::Complete : ScanStatus::Incomplete;
    return result;
}

}  // namespace valmora
