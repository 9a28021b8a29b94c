#include "core/solver/fast_scan.h"

#include "core/solver/fast_scanner.h"
#include "core/solver/polynomial.h"

namespace valmora {

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

namespace scan_detail {

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

void FastScanner::TailAdvance(Grid& grid, std::uint64_t pastBound, std::uint64_t& at, double& x, int s) {
    if (!TailBounds::kUsable || s == 0) return;
    const std::size_t terms = static_cast<std::size_t>(terms_);
    tailA_.resize(2 * terms);
    tailB_.resize(2 * terms);
    TailBounds::Wide largestA = 0, largestB = 0;
    tail_.At(x, tailA_.data(), tailA_.data() + terms, largestA);
    out_.work += terms_ * WorkWeight(x);
    std::uint64_t stride = 1;
    while (out_.work < ownBudget_ && at < pastBound) {
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

double FastScanner::Refine(double lo, double hi, int loSign) {
    auto valueAndSlope = [this](double x) {
        const ValueAndSlope v = RefValueAndSlope(x);
        AddBoth((2 * terms_ - 1) * WorkWeight(x));
        return v;
    };
    auto sign = [this](double x) {
        AddBoth(terms_ * WorkWeight(x));
        return SignAt(x);
    };
    return RefineBracket(lo, hi, loSign, pr_.tolerance, valueAndSlope, sign);
}

std::uint64_t FastScanner::RefCost(Grid& grid, std::uint64_t from, std::uint64_t to) {
    if (to <= from) return 0;
    if (!firstNormalKnown_) {
        // Points below 2^-1022 are subnormal; point 0 is 0 and counted once.
        firstNormal_ = grid.FirstAbove(std::nextafter(0x1p-1022, 0.0));
        firstNormalKnown_ = true;
    }
    const std::uint64_t subnormal = firstNormal_ > from + 1 ? std::min(to, firstNormal_ - 1) - from : 0;
    return (to - from) * terms_ + subnormal * terms_ * (kSubnormalWeight - 1);
}

std::uint64_t FastScanner::RefExhausted(Grid& grid, std::uint64_t from, std::uint64_t to) {
    if (refWork_ >= pr_.workBudget) return from;
    const std::uint64_t need = pr_.workBudget - refWork_;
    if (RefCost(grid, from, to) < need) return Grid::kNever;
    std::uint64_t lo = from, hi = to;  // RefCost(from, lo) < need <= RefCost(from, hi)
    while (hi - lo > 1) {
        const std::uint64_t mid = lo + (hi - lo) / 2;
        if (RefCost(grid, from, mid) >= need) hi = mid;
        else lo = mid;
    }
    return hi;
}

ScanOutcome FastScanner::Run() {
    out_.work = terms_;
    refWork_ = terms_;  // f(0)
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
    // The per-term scan stops here (its sum not finite, or its work used
    // up): f's own signs decide from here on.
    bool toTrue = refWork_ >= pr_.workBudget;

    while (!toTrue && x <= pr_.upperBound && found < pr_.maxRoots) {
        if (beyond) {
            const std::uint64_t from = at;
            const std::uint64_t exhausted = RefExhausted(grid, at, pastBound);
            TailAdvance(grid, exhausted == Grid::kNever ? pastBound : exhausted, at, x, s);
            refWork_ += RefCost(grid, from, at);
            if (at != from) sCertain = true;
            split_.EvaluateOne(x, Px, Qx);
            if (x > 1.0) Signs().EvaluateOne(x, PRx, QRx);
            if (at == exhausted) {
                toTrue = true;
                break;
            }
            if (!(x <= pr_.upperBound)) break;
        }
        if (out_.work >= ownBudget_) {
            out_.stop = ScanStop::WorkBudget;
            break;
        }
        const std::uint64_t limit = pastBound - at;  // pastBound > at here

        // The points of this round, each exactly where the loop puts it.
        const bool dense = scale == 1 || beyond;
        const std::uint64_t count = beyond ? 1 : std::min<std::uint64_t>(kDense, limit);
        const std::size_t m = PlanRound(grid, at, limit, dense, count, scale, ys.data(), idx.data());
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
                const std::uint64_t exhausted = RefExhausted(grid, at, idx[i]);
                if (exhausted != Grid::kNever) {
                    // The per-term scan stops inside the stretch, at a point
                    // of the sign s.
                    refWork_ += RefCost(grid, at, exhausted);
                    at = exhausted;
                    x = grid.Point(at);
                    out_.coveredTo = x;
                    sCertain = true;
                    toTrue = stop = true;
                    break;
                }
                refWork_ += RefCost(grid, at, idx[i]);
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
            refWork_ += RefCost(grid, at, idx[i]);
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
                out_.perTermStop = ScanStop::NotFinite;
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
                if (refWork_ >= pr_.workBudget) {
                    toTrue = stop = true;
                    break;
                }
                continue;
            }
            ++found;
            Record(step, Refine(prevX, x, step.fromSign));
            if (refWork_ >= pr_.workBudget) toTrue = stop = true;
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
    if (toTrue) {
        if (out_.trueSignsFrom == 0.0) {
            out_.trueSignsFrom = x;
            out_.perTermStop = ScanStop::WorkBudget;
        }
        if (found < pr_.maxRoots) RunTrue(grid, pastBound, at, x, s, sCertain, found);
    }
    return std::move(out_);
}

}  // namespace scan_detail

ScanOutcome FastScan(const ScanProblem& problem) { return scan_detail::FastScanner(problem).Run(); }

}  // namespace valmora
