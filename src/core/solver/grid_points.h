// Points of the scan grid without the loop. The scan reaches its points by
// repeated addition in doubles, x(k + 1) = x(k) + increment; inside one
// binade every such addition adds the same rounded step, so the point after
// k additions has a closed form there. Ties (where the rounding depends on
// the last bit of x) and binade edges take single additions.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

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

// The grid of one scan, from x = 0, as runs of points with a constant step
// found as they are needed. Point k is the point after k additions.
class Grid {
public:
    static constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

    explicit Grid(double increment);

    double Increment() const { return increment_; }
    // Runs of points found so far.
    std::size_t Segments() const { return segments_.size(); }

    // Point k, or the point where the grid stalls if that comes first.
    double Point(std::uint64_t k) {
        const Segment* s = Find(k);
        if (!s) return Point(stallIndex_);
        return s->x0 + static_cast<double>(static_cast<std::int64_t>(k - s->i0)) * s->step;
    }
    // Points first..first + count - 1 into xs (fewer where the grid stalls);
    // returns how many.
    std::size_t Fill(std::uint64_t first, std::size_t count, double* xs);
    // k, or the index of the stall point if the grid stalls before k.
    std::uint64_t Reachable(std::uint64_t k) { return Find(k) ? k : stallIndex_; }
    // The index of the first point above bound (kNever if the grid stalls
    // at or below it).
    std::uint64_t FirstAbove(double bound);

private:
    struct Segment {
        double x0;  // point i0
        std::uint64_t i0;
        double step;  // point i0 + j is x0 + j step, j < len
        std::uint64_t len;
    };
    bool Extend();
    const Segment* Find(std::uint64_t k) {
        const Segment& c = segments_[cursor_];
        if (c.i0 <= k && k - c.i0 < c.len) return &c;
        return FindSlow(k);
    }
    const Segment* FindSlow(std::uint64_t k);

    double increment_;
    std::vector<Segment> segments_;
    std::size_t cursor_ = 0;
    bool stalled_ = false;
    std::uint64_t stallIndex_ = kNever;
};

// A grid of this increment, kept per thread: a run of searches with one
// increment finds its runs of points once. Valid until the next call on
// the same thread.
Grid& SharedGrid(double increment);

}  // namespace valmora
