#include "core/solver/grid_points.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace valmora {

GridStride StrideFrom(double x, double increment) {
    if (!(x > 0.0) || !(increment > 0.0) || !(x < std::numeric_limits<double>::infinity())) return {};
    // The spacing of doubles in x's binade (subnormals share the spacing of
    // the lowest normal binade), and x in units of it.
    const auto bits = std::bit_cast<std::uint64_t>(x);
    const int biased = static_cast<int>(bits >> 52);
    const std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
    const std::uint64_t X = biased == 0 ? mantissa : mantissa | (std::uint64_t{1} << 52);
    const int ulpExp = std::max(biased, 1) - 1075;
    const double ulp = ulpExp >= -1022 ? std::bit_cast<double>(static_cast<std::uint64_t>(ulpExp + 1023) << 52)
                                       : std::bit_cast<double>(std::uint64_t{1} << (ulpExp + 1074));
    const double q = increment / ulp;  // exact: a division by a power of two
    if (!(q < 0x1p52)) return {};      // far below the increment: plain additions
    const auto whole = static_cast<std::uint64_t>(q);
    const double frac = q - static_cast<double>(whole);
    std::uint64_t D = frac < 0.5 ? whole : whole + 1;
    if (frac == 0.5) {
        // A tie goes to the even neighbour: from an odd x one plain step;
        // from an even x the even one of the two steps, and x stays even.
        if (X % 2 != 0) return {};
        D = whole % 2 == 0 ? whole : whole + 1;
    }
    if (D == 0) return {0.0, std::numeric_limits<std::uint64_t>::max()};
    // A successor stays inside the binade while it is at most 2^53 - 1 units.
    const std::uint64_t top = (std::uint64_t{1} << 53) - 1;
    const std::uint64_t count = X >= top ? 0 : (top - X) / D;
    return {static_cast<double>(D) * ulp, count};
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

namespace valmora {

Grid::Grid(double increment) : increment_(increment) {
    segments_.reserve(24);
    segments_.push_back({0.0, 0, 0.0, 1});
}

bool Grid::Extend() {
    if (stalled_) return false;
    const Segment& last = segments_.back();
    const double end = last.x0 + static_cast<double>(last.len - 1) * last.step;
    const double next = end + increment_;
    if (next == end) {
        stalled_ = true;
        stallIndex_ = last.i0 + last.len - 1;
        return false;
    }
    const std::uint64_t i = last.i0 + last.len;
    const GridStride s = StrideFrom(next, increment_);
    if (s.step == 0.0 && s.count != 0) {  // the point after next does not move
        segments_.push_back({next, i, 0.0, 1});
        return true;
    }
    segments_.push_back({next, i, s.step, s.count + 1});
    return true;
}

const Grid::Segment* Grid::FindSlow(std::uint64_t k) {
    while (segments_.back().i0 + segments_.back().len <= k)
        if (!Extend()) return nullptr;
    auto it = std::upper_bound(segments_.begin(), segments_.end(), k,
                               [](std::uint64_t v, const Segment& s) { return v < s.i0; });
    cursor_ = static_cast<std::size_t>(it - segments_.begin()) - 1;
    return &segments_[cursor_];
}

std::size_t Grid::Fill(std::uint64_t first, std::size_t count, double* xs) {
    std::size_t done = 0;
    while (done < count) {
        const Segment* s = Find(first + done);
        if (!s) break;
        const std::uint64_t j0 = first + done - s->i0;
        const std::size_t here = static_cast<std::size_t>(std::min<std::uint64_t>(count - done, s->len - j0));
        for (std::size_t j = 0; j < here; ++j)
            xs[done + j] = s->x0 + static_cast<double>(static_cast<std::int64_t>(j0 + j)) * s->step;
        done += here;
    }
    return done;
}

std::uint64_t Grid::FirstAbove(double bound) {
    auto endOf = [](const Segment& s) { return s.x0 + static_cast<double>(s.len - 1) * s.step; };
    // The segment holding the first point above the bound: the first whose
    // last point is above it (points grow along the grid).
    while (!(endOf(segments_.back()) > bound))
        if (!Extend()) return kNever;
    const auto it =
        std::partition_point(segments_.begin(), segments_.end(), [&](const Segment& s) { return !(endOf(s) > bound); });
    const Segment s = *it;
    if (s.x0 > bound || s.len == 1) return s.i0;
    // Smallest j with x0 + j step > bound, from an estimate checked exactly.
    double guess = std::floor((bound - s.x0) / s.step);
    std::uint64_t j = guess < 0 ? 0 : static_cast<std::uint64_t>(std::min(guess, static_cast<double>(s.len - 1)));
    auto above = [&](std::uint64_t jj) { return s.x0 + static_cast<double>(jj) * s.step > bound; };
    while (j > 0 && above(j)) --j;
    while (!above(j)) ++j;
    return s.i0 + j;
}

Grid& SharedGrid(double increment) {
    // A scan of one binade adds at most two runs; the grids of a few
    // thousand binades are kept, beyond that the grid starts afresh.
    constexpr std::size_t kKeep = 8192;
    thread_local Grid grid(0.0);
    if (std::bit_cast<std::uint64_t>(grid.Increment()) != std::bit_cast<std::uint64_t>(increment) ||
        grid.Segments() > kKeep)
        grid = Grid(increment);
    return grid;
}

}  // namespace valmora
