#include "core/solver/fast_scan.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "core/solver/exact_powers.h"
#include "core/solver/grid_points.h"
#include "core/solver/polynomial.h"
#include "core/solver/split_polynomial.h"

namespace valmora {
namespace {

int SignOf(double v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

// Newton's method and bisection of the fast scan: the per-term values of f
// and f' (powers from ExactPowers), signs at bisection points from the
// caller.
class Refiner {
public:
    Refiner(const ScanProblem& pr, std::uint64_t& work, double* powers)
        : pr_(pr), work_(work), terms_(pr.coef.size()), powers_(powers) {}

    // Newton from the right end of [lo, hi]; true with the root in x when it
    // converged to a positive point inside the bracket widened by the
    // tolerance. Each iterate computes its powers once, for f and f'.
    bool Newton(double lo, double hi, double& root) {
        const double tol = pr_.tolerance;
        double xOld = hi;
        double xNew = 9999.0;
        bool stepped = false;
        for (int step = 0;; ++step) {
            if (stepped && std::fabs(xNew - xOld) <= tol) {
                root = xNew;
                return xNew > 0.0 && xNew >= lo - tol && xNew <= hi + tol;
            }
            if (step == kMaxNewtonSteps) return false;
            if (stepped) xOld = xNew;
            ExactPowers(xOld, static_cast<int>(terms_) - 1, powers_);
            double f = 0.0;
            for (std::size_t k = 0; k < terms_; ++k) f = pr_.coef[k] * powers_[k] + f;
            double df = 0.0;
            for (std::size_t k = 0; k + 1 < terms_; ++k) df = pr_.deriv[k] * powers_[k] + df;
            work_ += (2 * terms_ - 1) * WorkWeight(xOld);
            if (df == 0.0 || !std::isfinite(df) || !std::isfinite(f)) return false;
            xNew = xOld - f / df;
            if (!std::isfinite(xNew)) return false;
            stepped = true;
        }
    }

    // Bisection of [lo, hi] where f(lo) has the sign loSign and f(hi) the
    // opposite one, until it cannot shrink.
    template <class SignAt>
    double Bisect(double lo, double hi, int loSign, SignAt signAt) {
        for (;;) {
            const double mid = lo + (hi - lo) / 2.0;
            if (mid <= lo || mid >= hi) break;
            work_ += terms_ * WorkWeight(mid);
            const int s = signAt(mid);  // 2 when not finite
            if (s == 0 || s == 2) {
                lo = hi = mid;
                break;
            }
            if ((s < 0) == (loSign < 0)) lo = mid;
            else hi = mid;
        }
        return lo + (hi - lo) / 2.0;
    }

private:
    const ScanProblem& pr_;
    std::uint64_t& work_;
    const std::size_t terms_;
    double* powers_;
};


}  // namespace

ScanProblem ProblemOf(const CashFlowAnalysis& analysis, const SearchSettings& settings, std::uint64_t workBudget) {
    ScanProblem pr;
    pr.coef = analysis.coefficients;
    pr.deriv = analysis.derivative;
    pr.upperBound = analysis.upperBound;
    pr.increment = settings.increment;
    pr.tolerance = settings.tolerance;
    pr.periodsPerYear = settings.periodsPerYear;
    pr.maxRoots = analysis.maxRoots;
    pr.workBudget = workBudget;
    return pr;
}

namespace {

// A round evaluates either the next kDense points of the grid, where a sign
// change is near or was just found, or points at these offsets (in grid
// steps) times a scale that grows while whole rounds keep their sign.
constexpr std::size_t kDense = 32;
constexpr std::array<std::uint64_t, 16> kOffsets = {1, 2, 3, 4, 5, 6, 7, 8, 12, 16, 24, 32, 48, 64, 96, 128};
constexpr std::uint64_t kMaxScale = std::uint64_t{1} << 40;

class FastScanner {
public:
    explicit FastScanner(const ScanProblem& pr)
        : pr_(pr),
          split_(SplitPolynomial::Shared(pr.coef)),
          terms_(pr.coef.size()),
          powers_(terms_ <= kInlinePowers ? powersInline_ : (powersHeap_.resize(terms_), powersHeap_.data())),
          refine_(pr, out_.work, powers_) {}

    ScanOutcome Run();

private:
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
        return std::isfinite(sum) ? SignOf(sum) : 2;
    }

    const ScanProblem& pr_;
    ScanOutcome out_;
    const SplitPolynomial& split_;  // kept per thread
    const std::uint64_t terms_;
    // Powers of one point, shared with the refiner: inside the object for
    // up to kInlinePowers terms.
    static constexpr std::size_t kInlinePowers = 128;
    double powersInline_[kInlinePowers];
    std::vector<double> powersHeap_;
    double* const powers_;
    Refiner refine_;
};

ScanOutcome FastScanner::Run() {
    out_.work = terms_;
    Grid& grid = SharedGrid(pr_.increment);
    // The first point above the bound ends the scan (the grid may stall
    // before it).
    const std::uint64_t pastBound = grid.FirstAbove(pr_.upperBound);
    std::uint64_t at = 0;  // index of the current point
    double x = 0.0;
    double Px = std::max(pr_.coef[0], 0.0), Qx = std::max(-pr_.coef[0], 0.0);
    int s = SignOf(pr_.coef[0]);
    bool sCertain = true;
    int found = 0;
    std::uint64_t scale = 1;

    std::array<double, kDense> ys, Ps, Qs;
    std::array<std::uint64_t, kDense> idx;

    while (x <= pr_.upperBound && found < pr_.maxRoots) {
        if (out_.work >= pr_.workBudget) {
            out_.stop = ScanStop::WorkBudget;
            break;
        }
        const std::uint64_t limit = pastBound - at;  // pastBound > at here

        // The points of this round, each exactly where the loop puts it.
        std::size_t m = 0;
        const bool dense = scale == 1;
        if (dense) {
            m = grid.Fill(at + 1, static_cast<std::size_t>(std::min<std::uint64_t>(kDense, limit)), ys.data());
            for (std::size_t j = 0; j < m; ++j) idx[j] = at + 1 + j;
        } else {
            for (std::uint64_t off : kOffsets) {
                const std::uint64_t want = std::min(off * scale, limit);
                const std::uint64_t k = grid.Reachable(at + want);
                if (k <= (m ? idx[m - 1] : at)) break;
                idx[m] = k;
                ys[m] = grid.Point(k);
                ++m;
                if (k != at + want || want == limit) break;
            }
        }
        if (m == 0) {
            out_.stop = ScanStop::Stalled;
            break;
        }
        split_.Evaluate(ys.data(), m, Ps.data(), Qs.data());
        out_.work += m * terms_ * WorkWeight(ys[0]);
        // Beyond the limit no sign is certain; below it one slack serves all.
        const bool inLimit = ys[m - 1] <= split_.Limit();
        const double slack = split_.Slack(ys[m - 1]);

        bool whole = true;
        bool stop = false;
        std::uint64_t failedGap = 1;
        for (std::size_t i = 0; i < m; ++i) {
            const std::uint64_t gap = idx[i] - at;
            if (s != 0 && inLimit && split_.StretchSignWith(Px, Qx, Ps[i], Qs[i], slack) == s) {
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
            // One step: decide the sign at its end.
            const double prevX = x, prevP = Px, prevQ = Qx;
            int ns = inLimit ? split_.PointSignWith(Ps[i], Qs[i], slack) : 0;
            const bool certain = ns != 0;
            if (!certain) {
                out_.work += terms_ * WorkWeight(ys[i]);
                ns = RefSignFast(ys[i]);
            }
            at = idx[i];
            x = ys[i];
            Px = Ps[i];
            Qx = Qs[i];
            if (ns == 2) {
                out_.stop = ScanStop::NotFinite;
                stop = true;
                break;
            }
            OpenStep step{prevX, x, s, ns, sCertain, certain, false, prevP, prevQ, Px, Qx};
            const bool change = (ns > 0 && s < 0) || (ns < 0 && s > 0);
            s = ns;
            sCertain = certain;
            out_.coveredTo = x;
            if (!change) {
                out_.open.push_back(step);
                continue;
            }
            double root = 0.0;
            if (!refine_.Newton(prevX, x, root))
                root = refine_.Bisect(prevX, x, step.fromSign, [&](double mid) { return SignAt(mid); });
            const double rate = RateFromRoot(root, pr_.periodsPerYear);
            ++found;
            if (std::isfinite(rate)) {
                out_.rates.push_back(rate);
                out_.roots.push_back(root);
            } else {
                out_.unlisted.push_back(root);
            }
            step.listed = true;
            out_.open.push_back(step);
            break;  // plan the next round from here
        }
        if (stop) break;
        // A dense round that kept its sign is followed by sparse points
        // reaching about 16 times as far, and each sparse round that keeps it
        // by points 4 times as far; where a long stretch failed, the next
        // round looks at it more closely.
        if (whole) scale = dense ? kDense / 8 : std::min(scale * 4, kMaxScale);
        else scale = std::max<std::uint64_t>(1, failedGap / 64);
    }
    out_.stopX = x;
    return std::move(out_);
}

}  // namespace

ScanOutcome FastScan(const ScanProblem& problem) { return FastScanner(problem).Run(); }

}  // namespace valmora
