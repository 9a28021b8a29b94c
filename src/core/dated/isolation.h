// Bisection of the bound interval of t = ln(1 + r) into pieces that hold
// no root, exactly one crossing root, a root proved exactly at a double
// rate, or an undecided stretch (exp_sum.h says what each test proves).
// Ends when every piece is settled, when Descartes' count of roots is
// reached, or when the budget runs out. Internal.
#pragma once

#include <vector>

#include "core/dated/exp_sum.h"
#include "core/dated/point_signs.h"
#include "core/dated/xirr.h"

namespace valmora::detail {

// Exactly one root in (a, b), simple; h has the sign sa at a and sb at b.
struct Isolated {
    double a = 0, b = 0;
    int sa = 0, sb = 0;
};

// A root exactly at a double rate, of a proved multiplicity.
struct RootAtDouble {
    double rate = 0;
    int multiplicity = 1;
};

struct Undecided {
    double a = 0, b = 0;
    int atLeast = 0;
    int atMost = -1;
    NotDecidedReason reason = NotDecidedReason::Budget;
};

struct Isolation {
    std::vector<Isolated> crossing;
    std::vector<RootAtDouble> exact;
    std::vector<Undecided> undecided;
};

// The roots of h in (lower, upper), where h has signs of its own at both
// ends (known to `signs`). h has signChanges sign changes.
Isolation IsolateRoots(const ExpSum& h, PointSigns& signs, double lower, double upper, int signChanges, Budget budget);

}  // namespace valmora::detail
