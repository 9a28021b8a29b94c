// Shared by the fast-scan tests: series drawn from the simulation's
// distributions, and a scan problem read from an analysed workspace.
#pragma once

#include <cstdint>
#include <random>
#include <span>
#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/fast_scan.h"
#include "core/solver/root_location.h"

namespace valmora::testing_support {

enum class Draw { Normal, Uniform, Exponential };

// An investment of 1000 followed by n payments.
inline std::vector<double> DrawSeries(Draw draw, int n, std::mt19937_64& rng) {
    std::vector<double> p(static_cast<std::size_t>(n) + 1);
    p[0] = -1000;
    std::normal_distribution<double> normal(400, 400);
    std::uniform_real_distribution<double> uniform(-300, 900);
    std::exponential_distribution<double> exponential(1.0 / 400);
    for (int k = 1; k <= n; ++k) {
        switch (draw) {
            case Draw::Normal: p[k] = normal(rng); break;
            case Draw::Uniform: p[k] = uniform(rng); break;
            case Draw::Exponential: p[k] = exponential(rng); break;
        }
    }
    return p;
}

inline ScanProblem ProblemOf(const Workspace& ws, std::uint64_t budget = kScanWorkBudget) {
    const int n = Degree(ws);
    ScanProblem pr;
    pr.coef = std::span<const double>(ws.PolyCoef).subspan(1, static_cast<std::size_t>(n) + 1);
    pr.deriv = std::span<const double>(ws.DerivCoef).subspan(1, static_cast<std::size_t>(n));
    pr.upperBound = ws.UpperBound;
    pr.increment = ws.Increment;
    pr.tolerance = ws.Tolerance;
    pr.periodsPerYear = ws.PeriodsPerYear;
    pr.maxRoots = ws.MaxRoots;
    pr.workBudget = budget;
    return pr;
}

}  // namespace valmora::testing_support
