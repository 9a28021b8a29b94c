// The scan beyond where the per-term scan stops: f's own signs at every
// grid point, from the bounds of TrueSigns and exact ball evaluation, or
// from exact root isolation where f stays near 0 over a long stretch.
#include <bit>
#include <vector>
#include <memory>

#include "core/solver/exact_roots.h"
#include "core/solver/fast_scanner.h"
#include "core/solver/polynomial.h"

namespace valmora::scan_detail {
namespace {

// Single steps in a row after which the rest is found by exact isolation
// (where that is available): f stays too near 0 for the bounds to keep
// whole stretches, and one exact isolation costs less than a few hundred
// exact signs.
constexpr std::uint64_t kExactAfter = 256;

}  // namespace

double FastScanner::RefineTrue(double lo, double hi, int loSign) {
    const TrueSigns& signs = Signs();
    for (;;) {
        const double mid = lo + (hi - lo) / 2.0;
        if (mid <= lo || mid >= hi) break;
        const int s = signs.SignAt(mid, &out_.work);
        if (s == 0) return mid;
        if (s == loSign) lo = mid;
        else hi = mid;
    }
    // lo and hi are neighbours with the root between them: the sign at
    // their exact midpoint tells the nearer one (a tie goes to the even one).
    const int s = signs.ExactSignAtMidpoint(lo, hi, &out_.work);
    if (s == 0) return (std::bit_cast<std::uint64_t>(lo) & 1) == 0 ? lo : hi;
    return s == loSign ? hi : lo;
}

void FastScanner::RunTrue(Grid& grid, std::uint64_t pastBound, std::uint64_t at, double x, int s, bool sCertain,
                          int& found) {
    const TrueSigns& signs = Signs();
    double Px, Qx;
    signs.EvaluateOne(x, Px, Qx);
    std::array<double, kDense> ys, Ps, Qs;
    std::array<std::uint64_t, kDense> idx;
    std::uint64_t scale = 1;
    std::uint64_t single = 0;  // single steps since the last stretch that kept its sign
    const bool exactly = static_cast<int>(terms_) - 1 <= kMaxExactDegree;
    while (x <= pr_.upperBound && found < pr_.maxRoots) {
        if (out_.work >= ownBudget_) {
            out_.stop = ScanStop::WorkBudget;
            break;
        }
        if (exactly && single >= kExactAfter) {
            ExactRest(grid, pastBound, at, x, s, sCertain, found);
            return;
        }
        const std::uint64_t limit = pastBound - at;
        const bool dense = scale == 1;
        const std::size_t m =
            PlanRound(grid, at, limit, dense, std::min<std::uint64_t>(kDense, limit), scale, ys.data(), idx.data());
        if (m == 0) {
            out_.stop = ScanStop::Stalled;
            break;
        }
        signs.Evaluate(ys.data(), m, Ps.data(), Qs.data());
        out_.work += m * terms_;
        bool whole = true;
        std::uint64_t failedGap = 1;
        for (std::size_t i = 0; i < m; ++i) {
            const std::uint64_t gap = idx[i] - at;
            if (s != 0 && signs.StretchSign(x, Px, Qx, ys[i], Ps[i], Qs[i]) == s) {
                single = 0;
                at = idx[i];
                x = ys[i];
                out_.coveredTo = x;
                Px = Ps[i];
                Qx = Qs[i];
                sCertain = true;
                continue;
            }
            whole = false;
            if (gap > 1) {
                failedGap = gap;
                break;
            }
            ++single;
            int ns = signs.PointSign(ys[i], Ps[i], Qs[i]);
            if (ns == 0) ns = signs.ExactSign(ys[i], &out_.work);
            OpenStep step{x, ys[i], s, ns, sCertain, true, false, 0, true, Px, Qx, Ps[i], Qs[i]};
            const bool change = (ns > 0 && s < 0) || (ns < 0 && s > 0);
            at = idx[i];
            x = ys[i];
            Px = Ps[i];
            Qx = Qs[i];
            s = ns;
            sCertain = true;
            out_.coveredTo = x;
            if (!change) {
                out_.open.push_back(step);
                continue;
            }
            ++found;
            Record(step, RefineTrue(step.from, step.to, step.fromSign));
            break;  // plan the next round from here
        }
        if (whole) scale = dense ? kDense / 8 : std::min(scale * 4, kMaxScale);
        else scale = std::max<std::uint64_t>(1, failedGap / 64);
    }
    out_.stopX = x;
}

void FastScanner::ExactRest(Grid& grid, std::uint64_t pastBound, std::uint64_t at, double x, int s, bool sCertain,
                            int& found) {
    auto exact = std::make_shared<const ExactPolynomial>(pr_.coef);
    out_.exact = exact;
    // The last grid point: the first above the bound, or where the grid
    // stalls before it.
    const bool stalls = pastBound == Grid::kNever;
    const std::uint64_t last = grid.Reachable(stalls ? Grid::kNever - 1 : pastBound);
    const double end = grid.Point(last);
    std::vector<ExactPolynomial::Root> roots;
    if (!exact->IsZero() && end > x) roots = exact->Roots(x, end);
    out_.work += terms_ * (64 * roots.size() + 64);
    const TrueSigns& signs = Signs();
    std::uint64_t prev = at;  // the last grid point whose sign is known
    int prevSign = s;
    bool prevCertain = sCertain;
    // The step (prev, k]: its root listed where f's sign changes across it.
    auto step = [&](std::uint64_t k) {
        const double from = grid.Point(prev), to = grid.Point(k);
        const int toSign = signs.ExactSign(to, &out_.work);
        OpenStep st{from, to, prevSign, toSign, prevCertain, true, false, 0, true, 0, 0, 0, 0};
        const bool change = (toSign > 0 && prevSign < 0) || (toSign < 0 && prevSign > 0);
        prev = k;
        prevSign = toSign;
        prevCertain = true;
        if (!change) {
            out_.open.push_back(st);
            return false;
        }
        ++found;
        Record(st, RefineTrue(from, to, st.fromSign));
        return true;
    };
    bool done = false;
    for (std::size_t r = 0; r < roots.size() && !done;) {
        // The step holding this root: the first grid point above lo is at
        // or above it (the root lies in (lo, hi], no double between).
        const std::uint64_t k = grid.FirstAbove(roots[r].lo);
        if (k == Grid::kNever || k > last) break;
        while (r < roots.size() && grid.FirstAbove(roots[r].lo) == k) ++r;  // its step-mates
        if (k > prev + 1) {
            // No root in (prev, k - 1]: f keeps one sign there, but the
            // first step may change against the sign the scan came with.
            const int t = signs.ExactSign(grid.Point(prev + 1), &out_.work);
            if ((t > 0 && prevSign < 0) || (t < 0 && prevSign > 0)) {
                done = step(prev + 1) && found >= pr_.maxRoots;
                if (done) break;
            }
            prev = k - 1;
            prevSign = t;
            prevCertain = true;
        }
        done = step(k) && found >= pr_.maxRoots;
    }
    if (!done && prev < last && found < pr_.maxRoots) {
        // No root after prev: only the first step can change sign.
        const int t = signs.ExactSign(grid.Point(prev + 1), &out_.work);
        if ((t > 0 && prevSign < 0) || (t < 0 && prevSign > 0)) done = step(prev + 1) && found >= pr_.maxRoots;
    }
    const std::uint64_t reached = done ? prev : last;
    out_.stopX = grid.Point(reached);
    out_.coveredTo = out_.stopX;
    if (!done && stalls) out_.stop = ScanStop::Stalled;
}

}  // namespace valmora::scan_detail
