// The fast scan's machinery, shared by fast_scan.cpp (the per-term scan's
// answer, reached faster) and true_scan.cpp (the scan with f's own signs
// beyond where the per-term scan stops). Not for use elsewhere.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>

#include "core/solver/exact_powers.h"
#include "core/solver/scan_problem.h"
#include "core/solver/grid_points.h"
#include "core/solver/refine_root.h"
#include "core/solver/split_polynomial.h"
#include "core/solver/true_signs.h"

namespace valmora::scan_detail {

inline int SignOf(double v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

// Sign decisions where the split cannot make them because P + Q is beyond
// its finite margin: near where the per-term sum overflows, which it may do
// later than P + Q (its partial sums cancel) or not at all before the
// bound. In long double, whose exponent range holds every such term, the
// partial sums PP_j(y) and QQ_j(y) of the positive and negative terms of
// degree <= j bound each partial sum S_j of the reference on a stretch
// [a, b]: PP_j(a) - QQ_j(b) <= S_j(y) <= PP_j(b) - QQ_j(a). Where every
// |S_j|, widened by the reference's rounding (K (PP_j + QQ_j) plus the
// underflow slack) and the long double rounding, and every term stays below
// DBL_MAX, and every power is finite (b <= Limit()), no operation of the
// reference overflows anywhere on the stretch, and the last partial sum
// gives its sign as the split's stretch test does.
class TailBounds {
public:
    using Wide = long double;
    // Needs the exponent range of an 80- or 128-bit long double; with a
    // narrower one nothing is certified here.
    static constexpr bool kUsable = std::numeric_limits<Wide>::max_exponent >= 16384;

    // rho_: the long double partial sums' own rounding. A power y^k comes
    // from k multiplications, the term from one more, and each partial sum
    // of nonnegative terms adds one rounding per addition: at most
    // (2n + 2) units of a long double (epsilon / 2 each), so (2n + 8)
    // epsilon has room for the rounding of the comparisons made with it.
    TailBounds(std::span<const double> coef, const SplitPolynomial& split)
        : coef_(coef),
          n_(coef.size() - 1),
          rho_(static_cast<Wide>(2 * n_ + 8) * std::numeric_limits<Wide>::epsilon()),
          split_(split) {}

    // The partial sums at y: pp[j] = PP_j(y), qq[j] = QQ_j(y), j = 0..n, and
    // the largest term |c_k| y^k, each within a relative rho of exact.
    void At(double y, Wide* pp, Wide* qq, Wide& largest) const {
        Wide power = 1, p = 0, q = 0, most = 0;
        const Wide wy = y;
        for (std::size_t k = 0; k <= n_; ++k) {
            const Wide c = coef_[k];
            const Wide t = c * power;
            if (t > 0) p += t;
            else q -= t;
            most = std::max(most, t < 0 ? -t : t);
            pp[k] = p;
            qq[k] = q;
            power *= wy;
        }
        largest = most;
    }

    // +1 (-1) when the reference value is finite and above (below) 0 at every
    // double of [a, b] (and so is f), from the partial sums at both ends; 0
    // when this cannot be told.
    int Stretch(const Wide* ppA, const Wide* qqA, const Wide* ppB, const Wide* qqB, Wide largestB, double b) const {
        if (!kUsable || !(b <= split_.Limit())) return 0;
        const Wide slack = split_.Slack(b);
        if (!(slack < kTop)) return 0;
        const Wide rel = static_cast<Wide>(split_.RelativeBound()) * (1 + rho_) + 2 * rho_;
        if (!(largestB * (1 + rho_) < kTop)) return 0;
        for (std::size_t j = 0; j <= n_; ++j) {
            const Wide most = std::max(ppB[j] - qqA[j], qqB[j] - ppA[j]);
            if (!(most + rel * (ppB[j] + qqB[j]) + slack < kTop)) return 0;
        }
        const Wide bound = rel * (ppB[n_] + qqB[n_]) + slack;
        if (ppA[n_] - qqB[n_] > bound) return 1;
        if (qqA[n_] - ppB[n_] > bound) return -1;
        return 0;
    }

private:
    // Below DBL_MAX with room for the rounding of the test itself.
    static constexpr Wide kTop = static_cast<Wide>(std::numeric_limits<double>::max()) * (1 - 0x1p-40L);

    std::span<const double> coef_;
    const std::size_t n_;
    const Wide rho_;
    const SplitPolynomial& split_;
};


// A round evaluates either the next kDense points of the grid, where a sign
// change is near or was just found, or points at these offsets (in grid
// steps) times a scale that grows while whole rounds keep their sign.
constexpr std::size_t kDense = 32;
constexpr std::array<std::uint64_t, 16> kOffsets = {1, 2, 3, 4, 5, 6, 7, 8, 12, 16, 24, 32, 48, 64, 96, 128};
constexpr std::uint64_t kMaxScale = std::uint64_t{1} << 40;

// The points of one round after grid point `at`, each exactly where the
// per-term loop puts it, into ys (x) and idx (grid index): the next `count`
// points when dense, else the offsets times `scale` up to `limit` steps,
// ending early where the grid stalls. Returns how many (0 when none is
// reachable).
inline std::size_t PlanRound(Grid& grid, std::uint64_t at, std::uint64_t limit, bool dense, std::uint64_t count,
                             std::uint64_t scale, double* ys, std::uint64_t* idx) {
    std::size_t m = 0;
    if (dense) {
        m = grid.Fill(at + 1, static_cast<std::size_t>(count), ys);
        for (std::size_t j = 0; j < m; ++j) idx[j] = at + 1 + j;
        return m;
    }
    for (std::uint64_t off : kOffsets) {
        const std::uint64_t want = std::min(off * scale, limit);
        const std::uint64_t k = grid.Reachable(at + want);
        if (k <= (m ? idx[m - 1] : at)) break;
        idx[m] = k;
        ys[m] = grid.Point(k);
        ++m;
        if (k != at + want || want == limit) break;
    }
    return m;
}

// Where the per-term scan runs out of work this scan goes on with f's own
// signs; its own work may reach this many times the budget, a safety net
// against series where even those cost too much.
constexpr std::uint64_t kOwnBudgetFactor = 4;

class FastScanner {
public:
    explicit FastScanner(const ScanProblem& pr)
        : pr_(pr),
          ownBudget_(pr.workBudget > UINT64_MAX / kOwnBudgetFactor ? UINT64_MAX : pr.workBudget * kOwnBudgetFactor),
          split_(SplitPolynomial::Shared(pr.coef)),
          terms_(pr.coef.size()),
          powers_(terms_ <= kInlinePowers ? powersInline_ : (powersHeap_.resize(terms_), powersHeap_.data())),
          tail_(pr.coef, split_) {}

    ScanOutcome Run();

private:
    // Lists the root of the sign change across the step (prevX, x] and
    // notes the step as open and listed.
    void Record(OpenStep step, double root);
    // From grid point `at` (x, where the sign s was decided) to the bound
    // with f's own signs: the scan past the point where the per-term scan
    // stops (its sum not finite, or its work used up).
    void RunTrue(Grid& grid, std::uint64_t pastBound, std::uint64_t at, double x, int s, bool sCertain, int& found);
    // The same from exact root isolation, where point by point would take
    // too long (f near 0 over a long stretch): every grid step across which
    // f's own sign changes lists its root.
    void ExactRest(Grid& grid, std::uint64_t pastBound, std::uint64_t at, double x, int s, bool sCertain, int& found);
    // The root of the sign change across [lo, hi] (the sign loSign at lo),
    // refined as the per-term scan refines it: f and f' from the per-term
    // sums, signs at bisection points from SignAt. Its work counts for both
    // scans.
    double Refine(double lo, double hi, int loSign);
    // The root in (lo, hi], where f has the sign loSign at lo and the other
    // one at hi, to the nearest double, by bisection on f's own signs.
    double RefineTrue(double lo, double hi, int loSign);
    const TrueSigns& Signs() {
        if (!true_) true_.emplace(pr_.coef);
        return *true_;
    }

    // Where P + Q has left the split's margin: from the point `at` (x, with
    // the sign s), as far as TailBounds certifies the sign, in stretches
    // that double while they hold and shrink where they do not.
    void TailAdvance(Grid& grid, std::uint64_t pastBound, std::uint64_t& at, double& x, int s);

    // The per-term scan's work for grid points (from, to]: each evaluates
    // every term, a subnormal point kSubnormalWeight times over.
    std::uint64_t RefCost(Grid& grid, std::uint64_t from, std::uint64_t to);
    // The first grid point in (from, to] after which the per-term scan has
    // used up its work (it stops before the next point), or Grid::kNever.
    std::uint64_t RefExhausted(Grid& grid, std::uint64_t from, std::uint64_t to);

    // The sign of the per-term value at y from P and Q there: certain from
    // the bound, otherwise the per-term sum decides (2: not finite).
    int SignAt(double y) const {
        double P, Q;
        split_.EvaluateOne(y, P, Q);
        const int s = split_.PointSign(y, P, Q);
        return s != 0 ? s : RefSignFast(y);
    }
    // The per-term sign at y, its powers from ExactPowers.
    int RefSignFast(double y) const {
        ExactPowers(y, static_cast<int>(terms_) - 1, powers_);
        double sum = 0.0;
        for (std::size_t k = 0; k < terms_; ++k) sum = pr_.coef[k] * powers_[k] + sum;
        return ValueSign(sum);
    }
    // The per-term values of f and f' at x from one set of powers.
    ValueAndSlope RefValueAndSlope(double x) const {
        ExactPowers(x, static_cast<int>(terms_) - 1, powers_);
        double f = 0.0;
        for (std::size_t k = 0; k < terms_; ++k) f = pr_.coef[k] * powers_[k] + f;
        double df = 0.0;
        for (std::size_t k = 0; k + 1 < terms_; ++k) df = pr_.deriv[k] * powers_[k] + df;
        return {f, df};
    }
    // Work that the per-term scan does as well.
    void AddBoth(std::uint64_t w) {
        out_.work += w;
        refWork_ += w;
    }

    const ScanProblem& pr_;
    ScanOutcome out_;
    // The per-term scan's work so far, counted as it counts it: where it
    // reaches the budget that scan stops, and this one goes on with f's own
    // signs. The scan's own work may reach kOwnBudgetFactor times as much.
    std::uint64_t refWork_ = 0;
    const std::uint64_t ownBudget_;
    std::uint64_t firstNormal_ = 0;  // index of the first grid point >= 2^-1022, once known
    bool firstNormalKnown_ = false;
    const SplitPolynomial& split_;  // kept per thread
    const std::uint64_t terms_;
    // Powers of one point, for the per-term sums: inside the object for up
    // to kInlinePowers terms.
    static constexpr std::size_t kInlinePowers = 128;
    double powersInline_[kInlinePowers];
    std::vector<double> powersHeap_;
    double* const powers_;
    TailBounds tail_;
    std::vector<TailBounds::Wide> tailA_, tailB_;  // PP then QQ at both ends
    std::optional<TrueSigns> true_;                // made when first needed
};

}  // namespace valmora::scan_detail
