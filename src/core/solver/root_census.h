// How many distinct real roots f has in (0, UpperBound], and where the scan
// missed some: pairs inside one grid step, roots of even multiplicity, roots
// at a grid point where f is exactly 0, and roots beyond where a scan
// stopped. Bounds on f and f'' certify most steps at once; the few steps
// they cannot settle are counted exactly (exact_roots.h).
#pragma once

#include <vector>

#include "core/solver/fast_scan.h"

namespace valmora {

// Roots of f in (from, to] (values of x) that the scan did not list.
struct MissedRoots {
    double from = 0.0;
    double to = 0.0;
    int count = 0;
};

struct RootCensus {
    // False only when f is 0 everywhere (every x is a root).
    bool known = true;
    int inRange = 0;                  // distinct real roots in (0, UpperBound]
    std::vector<MissedRoots> missed;  // in increasing x
    int exactCounts = 0;              // intervals counted exactly

    int MissedCount() const {
        int n = 0;
        for (const auto& m : missed) n += m.count;
        return n;
    }
};

RootCensus TakeCensus(const ScanProblem& problem, const ScanOutcome& scan);

}  // namespace valmora
