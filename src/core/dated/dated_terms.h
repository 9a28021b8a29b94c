// What the solver keeps of a dated series: the exact sums of its dates and
// their year fractions E / D with whole E and D. Internal.
#pragma once

#include <cstdint>
#include <vector>

#include "core/dated/arb_handles.h"

namespace valmora::detail {

struct DatedTerms {
    // Every date, as MergedFlow lists them: its exact sum and its E.
    BallVector sums;
    std::vector<std::int64_t> exponents;  // E_i, 0 for d0, increasing
    std::int64_t denominator = 365;       // D: year fraction E_i / D; E's and D share no factor
};

}  // namespace valmora::detail
