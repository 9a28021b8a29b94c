#include "core/solver/fast_scan.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "core/solver/exact_powers.h"
#include "core/solver/grid_points.h"
#include "core/solver/polynomial.h"
#include "core/solver/split_polynomial.h"

namespace valmora {
namespace {

int SignOf(double v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

// f at x term by term, as the per-term scan computes it: each power
// directly, the products added in increasing k starting from 0.
double TermSum(std::span<const double> c, double x) {
    double sum = 0.0;
    for (std::size_t k = 0; k < c.size(); ++k) sum = c[k] * std::pow(x, static_cast<double>(k)) + sum;
    return sum;
}

// Newton's method and bisection shared by both scans; Eval decides how the
// sign of f at a bisection point is found, the values themselves are always
// the per-term ones.
class Refiner {
public:
    // exactPowers: powers from ExactPowers (the same values, faster) rather
    // than one std::pow call each.
    Refiner(const ScanProblem& pr, std::uint64_t& work, bool exactPowers, std::vector<double>& powers)
        : pr_(pr), work_(work), terms_(pr.coef.size()), exactPowers_(exactPowers), powers_(powers) {
        powers_.resize(terms_);
    }

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
            if (step == kNewtonStepLimit) return false;
            if (stepped) xOld = xNew;
            if (exactPowers_) ExactPowers(xOld, static_cast<int>(terms_) - 1, powers_.data());
            else
                for (std::size_t k = 0; k < terms_; ++k) powers_[k] = std::pow(xOld, static_cast<double>(k));
            double f = 0.0;
            for (std::size_t k = 0; k < terms_; ++k) f = pr_.coef[k] * powers_[k] + f;
            double df = 0.0;
            for (std::size_t k = 0; k + 1 < terms_; ++k) df = pr_.deriv[k] * powers_[k] + df;
            work_ += 2 * terms_ - 1;
            if (df == 0.0 || !std::isfinite(df) || !std::isfinite(f)) return false;
            xNew = xOld - f / df;
            if (!std::isfinite(xNew)) return false;
            stepped = true;
        }
    }

    // Bisection of [lo, hi] where f(lo) has the sign loSign and f(hi) the
    // opposite one, down to the tolerance or until it cannot shrink.
    template <class SignAt>
    double Bisect(double lo, double hi, int loSign, SignAt signAt) {
        for (;;) {
            const double mid = lo + (hi - lo) / 2.0;
            if (hi - lo <= pr_.tolerance || mid <= lo || mid >= hi) break;
            work_ += terms_;
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
    const bool exactPowers_;
    std::vector<double>& powers_;
};

int RefSign(std::span<const double> c, double x) {
    const double f = TermSum(c, x);
    return std::isfinite(f) ? SignOf(f) : 2;
}

}  // namespace

ScanOutcome ReferenceScan(const ScanProblem& pr) {
    ScanOutcome out;
    const std::uint64_t terms = pr.coef.size();
    out.work = terms;
    std::vector<double> powers;
    Refiner refine(pr, out.work, false, powers);
    double x = 0.0;
    double fPrev = TermSum(pr.coef, 0.0);
    int count = 0;
    while (x <= pr.upperBound && count < pr.maxRoots) {
        if (out.work >= pr.workBudget) { out.stop = ScanStop::WorkBudget; break; }
        const double prevX = x;
        const double next = x + pr.increment;
        if (next == x) { out.stop = ScanStop::Stalled; break; }
        x = next;
        const double f = TermSum(pr.coef, x);
        out.work += terms;
        if (!std::isfinite(f)) { out.stop = ScanStop::NotFinite; break; }
        if ((f > 0 && fPrev < 0) || (f < 0 && fPrev > 0)) {
            double root = 0.0;
            if (!refine.Newton(prevX, x, root))
                root = refine.Bisect(prevX, x, SignOf(fPrev), [&](double m) { return RefSign(pr.coef, m); });
            const double rate = RateFromRoot(root, pr.periodsPerYear);
            if (!std::isfinite(rate)) { out.stop = ScanStop::NotFinite; break; }
            ++count;
            out.rates.push_back(rate);
            out.roots.push_back(root);
            out.open.push_back({prevX, x, SignOf(fPrev), SignOf(f), false, false, true});
        }
        fPrev = f;
    }
    out.stopX = x;
    return out;
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
        : pr_(pr), split_(pr.coef), terms_(pr.coef.size()), refine_(pr, out_.work, true, powers_) {
        out_.open.reserve(8);
    }

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
        ExactPowers(y, static_cast<int>(terms_) - 1, powers_.data());
        double sum = 0.0;
        for (std::size_t k = 0; k < terms_; ++k) sum = pr_.coef[k] * powers_[k] + sum;
        return std::isfinite(sum) ? SignOf(sum) : 2;
    }

    const ScanProblem& pr_;
    ScanOutcome out_;
    SplitPolynomial split_;
    const std::uint64_t terms_;
    mutable std::vector<double> powers_;  // shared with the refiner
    Refiner refine_;
};

ScanOutcome FastScanner::Run() {
    out_.work = terms_;
    Grid grid(pr_.increment);
    // Points up to index `last` are reached while the loop runs on: the first
    // point above the bound ends it (the grid may stall before).
    const std::uint64_t pastBound = grid.FirstAbove(pr_.upperBound);
    std::uint64_t at = 0;  // index of the current point
    double x = 0.0;
    double Px = std::max(pr_.coef[0], 0.0), Qx = std::max(-pr_.coef[0], 0.0);
    int s = SignOf(pr_.coef[0]);
    bool sCertain = true;
    int count = 0;
    std::uint64_t scale = 1;

    std::array<double, kDense> ys{}, Ps{}, Qs{};
    std::array<std::uint64_t, kDense> idx{};

    while (x <= pr_.upperBound && count < pr_.maxRoots) {
        if (out_.work >= pr_.workBudget) { out_.stop = ScanStop::WorkBudget; break; }
        // Steps that may start before the budget runs out.
        const std::uint64_t allowed = (pr_.workBudget - out_.work + terms_ - 1) / terms_;
        const std::uint64_t limit = std::min(pastBound - at, allowed);  // pastBound > at here

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
        if (m == 0) { out_.stop = ScanStop::Stalled; break; }
        split_.Evaluate(ys.data(), m, Ps.data(), Qs.data());
        // Beyond the limit no sign is certain; below it one slack serves all.
        const bool inLimit = ys[m - 1] <= split_.Limit();
        const double slack = split_.Slack(ys[m - 1]);

        bool whole = true;
        bool stop = false;
        for (std::size_t i = 0; i < m; ++i) {
            const std::uint64_t gap = idx[i] - at;
            if (s != 0 && inLimit && split_.StretchSignWith(Px, Qx, Ps[i], Qs[i], slack) == s) {
                at = idx[i];
                x = ys[i];
                out_.coveredTo = x;
                Px = Ps[i];
                Qx = Qs[i];
                sCertain = true;
                out_.work += gap * terms_;
                continue;
            }
            whole = false;
            if (gap > 1) break;
            // One step: decide the sign at its end.
            out_.work += terms_;
            const double prevX = x, prevP = Px, prevQ = Qx;
            int ns = inLimit ? split_.PointSignWith(Ps[i], Qs[i], slack) : 0;
            const bool certain = ns != 0;
            if (!certain) ns = RefSignFast(ys[i]);
            at = idx[i];
            x = ys[i];
            Px = Ps[i];
            Qx = Qs[i];
            if (ns == 2) { out_.stop = ScanStop::NotFinite; stop = true; break; }
            OpenStep step{prevX, x, s, ns, sCertain, certain, false, prevP, prevQ, Px, Qx};
            const bool change = (ns > 0 && s < 0) || (ns < 0 && s > 0);
            s = ns;
            sCertain = certain;
            if (!change) {
                out_.open.push_back(step);
                out_.coveredTo = x;
                continue;
            }
            double root = 0.0;
            if (!refine_.Newton(prevX, x, root))
                root = refine_.Bisect(prevX, x, step.fromSign, [&](double mid) { return SignAt(mid); });
            const double rate = RateFromRoot(root, pr_.periodsPerYear);
            if (!std::isfinite(rate)) { out_.stop = ScanStop::NotFinite; stop = true; break; }
            ++count;
            out_.rates.push_back(rate);
            out_.roots.push_back(root);
            step.listed = true;
            out_.open.push_back(step);
            out_.coveredTo = x;
            break;  // the refinement spent work: plan the next round afresh
        }
        if (stop) break;
        // After a dense round that kept its sign, sparse points reach
        // about 16 times as far; each sparse round that keeps it, 4 times.
        scale = !whole ? 1 : dense ? kDense / 8 : std::min(scale * 4, kMaxScale);
    }
    out_.stopX = x;
    return out_;
}

}  // namespace

ScanOutcome FastScan(const ScanProblem& problem) { return FastScanner(problem).Run(); }

}  // namespace valmora
