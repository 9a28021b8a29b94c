#include "core/solver/fast_scan.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

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
    Refiner(const ScanProblem& pr, std::uint64_t& work) : pr_(pr), work_(work), terms_(pr.coef.size()) {
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
    std::vector<double> powers_;
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
    Refiner refine(pr, out.work);
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

// Offsets (in grid steps) of the points one round evaluates, times a scale
// that grows while whole rounds keep their sign: dense near the start, where
// a root just found or about to be found needs single steps, sparse further.
constexpr std::array<std::uint64_t, 16> kOffsets = {1, 2, 3, 4, 5, 6, 7, 8, 12, 16, 24, 32, 48, 64, 96, 128};
constexpr std::uint64_t kMaxScale = std::uint64_t{1} << 40;

class FastScanner {
public:
    explicit FastScanner(const ScanProblem& pr)
        : pr_(pr), split_(pr.coef), terms_(pr.coef.size()), refine_(pr, out_.work) {}

    ScanOutcome Run();

private:
    // The sign of the per-term value at y from P and Q there: certain from
    // the bound, otherwise the per-term sum decides (2: not finite).
    int SignAt(double y, double P, double Q, bool& certain) const {
        const int s = split_.PointSign(y, P, Q);
        certain = s != 0;
        return certain ? s : RefSign(pr_.coef, y);
    }
    int SignAt(double y) const {
        double P, Q;
        split_.EvaluateOne(y, P, Q);
        bool certain;
        return SignAt(y, P, Q, certain);
    }

    const ScanProblem& pr_;
    ScanOutcome out_;
    SplitPolynomial split_;
    const std::uint64_t terms_;
    Refiner refine_;
};

ScanOutcome FastScanner::Run() {
    out_.work = terms_;
    double x = 0.0;
    double Px = std::max(pr_.coef[0], 0.0), Qx = std::max(-pr_.coef[0], 0.0);
    int s = SignOf(pr_.coef[0]);
    bool sCertain = true;
    int count = 0;
    std::uint64_t scale = 1;

    std::array<double, kOffsets.size()> ys{}, Ps{}, Qs{};
    std::array<std::uint64_t, kOffsets.size()> gaps{};

    while (x <= pr_.upperBound && count < pr_.maxRoots) {
        if (out_.work >= pr_.workBudget) { out_.stop = ScanStop::WorkBudget; break; }
        // Steps that may start before the budget runs out.
        const std::uint64_t allowed = (pr_.workBudget - out_.work + terms_ - 1) / terms_;

        // The points of this round, each reached exactly as the loop would.
        std::size_t m = 0;
        std::uint64_t reached = 0;
        double y = x;
        for (std::uint64_t off : kOffsets) {
            std::uint64_t target = std::min(off * scale, allowed);
            if (target <= reached) break;
            const std::uint64_t want = target - reached;
            std::uint64_t taken = 0;
            double next = AdvanceGrid(y, pr_.increment, want, &taken);
            if (taken == 0) break;  // stalls at y
            if (next > pr_.upperBound && taken > 1) {
                // Only the first point past the bound is reached: find it.
                std::uint64_t lo = 0, hi = taken;  // after hi steps past, after lo not
                while (hi - lo > 1) {
                    const std::uint64_t mid = lo + (hi - lo) / 2;
                    if (AdvanceGrid(y, pr_.increment, mid) > pr_.upperBound) hi = mid;
                    else lo = mid;
                }
                taken = hi;
                next = AdvanceGrid(y, pr_.increment, hi);
            }
            ys[m] = next;
            gaps[m] = taken;
            ++m;
            y = next;
            reached += taken;
            if (taken < want || y > pr_.upperBound || reached == allowed) break;
        }
        if (m == 0) { out_.stop = ScanStop::Stalled; break; }
        split_.Evaluate(ys.data(), m, Ps.data(), Qs.data());

        bool whole = true;
        bool event = false;
        for (std::size_t i = 0; i < m; ++i) {
            if (s != 0 && s != 2 && split_.StretchSign(x, ys[i], Px, Qx, Ps[i], Qs[i]) == s) {
                x = ys[i];
                Px = Ps[i];
                Qx = Qs[i];
                sCertain = true;
                out_.work += gaps[i] * terms_;
                continue;
            }
            if (gaps[i] > 1) { whole = false; break; }
            // One step: decide the sign at its end.
            whole = false;
            out_.work += terms_;
            const double prevX = x;
            bool certain = false;
            const int ns = SignAt(ys[i], Ps[i], Qs[i], certain);
            x = ys[i];
            Px = Ps[i];
            Qx = Qs[i];
            if (ns == 2) { out_.stop = ScanStop::NotFinite; event = true; break; }
            OpenStep step{prevX, x, s, ns, sCertain, certain, false};
            if ((ns > 0 && s < 0) || (ns < 0 && s > 0)) {
                double root = 0.0;
                if (!refine_.Newton(prevX, x, root))
                    root = refine_.Bisect(prevX, x, s, [&](double mid) { return SignAt(mid); });
                const double rate = RateFromRoot(root, pr_.periodsPerYear);
                if (!std::isfinite(rate)) { out_.stop = ScanStop::NotFinite; event = true; break; }
                ++count;
                out_.rates.push_back(rate);
                out_.roots.push_back(root);
                step.listed = true;
                out_.open.push_back(step);
                s = ns;
                sCertain = certain;
                event = true;
                break;
            }
            out_.open.push_back(step);
            s = ns;
            sCertain = certain;
        }
        if (event && out_.stop != ScanStop::None) break;
        scale = whole ? std::min(scale * 4, kMaxScale) : 1;
    }
    out_.stopX = x;
    return out_;
}

}  // namespace

ScanOutcome FastScan(const ScanProblem& problem) { return FastScanner(problem).Run(); }

}  // namespace valmora
