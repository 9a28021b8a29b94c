#include "core/solver/fast_scan.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "core/solver/exact_powers.h"
#include "core/solver/grid_points.h"
#include "core/solver/polynomial.h"
#include "core/solver/split_polynomial.h"
#include "core/solver/true_signs.h"

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
          refine_(pr, out_.work, powers_),
          tail_(pr.coef, split_) {}

    ScanOutcome Run();

private:
    // Lists the root of the sign change across the step (prevX, x] and
    // notes the step as open and listed.
    void Record(OpenStep step, double root);
    // From grid point `at` (x, where the sign s was decided) to the bound
    // with f's own signs: the scan past the point where the per-term sum
    // stops being finite.
    void RunTrue(Grid& grid, std::uint64_t pastBound, std::uint64_t at, double x, int s, bool sCertain, int& found);
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
    TailBounds tail_;
    std::vector<TailBounds::Wide> tailA_, tailB_;  // PP then QQ at both ends
    std::optional<TrueSigns> true_;                // made when first needed
};

void FastScanner::Record(OpenStep step, double root) {
    const double rate = RateFromRoot(root, pr_.periodsPerYear);
    if (std::isfinite(rate)) {
        step.entry = static_cast<int>(out_.rates.size());
        out_.rates.push_back(rate);
        out_.roots.push_back(root);
        out_.brackets.push_back({step.from, step.to});
    } else {
        step.entry = -1 - static_cast<int>(out_.unlisted.size());
        out_.unlisted.push_back(root);
        out_.unlistedBrackets.push_back({step.from, step.to});
    }
    step.listed = true;
    out_.open.push_back(step);
}

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
    while (x <= pr_.upperBound && found < pr_.maxRoots) {
        if (out_.work >= pr_.workBudget) {
            out_.stop = ScanStop::WorkBudget;
            break;
        }
        const std::uint64_t limit = pastBound - at;
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
        signs.Evaluate(ys.data(), m, Ps.data(), Qs.data());
        out_.work += m * terms_;
        bool whole = true;
        std::uint64_t failedGap = 1;
        for (std::size_t i = 0; i < m; ++i) {
            const std::uint64_t gap = idx[i] - at;
            if (s != 0 && signs.StretchSign(x, Px, Qx, ys[i], Ps[i], Qs[i]) == s) {
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

void FastScanner::TailAdvance(Grid& grid, std::uint64_t pastBound, std::uint64_t& at, double& x, int s) {
    if (!TailBounds::kUsable || s == 0) return;
    const std::size_t terms = static_cast<std::size_t>(terms_);
    tailA_.resize(2 * terms);
    tailB_.resize(2 * terms);
    TailBounds::Wide largestA = 0, largestB = 0;
    tail_.At(x, tailA_.data(), tailA_.data() + terms, largestA);
    out_.work += terms_ * WorkWeight(x);
    std::uint64_t stride = 1;
    while (out_.work < pr_.workBudget && at < pastBound) {
        const std::uint64_t want = std::min(stride, pastBound - at);
        const std::uint64_t k = grid.Reachable(at + want);
        if (k <= at) return;  // the grid stalls here
        const double y = grid.Point(k);
        tail_.At(y, tailB_.data(), tailB_.data() + terms, largestB);
        out_.work += terms_ * WorkWeight(y);
        if (tail_.Stretch(tailA_.data(), tailA_.data() + terms, tailB_.data(), tailB_.data() + terms, largestB, y) ==
            s) {
            at = k;
            x = y;
            out_.coveredTo = y;
            std::swap(tailA_, tailB_);
            stride = std::min(stride * 2, kMaxScale);
        } else if (want == 1) {
            return;
        } else {
            stride = std::max<std::uint64_t>(1, want / 4);
        }
    }
}

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

    std::array<double, kDense> ys{}, Ps{}, Qs{}, PRs{}, QRs{};
    std::array<std::uint64_t, kDense> idx;
    // Above 1 the reciprocal halves of TrueSigns at x as well (PRx, QRx,
    // valid while x > 1): they decide long stretches there.
    double PRx = 0.0, QRx = 0.0;

    // Set once a point lies beyond what the split certifies; from there on
    // TailBounds decides stretches, and single steps the per-term sum.
    bool beyond = false;
    bool toTrue = false;  // the per-term sum stopped being finite

    while (x <= pr_.upperBound && found < pr_.maxRoots) {
        if (beyond) {
            const std::uint64_t from = at;
            TailAdvance(grid, pastBound, at, x, s);
            if (at != from) sCertain = true;
            split_.EvaluateOne(x, Px, Qx);
            if (x > 1.0) Signs().EvaluateOne(x, PRx, QRx);
            if (!(x <= pr_.upperBound)) break;
        }
        if (out_.work >= pr_.workBudget) {
            out_.stop = ScanStop::WorkBudget;
            break;
        }
        const std::uint64_t limit = pastBound - at;  // pastBound > at here

        // The points of this round, each exactly where the loop puts it.
        std::size_t m = 0;
        const bool dense = scale == 1 || beyond;
        if (dense) {
            const std::uint64_t want = beyond ? 1 : std::min<std::uint64_t>(kDense, limit);
            m = grid.Fill(at + 1, static_cast<std::size_t>(want), ys.data());
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
        const bool above1 = ys[m - 1] > 1.0;
        if (above1) {
            Signs().Evaluate(ys.data(), m, PRs.data(), QRs.data());
            out_.work += m * terms_;
        }
        // Beyond the limit no sign is certain; below it one slack serves all.
        const bool inLimit = ys[m - 1] <= split_.Limit();
        const double slack = split_.Slack(ys[m - 1]);

        bool whole = true;
        bool stop = false;
        std::uint64_t failedGap = 1;
        for (std::size_t i = 0; i < m; ++i) {
            const std::uint64_t gap = idx[i] - at;
            bool keeps = false;
            if (s != 0 && inLimit) {
                keeps = split_.StretchSignWith(Px, Qx, Ps[i], Qs[i], slack) == s;
                if (!keeps && x > 1.0)
                    keeps = Signs().ReferenceStretchSign(x, PRx, QRx, ys[i], PRs[i], QRs[i], slack) == s;
            }
            if (keeps) {
                at = idx[i];
                x = ys[i];
                out_.coveredTo = x;
                Px = Ps[i];
                Qx = Qs[i];
                PRx = PRs[i];
                QRx = QRs[i];
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
                if (split_.Beyond(ys[i], Ps[i], Qs[i])) beyond = true;
            }
            at = idx[i];
            x = ys[i];
            Px = Ps[i];
            Qx = Qs[i];
            PRx = PRs[i];
            QRx = QRs[i];
            if (ns == 2) {
                // The per-term sum is not finite here, where the per-term
                // scan stops: from here on f's own signs decide, from the
                // last point the sum was finite at.
                at = idx[i] - 1;
                x = prevX;
                Px = prevP;
                Qx = prevQ;
                out_.trueSignsFrom = ys[i];
                toTrue = true;
                stop = true;
                break;
            }
            OpenStep step{prevX, x, s, ns, sCertain, certain, false, 0, false, prevP, prevQ, Px, Qx};
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
            ++found;
            Record(step, root);
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
    if (toTrue) RunTrue(grid, pastBound, at, x, s, sCertain, found);
    return std::move(out_);
}

}  // namespace

ScanOutcome FastScan(const ScanProblem& problem) { return FastScanner(problem).Run(); }

}  // namespace valmora
