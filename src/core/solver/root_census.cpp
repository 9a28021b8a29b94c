#include "core/solver/root_census.h"

#include <algorithm>
#include <cmath>

#include "core/solver/exact_roots.h"
#include "core/solver/split_polynomial.h"

namespace valmora {
namespace {

// Roots in the grid step (a, b] from f's values at its ends and a bound M2
// on |f''| over it: when the secant slope beats the variation M2 h of f', f
// is monotone there, with one root if the ends differ in sign and none if
// not; otherwise none when both ends stay farther from 0 than the
// interpolation error M2 h^2 / 8. -1 when the bounds cannot tell.
int SettleStep(const SplitPolynomial& split, double a, double b, double Pa, double Qa, double Pb, double Qb,
               double m2) {
    const double fa = Pa - Qa, fb = Pb - Qb;
    const double ea = split.TrueError(a, Pa, Qa);
    const double eb = split.TrueError(b, Pb, Qb);
    if (!(std::fabs(fa) > ea) || !(std::fabs(fb) > eb) || !std::isfinite(m2)) return -1;
    const bool differ = (fa > 0) != (fb > 0);
    const double h = (b - a) * (1.0 + 0x1p-50);
    const double curve = m2 * h * h * (1.0 + 0x1p-50);
    const double rise = (std::fabs(fb - fa) - ea - eb) * (1.0 - 0x1p-50);
    if (rise > curve) return differ ? 1 : 0;
    if (differ) return -1;
    const double least = std::min(std::fabs(fa) - ea, std::fabs(fb) - eb);
    return least * (1.0 - 0x1p-50) > curve / 8 ? 0 : -1;
}

// The same on halves, quarters ... of the step, down to `depth` halvings:
// each halving quarters the curvature term and halves the rise.
int Settle(const SplitPolynomial& split, double a, double b, double Pa, double Qa, double Pb, double Qb, double m2,
           int depth) {
    const int roots = SettleStep(split, a, b, Pa, Qa, Pb, Qb, m2);
    if (roots >= 0 || depth == 0) return roots;
    const double mid = a + (b - a) / 2;
    if (!(mid > a && mid < b)) return -1;
    double Pm, Qm;
    split.EvaluateOne(mid, Pm, Qm);
    if (split.TrueSign(mid, Pm, Qm) == 0) return -1;
    const int left = Settle(split, a, mid, Pa, Qa, Pm, Qm, m2, depth - 1);
    if (left < 0) return -1;
    const int right = Settle(split, mid, b, Pm, Qm, Pb, Qb, m2, depth - 1);
    return right < 0 ? -1 : left + right;
}

// Roots in one cluster of adjacent open steps, steps [first, last] of the
// scan, when f is strictly monotone on all of it and its sign is certain at
// both ends: 1 if the signs differ, else 0; -1 when this cannot tell.
int SettleCluster(const SplitPolynomial& split, const OpenStep& first, const OpenStep& last) {
    const int sa = split.TrueSign(first.from, first.fromP, first.fromQ);
    const int sb = split.TrueSign(last.to, last.toP, last.toQ);
    if (sa == 0 || sb == 0) return -1;
    double P1a, Q1a, P1b, Q1b;
    split.EvaluateDerivativeOne(first.from, P1a, Q1a);
    split.EvaluateDerivativeOne(last.to, P1b, Q1b);
    if (split.MonotoneSign(last.to, P1a, Q1a, P1b, Q1b) == 0) return -1;
    return sa != sb ? 1 : 0;
}

}  // namespace

RootCensus TakeCensus(const ScanProblem& pr, const ScanOutcome& scan) {
    RootCensus census;
    census.known = true;
    const SplitPolynomial& split = SplitPolynomial::Shared(pr.coef);

    // Descartes: f has at most maxRoots positive roots, counted with
    // multiplicity. As many brackets across which f itself changes sign
    // leave exactly one simple root in each and none elsewhere.
    int certainBrackets = 0;
    for (const auto& st : scan.open) {
        if (!st.listed) continue;
        const int sa = split.TrueSign(st.from, st.fromP, st.fromQ);
        const int sb = split.TrueSign(st.to, st.toP, st.toQ);
        if (sa != 0 && sb != 0 && sa != sb) ++certainBrackets;
    }
    if (certainBrackets == pr.maxRoots) {
        census.inRange = pr.maxRoots;
        return census;
    }

    struct Span {
        double from, to;
        int listed;
    };
    std::vector<Span> unsettled;
    auto addUnsettled = [&](double from, double to, int inside) {
        if (!unsettled.empty() && unsettled.back().to == from) {
            unsettled.back().to = to;
            unsettled.back().listed += inside;
        } else {
            unsettled.push_back({from, to, inside});
        }
    };
    int settled = 0;
    const std::size_t open = scan.open.size();
    for (std::size_t begin = 0; begin < open;) {
        // The cluster of adjacent open steps from here: near a root, where
        // the bulk bounds failed step by step.
        std::size_t end = begin + 1;
        int listed = scan.open[begin].listed ? 1 : 0;
        while (end < open && scan.open[end].from == scan.open[end - 1].to) listed += scan.open[end++].listed ? 1 : 0;
        const OpenStep& first = scan.open[begin];
        const OpenStep& last = scan.open[end - 1];
        // A short cluster is often monotone as a whole; a long one rarely.
        const int roots = listed <= 1 && end - begin <= 8 ? SettleCluster(split, first, last) : -1;
        if (roots >= listed) {
            settled += roots;
            if (roots > listed) {
                // The one root the grid missed: between the last point where
                // f has its starting sign and the first where it has the
                // other one.
                const int sa = split.TrueSign(first.from, first.fromP, first.fromQ);
                double from = first.from, to = last.to;
                for (std::size_t i = begin; i < end; ++i) {
                    const auto& st = scan.open[i];
                    const int t = split.TrueSign(st.to, st.toP, st.toQ);
                    if (t == sa) from = st.to;
                    else if (t == -sa) {
                        to = st.to;
                        break;
                    }
                }
                census.missed.push_back({from, to, roots - listed});
            }
            begin = end;
            continue;
        }
        // Step by step, with bounds on |f''| from P'' and Q'' at the grid
        // points of the cluster, a chunk of them in one call.
        constexpr std::size_t kChunk = 32;
        double xs[kChunk + 1], P2[kChunk + 1], Q2[kChunk + 1];
        for (std::size_t c = begin; c < end; c += kChunk) {
            const std::size_t count = std::min(kChunk, end - c);
            xs[0] = scan.open[c].from;
            for (std::size_t j = 0; j < count; ++j) xs[j + 1] = scan.open[c + j].to;
            split.EvaluateCurvature(xs, count + 1, P2, Q2);
            for (std::size_t j = 0; j < count; ++j) {
                const auto& st = scan.open[c + j];
                const double m2 = split.CurvatureBound(st.to, P2[j], Q2[j], P2[j + 1], Q2[j + 1]);
                const int r = Settle(split, st.from, st.to, st.fromP, st.fromQ, st.toP, st.toQ, m2, 6);
                // A listed bracket must hold a root: if the bounds say
                // otherwise the rounded values misled the scan, and exact
                // counting decides.
                const int inside = st.listed ? 1 : 0;
                if (r < 0 || r < inside) {
                    addUnsettled(st.from, st.to, inside);
                    continue;
                }
                settled += r;
                // A sign change of f that the rounded values hid (an exact 0
                // there).
                if (r > inside) census.missed.push_back({st.from, st.to, r - inside});
            }
        }
        begin = end;
    }
    if (scan.coveredTo < pr.upperBound) addUnsettled(scan.coveredTo, pr.upperBound, 0);

    census.inRange = settled;
    if (unsettled.empty()) return census;
    // The steps the bounds could not settle are counted exactly, up to the
    // degree where that stays quick.
    if (static_cast<int>(pr.coef.size()) - 1 > kMaxExactDegree) {
        census.known = false;
        return census;
    }
    const ExactPolynomial exact(pr.coef);
    if (exact.IsZero()) {
        census.known = false;
        return census;
    }
    for (const auto& sp : unsettled) {
        const int n = exact.CountIn(sp.from, sp.to);
        ++census.exactCounts;
        census.inRange += n;
        if (n > sp.listed) census.missed.push_back({sp.from, sp.to, n - sp.listed});
    }
    std::sort(census.missed.begin(), census.missed.end(),
              [](const MissedRoots& l, const MissedRoots& r) { return l.from < r.from; });
    return census;
}

}  // namespace valmora
