#include "core/solver/cash_flow_analysis.h"

#include "core/solver/bound_check.h"
#include "core/solver/limits.h"

#include <algorithm>
#include <cmath>

namespace valmora {
namespace {

// Synthetic division of the sign-normalised coefficients `top` (x^N first)
// by (x - b) into `bottom`; true when no entry of the bottom row is negative.
// Stops at the first negative entry.
bool BoundPasses(const std::vector<double>& top, std::vector<double>& bottom, double b) {
    const std::size_t count = top.size();
    bottom[0] = top[0];
    if (bottom[0] < 0) return false;
    for (std::size_t j = 1; j < count; ++j) {
        bottom[j] = top[j] + bottom[j - 1] * b;
        if (bottom[j] < 0) return false;
    }
    return true;
}

// The smallest whole number in (failing, passing] for which `passes` holds,
// given that it holds at `passing` and, from there on, at every larger one.
template <class Passes>
double Narrow(double failing, double passing, Passes passes) {
    while (passing - failing > 1.0) {
        const double mid = std::floor(failing + (passing - failing) / 2.0);
        if (mid <= failing || mid >= passing) break;  // no whole number lies between
        if (passes(mid)) passing = mid;
        else failing = mid;
    }
    return passing;
}

// The smallest whole number b >= 1 that passes, the one trying 1, 2, 3 ...
// would find, and above every positive root for the true coefficients.
// Once b passes every larger b passes (the rows only grow with b, and
// rounding keeps that), so doubling and then bisection find it. Returns 0
// when no finite b passes.
double FindUpperBound(const std::vector<double>& top, std::vector<double>& bottom) {
    double failing = 0.0;
    double passing = 1.0;
    while (!BoundPasses(top, bottom, passing)) {
        failing = passing;
        passing *= 2.0;
        if (!std::isfinite(passing)) return 0.0;
    }
    passing = Narrow(failing, passing, [&](double b) { return BoundPasses(top, bottom, b); });
    // The double division can pass by rounding alone where the true one
    // leaves a tiny negative entry, and a root then lies above b: go up
    // until the true division passes, then back down to the smallest such
    // whole number.
    if (!DivisionCertainlyPasses(top, passing)) {
        double step = 1.0;
        failing = passing;
        passing = failing + step;
        while (!DivisionCertainlyPasses(top, passing)) {
            failing = passing;
            step *= 2.0;
            passing = failing + step;
            if (!std::isfinite(passing)) return 0.0;
        }
        passing = Narrow(failing, passing, [&](double b) { return DivisionCertainlyPasses(top, b); });
    }
    // Leave the passing row in place, every entry of it.
    bottom[0] = top[0];
    for (std::size_t j = 1; j < top.size(); ++j) bottom[j] = top[j] + bottom[j - 1] * passing;
    return passing;
}

}  // namespace

int CountSignChanges(std::span<const double> values) {
    int changes = 0;
    int lastSign = 0;
    for (double v : values) {
        int sign = v > 0 ? 1 : (v < 0 ? -1 : 0);
        if (sign == 0) continue;
        if (lastSign != 0 && sign != lastSign) ++changes;
        lastSign = sign;
    }
    return changes;
}

CashFlowAnalysis AnalyseCashFlows(std::span<const double> payments) {
    CashFlowAnalysis a;
    if (payments.size() < 2) return a;  // NoPayments
    if (payments.size() > static_cast<std::size_t>(kMaxPayments) + 1) {
        a.status = AnalysisStatus::TooManyPayments;
        return a;
    }
    a.coefficients.assign(payments.begin(), payments.end());
    const int n = a.Degree();
    const std::size_t count = a.coefficients.size();
    for (double p : a.coefficients) {
        if (!std::isfinite(p)) {
            a.status = AnalysisStatus::NotFinite;
            return a;
        }
    }

    a.maxRoots = CountSignChanges(a.coefficients);

    // The coefficients from x^N down to x^0, leading nonzero positive.
    a.synthDivTop.assign(a.coefficients.rbegin(), a.coefficients.rend());
    a.synthDivBottom.assign(count, 0.0);
    auto firstNonZero = std::find_if(a.synthDivTop.begin(), a.synthDivTop.end(), [](double v) { return v != 0.0; });
    if (firstNonZero != a.synthDivTop.end() && *firstNonZero < 0)
        for (double& v : a.synthDivTop) v = -v;

    const double bound = FindUpperBound(a.synthDivTop, a.synthDivBottom);
    if (bound == 0.0) {
        a.status = AnalysisStatus::NoBound;
        return a;
    }
    a.upperBound = bound;

    std::vector<double> derivative(static_cast<std::size_t>(n));
    for (int k = 1; k <= n; ++k) {
        derivative[k - 1] = k * a.coefficients[k];
        if (!std::isfinite(derivative[k - 1])) {
            a.status = AnalysisStatus::NotFinite;
            return a;
        }
    }
    a.derivative = std::move(derivative);
    a.status = AnalysisStatus::Ok;
    return a;
}

}  // namespace valmora
