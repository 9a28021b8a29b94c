#include "core/solver/root_location.h"

#include <cmath>
#include <optional>

#include "core/solver/fast_scan.h"
#include "core/solver/polynomial.h"
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
    bool Newton(double lo, double hi, double& root);
    double Bisect(double lo, double hi, double fLo);

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

// Newton's method from the right end of the bracket [lo, hi]. True when it
// converged to a positive point inside the bracket widened by the tolerance;
// `root` then holds it.
bool Scanner::Newton(double lo, double hi, double& root) {
    double xOld = hi;
    double x = 9999.0;
    bool stepped = false;
    for (int step = 0;; ++step) {
        if (stepped && std::fabs(x - xOld) <= tol_) {
            root = x;
            return x > 0.0 && x >= lo - tol_ && x <= hi + tol_;
        }
        if (step == kMaxNewtonSteps) return false;
        if (stepped) xOld = x;
        const double f = F(xOld);
        const double df = DF(xOld);
        if (df == 0.0 || !std::isfinite(df) || !std::isfinite(f)) return false;
        x = xOld - f / df;
        if (!std::isfinite(x)) return false;
        stepped = true;
    }
}

// Bisection of the bracket [lo, hi], where f(lo) has the sign of fLo and
// f(hi) the opposite one, until it cannot shrink: full precision also for a
// root near 0. Returns the root.
double Scanner::Bisect(double lo, double hi, double fLo) {
    for (;;) {
        double mid = lo + (hi - lo) / 2.0;
        if (mid <= lo || mid >= hi) break;
        double fMid = F(mid);
        if (fMid == 0.0 || !std::isfinite(fMid)) {
            lo = hi = mid;
            break;
        }
        if ((fMid < 0.0) == (fLo < 0.0)) lo = mid;
        else hi = mid;
    }
    return lo + (hi - lo) / 2.0;
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
            double root = 0.0;
            if (!Newton(prevX, x, root)) root = Bisect(prevX, x, fPrev);
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
