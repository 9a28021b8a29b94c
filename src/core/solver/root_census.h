// How many distinct real roots f has in (0, UpperBound], and where the scan
// missed some: pairs inside one grid step, roots of even multiplicity, roots
// at a grid point where f is exactly 0, and roots beyond where a scan
// stopped. Bounds on f and f'' certify most steps at once; the few steps
// they cannot settle are counted exactly (exact_roots.h).
#pragma once

#include <vector>

#include "core/solver/scan_problem.h"
#include "core/solver/root_search.h"

namespace valmora {

RootCensus TakeCensus(const ScanProblem& problem, const ScanOutcome& scan);

}  // namespace valmora
