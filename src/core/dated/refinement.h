// Each isolated root to the double nearest its rate, proved: exact signs
// of XNPV at two neighbouring doubles bracket the root, the sign at their
// midpoint tells which is nearer. Newton's method in t finds where to
// look; a gallop over doubles mends its last errors. Internal.
#pragma once

#include "core/dated/exp_sum.h"
#include "core/dated/isolation.h"
#include "core/dated/point_signs.h"
#include "core/dated/xirr.h"

namespace valmora::detail {

// The root of `root`, the only one in (safeLo, safeHi) (which holds
// [root.a, root.b]; an infinite end where no root lies beyond it). Falls back to the isolating interval, not marked
// nearest, when the budget runs out or a neighbouring double lies beyond
// (safeLo, safeHi).
XirrRoot RefineCrossing(const ExpSum& h, PointSigns& signs, const Isolated& root, double safeLo, double safeHi,
                        Budget budget);

// A root exactly at the double rate.
XirrRoot RootAt(const RootAtDouble& root);

}  // namespace valmora::detail
