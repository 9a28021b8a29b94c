// Points of the scan grid without the loop. The scan reaches its points by
// repeated addition in doubles, x(k + 1) = x(k) + increment; inside one
// binade every such addition adds the same rounded step, so the point after
// k additions has a closed form there. Ties (where the rounding depends on
// the last bit of x) and binade edges take single additions.
#pragma once

#include <cstdint>

namespace valmora {

// From grid point x: the j-th successor is x + j * step exactly for
// 1 <= j <= count. count 0 means the next successor needs a plain addition
// (x is 0, a rounding tie, or the binade edge is near). step 0 with count
// UINT64_MAX means the addition no longer moves x (the scan stalls).
struct GridStride {
    double step = 0.0;
    std::uint64_t count = 0;
};

GridStride StrideFrom(double x, double increment);

// The point after `steps` additions of `increment` to x, bit for bit what
// the loop gives. Stops where an addition no longer moves x; `taken` then
// receives the additions made, otherwise `steps`.
double AdvanceGrid(double x, double increment, std::uint64_t steps, std::uint64_t* taken = nullptr);

}  // namespace valmora
