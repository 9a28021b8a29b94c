#include "core/solver/cash_flow_analysis.h"

#include <algorithm>
#include <cmath>

namespace valmora {
namespace {

constexpr int kMaxPayments = 32766;

// Synthetic division of the sign-normalised coefficients `top` (x^N first)
// by (x - b) into `bottom`; true when no entry of the bottom row is negative.
// Stops at the first negative entry.
bool BoundPasses(const std::vector<double>& top, std::vector<double>& bottom, int count, double b) {
    bottom[1] = top[1];
    if (bottom[1] < 0) return false;
    for (int j = 2; j <= count; ++j) {
        bottom[j] = top[j] + bottom[j - 1] * b;
        if (bottom[j] < 0) return false;
    }
    return true;
}

// The smallest whole number b >= 1 that passes, the one trying 1, 2, 3 ...
// would find. Once b passes every larger b passes (the rows only grow with
// b, and rounding keeps that), so doubling and then bisection find it.
// Returns 0 when no finite b passes.
double FindUpperBound(const std::vector<double>& top, std::vector<double>& bottom, int count) {
    double failing = 0.0;
    double passing = 1.0;
    while (!BoundPasses(top, bottom, count, passing)) {
        failing = passing;
        passing *= 2.0;
        if (!std::isfinite(passing)) return 0.0;
    }
    while (passing - failing > 1.0) {
        double mid = std::floor(failing + (passing - failing) / 2.0);
        if (mid <= failing || mid >= passing) break;  // no whole number lies between
        if (BoundPasses(top, bottom, count, mid)) passing = mid;
        else failing = mid;
    }
    BoundPasses(top, bottom, count, passing);  // leave the passing row in place
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

AnalysisStatus AnalyseCashFlows(Workspace& ws, std::span<const double> payments) {
    if (payments.size() < 2) return AnalysisStatus::NoPayments;
    if (payments.size() > static_cast<std::size_t>(kMaxPayments) + 1) return AnalysisStatus::TooManyPayments;
    ws.PolyCoef.assign(payments.size() + 1, 0.0);
    std::copy(payments.begin(), payments.end(), ws.PolyCoef.begin() + 1);
    return AnalyseCashFlows(ws);
}

AnalysisStatus AnalyseCashFlows(Workspace& ws) {
    ws.DerivCoef.clear();  // no root location until this analysis succeeds
    const int n = Degree(ws);
    if (n < 1) return AnalysisStatus::NoPayments;
    if (n > kMaxPayments) return AnalysisStatus::TooManyPayments;
    const int count = n + 1;
    for (int t = 1; t <= count; ++t)
        if (!std::isfinite(ws.PolyCoef[t])) return AnalysisStatus::NotFinite;

    ws.MaxRoots = CountSignChanges(std::span<const double>(ws.PolyCoef).subspan(1));

    // Row 1: the coefficients from x^N down to x^0, leading nonzero positive.
    for (auto& row : ws.SynthDiv) row.assign(static_cast<std::size_t>(count) + 1, 0.0);
    auto& top = ws.SynthDiv[1];
    for (int j = 1; j <= count; ++j) top[j] = ws.PolyCoef[count + 1 - j];
    auto firstNonZero = std::find_if(top.begin() + 1, top.end(), [](double v) { return v != 0.0; });
    if (firstNonZero != top.end() && *firstNonZero < 0)
        for (int j = 1; j <= count; ++j) top[j] = -top[j];

    ws.StepFlag = 0;
    double bound = FindUpperBound(top, ws.SynthDiv[2], count);
    if (bound == 0.0) return AnalysisStatus::NoBound;
    ws.StepFlag = 1;
    ws.UpperBound = bound;

    ws.DerivCoef.assign(static_cast<std::size_t>(count) + 1, 0.0);
    for (int k = 1; k <= n; ++k) {
        ws.DerivCoef[k] = k * ws.PolyCoef[k + 1];
        if (!std::isfinite(ws.DerivCoef[k])) {
            ws.DerivCoef.clear();
            return AnalysisStatus::NotFinite;
        }
    }
    return AnalysisStatus::Ok;
}

}  // namespace valmora
