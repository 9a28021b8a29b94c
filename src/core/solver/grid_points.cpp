#include "core/solver/grid_points.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace valmora {

GridStride StrideFrom(double x, double increment) {
    if (!(x > 0.0) || !(increment > 0.0) || !std::isfinite(x)) return {};
    // The spacing of doubles in x's binade; subnormals share the spacing of
    // the lowest normal binade.
    const int e = std::max(std::ilogb(x), std::numeric_limits<double>::min_exponent - 1);
    const double ulp = std::ldexp(1.0, e - 52);
    const double q = increment / ulp;  // exact: a division by a power of two
    if (q >= 0x1p52) return {};        // far below the increment: plain additions
    const double whole = std::floor(q);
    const double frac = q - whole;
    if (frac == 0.5) return {};  // a tie: the last bit of x decides
    const double units = frac < 0.5 ? whole : whole + 1.0;
    if (units == 0.0) return {0.0, std::numeric_limits<std::uint64_t>::max()};
    // In units of ulp: x is X, the binade ends at 2^53 (also for subnormals,
    // whose spacing runs up to 2^-1021), and a successor stays inside while
    // it is at most 2^53 - 1.
    const auto X = static_cast<std::uint64_t>(x / ulp);
    const auto D = static_cast<std::uint64_t>(units);
    const std::uint64_t top = (std::uint64_t{1} << 53) - 1;
    const std::uint64_t count = X >= top ? 0 : (top - X) / D;
    return {units * ulp, count};
}

double AdvanceGrid(double x, double increment, std::uint64_t steps, std::uint64_t* taken) {
    std::uint64_t done = 0;
    while (done < steps) {
        const GridStride s = StrideFrom(x, increment);
        if (s.count == 0) {
            const double next = x + increment;
            if (next == x) break;
            x = next;
            ++done;
            continue;
        }
        if (s.step == 0.0) break;
        const std::uint64_t k = std::min(s.count, steps - done);
        x = x + static_cast<double>(k) * s.step;
        done += k;
    }
    if (taken) *taken = done;
    return x;
}

}  // namespace valmora
