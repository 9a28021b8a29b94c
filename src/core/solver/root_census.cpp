#include "core/solver/root_census.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/solver/exact_roots.h"
#include "core/solver/split_polynomial.h"
#include "core/solver/true_signs.h"

namespace valmora {
namespace {

// Relative room for the rounding of the tests' own arithmetic: each of the
// few operations below (a difference, a product, a square) errs by at most
// 2^-53 relative, so 2^-50 covers up to eight of them.
constexpr double kRoom = 0x1p-50;

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
    // By the mean value theorem the slope of f somewhere in (a, b) is the
    // secant's, at least (|fb - fa| - ea - eb) / h, and f' varies by at most
    // M2 h over the step: f' keeps its sign when the first beats the second.
    const double h = (b - a) * (1.0 + kRoom);
    const double curve = m2 * h * h * (1.0 + kRoom);
    const double rise = (std::fabs(fb - fa) - ea - eb) * (1.0 - kRoom);
    if (rise > curve) return differ ? 1 : 0;
    if (differ) return -1;
    // Linear interpolation between the ends errs by at most M2 h^2 / 8.
    const double least = std::min(std::fabs(fa) - ea, std::fabs(fb) - eb);
    return least * (1.0 - kRoom) > curve / 8 ? 0 : -1;
}

// The same on halves, quarters ... of the step, down to `depth` halvings:
// each halving quarters the curvature term and halves the rise. Six levels
// settle the steps next to a simple root that one level leaves open, while
// the 2^6 evaluations stay below one exact count's cost at any degree.
constexpr int kSettleDepth = 6;
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

// A cluster of this many adjacent open steps at most is first tried as a
// whole: near a simple root f is usually monotone over the few steps the
// bulk bounds leave open; over longer clusters it rarely is.
constexpr std::size_t kMonotoneCluster = 8;

class Census {
public:
    Census(const ScanProblem& pr, const ScanOutcome& scan)
        : pr_(pr), scan_(scan), split_(SplitPolynomial::Shared(pr.coef)) {}

    RootCensus Take();

private:
    // An open step of the scan, or a listed step widened over its
    // neighbours (see RootCensus::bracketSpans).
    struct Unit {
        double from, to;
        int scanFrom, scanTo;     // the signs the scan saw at the ends
        const OpenStep* listed;   // the listed step this stands for, or nullptr
        bool splitFrom, splitTo;  // P and Q at that end are the split's (else TrueSigns')
        double fromP, fromQ, toP, toQ;
        int ownFrom, ownTo;  // f's own signs there, kUnknown until asked
    };
    static constexpr int kUnknown = 2;

    Unit UnitOf(const OpenStep& st) const {
        return {st.from,
                st.to,
                st.fromSign,
                st.toSign,
                st.listed ? &st : nullptr,
                !st.trueSigns,
                !st.trueSigns,
                st.fromP,
                st.fromQ,
                st.toP,
                st.toQ,
                st.fromCertain ? st.fromSign : kUnknown,
                st.toCertain ? st.toSign : kUnknown};
    }
    const TrueSigns& Signs() {
        if (!true_) true_.emplace(pr_.coef);
        return *true_;
    }
    int& CountOf(const OpenStep& st) {
        return st.entry >= 0 ? out_.bracketRoots[static_cast<std::size_t>(st.entry)]
                             : out_.unlistedBracketRoots[static_cast<std::size_t>(-1 - st.entry)];
    }
    // f's own sign at x from the split's bound where P and Q are the
    // split's, else exactly (0 only where f is 0 there).
    int OwnSign(double x, bool split, double P, double Q) {
        const int s = split ? split_.TrueSign(x, P, Q) : 0;
        return s != 0 ? s : Signs().SignAt(x, nullptr);
    }
    int FromSign(Unit& u) {
        if (u.ownFrom == kUnknown) u.ownFrom = OwnSign(u.from, u.splitFrom, u.fromP, u.fromQ);
        return u.ownFrom;
    }
    int ToSign(Unit& u) {
        if (u.ownTo == kUnknown) u.ownTo = OwnSign(u.to, u.splitTo, u.toP, u.toQ);
        return u.ownTo;
    }
    // The same from the split's bound alone (0 where it cannot tell): where
    // f is that near 0 the bounds below cannot settle the unit anyway, and
    // exact counting decides without the exact signs' cost.
    int CheapFromSign(const Unit& u) const {
        if (u.ownFrom != kUnknown) return u.ownFrom;
        return u.splitFrom ? split_.TrueSign(u.from, u.fromP, u.fromQ) : 0;
    }
    int CheapToSign(const Unit& u) const {
        if (u.ownTo != kUnknown) return u.ownTo;
        return u.splitTo ? split_.TrueSign(u.to, u.toP, u.toQ) : 0;
    }
    // +1 (-1) when f > 0 (< 0) all over the unit by the bounds of the form
    // that serves it; 0 when they cannot tell.
    int TrueStretchSign(const Unit& u) {
        const TrueSigns& t = Signs();
        double Pa, Qa, Pb, Qb;
        t.EvaluateOne(u.from, Pa, Qa);
        t.EvaluateOne(u.to, Pb, Qb);
        return t.StretchSign(u.from, Pa, Qa, u.to, Pb, Qb);
    }
    // f' of the form that serves the stretch keeps its sign there (above 1
    // that of the reciprocal form, whose halves hardly change over a step).
    bool AtMostOneRoot(double from, double to) { return Signs().AtMostOneRoot(from, to); }
    void Missed(double from, double to, int count) {
        if (count > 0) out_.missed.push_back({from, to, count});
    }
    void Found(double from, double to, int count, RootPlace::Kind kind) {
        if (count > 0) out_.places.push_back({from, to, count, kind});
    }

    void MakeUnits();
    bool DescartesSettles();
    bool SettleMonotone(std::size_t begin, std::size_t end);
    void SettleUnits(std::size_t begin, std::size_t end);
    void CountOpen();

    const ScanProblem& pr_;
    const ScanOutcome& scan_;
    const SplitPolynomial& split_;  // kept per thread
    std::optional<TrueSigns> true_;
    RootCensus out_;
    std::vector<Unit> units_;
    std::vector<Unit> open_;  // units (and the stretch beyond the scan) left to exact counting
};

// The open steps as units: each listed step widened to the left and to the
// right over unlisted neighbours while f's own sign at its end is not the
// one the scan saw there. Bulk stretches certify f's sign, so the widening
// stays inside the cluster of open steps around the listed one.
void Census::MakeUnits() {
    const std::size_t count = scan_.open.size();
    for (std::size_t i = 0; i < count; ++i) {
        Unit u = UnitOf(scan_.open[i]);
        if (u.listed != nullptr) {
            while (!units_.empty() && units_.back().to == u.from && units_.back().listed == nullptr &&
                   FromSign(u) != u.scanFrom) {
                const Unit prev = units_.back();
                units_.pop_back();
                u.from = prev.from;
                u.scanFrom = prev.scanFrom;
                u.splitFrom = prev.splitFrom;
                u.fromP = prev.fromP;
                u.fromQ = prev.fromQ;
                u.ownFrom = prev.ownFrom;
            }
            while (i + 1 < count && scan_.open[i + 1].from == u.to && !scan_.open[i + 1].listed &&
                   ToSign(u) != u.scanTo) {
                const Unit next = UnitOf(scan_.open[++i]);
                u.to = next.to;
                u.scanTo = next.scanTo;
                u.splitTo = next.splitTo;
                u.toP = next.toP;
                u.toQ = next.toQ;
                u.ownTo = next.ownTo;
            }
            const OpenStep& st = *u.listed;
            (st.entry >= 0 ? out_.bracketSpans[static_cast<std::size_t>(st.entry)]
                           : out_.unlistedSpans[static_cast<std::size_t>(-1 - st.entry)]) = {u.from, u.to};
        }
        units_.push_back(u);
    }
}

// Descartes: f has at most maxRoots positive roots, counted with
// multiplicity. As many listed stretches across which f itself changes
// sign leave exactly one simple root in each and none elsewhere.
bool Census::DescartesSettles() {
    int certain = 0;
    for (Unit& u : units_) {
        if (u.listed == nullptr) continue;
        const int a = FromSign(u), b = ToSign(u);
        if (a != 0 && b != 0 && a != b) ++certain;
    }
    if (certain != pr_.maxRoots) return false;
    std::fill(out_.bracketRoots.begin(), out_.bracketRoots.end(), 1);
    std::fill(out_.unlistedBracketRoots.begin(), out_.unlistedBracketRoots.end(), 1);
    for (const Unit& u : units_)
        if (u.listed != nullptr) Found(u.from, u.to, 1, RootPlace::Kind::SignChange);
    return true;
}

// The units [begin, end) of one cluster when f is strictly monotone over
// all of it and its sign certain at both ends: no root if the signs agree,
// else exactly one, placed in the unit where f's sign flips. False when
// this cannot tell, or cannot place the root in one listed unit or in units
// none of which is listed.
bool Census::SettleMonotone(std::size_t begin, std::size_t end) {
    Unit& first = units_[begin];
    Unit& last = units_[end - 1];
    const int sa = CheapFromSign(first), sb = CheapToSign(last);
    if (sa == 0 || sb == 0 || !AtMostOneRoot(first.from, last.to)) return false;
    std::size_t lo = begin, hi = end - 1;  // the root lies in units lo..hi
    if (sa != sb) {
        for (std::size_t i = begin; i < end; ++i) {
            // The cheap bound only: an uncertain end just widens lo..hi.
            Unit& u = units_[i];
            const int t = u.ownTo != kUnknown ? u.ownTo : (u.splitTo ? split_.TrueSign(u.to, u.toP, u.toQ) : 0);
            if (t == sa) lo = i + 1;
            if (t == -sa) {
                hi = i;
                break;
            }
        }
        int listed = 0;
        for (std::size_t i = lo; i <= hi; ++i) listed += units_[i].listed != nullptr ? 1 : 0;
        if (lo != hi && listed > 0) return false;
    }
    for (std::size_t i = begin; i < end; ++i)
        if (units_[i].listed != nullptr) CountOf(*units_[i].listed) = sa != sb && i == lo ? 1 : 0;
    if (sa != sb) {
        // f's signs at units_[lo].from and units_[hi].to are sa and -sa.
        Found(units_[lo].from, units_[hi].to, 1, RootPlace::Kind::SignChange);
        if (units_[lo].listed == nullptr) Missed(units_[lo].from, units_[hi].to, 1);
    }
    return true;
}

// Unit by unit: monotony with f's signs at the ends, else the curvature
// bound from P'' and Q'' (a chunk of ends in one call) where P and Q are
// the split's; what stays open is counted exactly afterwards.
void Census::SettleUnits(std::size_t begin, std::size_t end) {
    constexpr std::size_t kChunk = 32;
    double xs[kChunk + 1], P2[kChunk + 1], Q2[kChunk + 1];
    for (std::size_t c = begin; c < end; c += kChunk) {
        const std::size_t count = std::min(kChunk, end - c);
        xs[0] = units_[c].from;
        for (std::size_t j = 0; j < count; ++j) xs[j + 1] = units_[c + j].to;
        split_.EvaluateCurvature(xs, count + 1, P2, Q2);
        for (std::size_t j = 0; j < count; ++j) {
            Unit& u = units_[c + j];
            // The curvature bound of the whole step first (its values are
            // at hand), then monotony (two evaluations of f'), then the
            // curvature bound on halves (more evaluations of f).
            int r = -1;
            const bool split = u.splitFrom && u.splitTo;
            const double m2 = split ? split_.CurvatureBound(u.to, P2[j], Q2[j], P2[j + 1], Q2[j + 1]) : 0.0;
            if (split) r = SettleStep(split_, u.from, u.to, u.fromP, u.fromQ, u.toP, u.toQ, m2);
            const int a = r < 0 ? CheapFromSign(u) : 0, b = r < 0 ? CheapToSign(u) : 0;
            if (r < 0 && a != 0 && b != 0 && AtMostOneRoot(u.from, u.to)) r = a != b ? 1 : 0;
            if (r < 0 && split) r = Settle(split_, u.from, u.to, u.fromP, u.fromQ, u.toP, u.toQ, m2, kSettleDepth);
            // Where the split's bounds fail (near where its sums overflow,
            // above 1 mostly) the other form's halves may still show that f
            // keeps one sign over the whole unit.
            if (r < 0 && u.listed == nullptr && TrueStretchSign(u) != 0) r = 0;
            if (r < 0) {
                open_.push_back(u);
                continue;
            }
            // One root settled by the bounds is a sign change of f across
            // the unit (Settle's halves each hold none or one with their
            // ends' signs differing); more are only counted.
            Found(u.from, u.to, r, r == 1 ? RootPlace::Kind::SignChange : RootPlace::Kind::Counted);
            if (u.listed != nullptr) CountOf(*u.listed) = r;
            else Missed(u.from, u.to, r);
        }
    }
}

// The open units and stretches, counted exactly: adjacent ones in one
// isolation, with a cut at each end of a listed unit so that its own count
// is known.
void Census::CountOpen() {
    if (open_.empty()) return;
    if (static_cast<int>(pr_.coef.size()) - 1 > kMaxExactDegree) return;
    auto exact = scan_.exact ? scan_.exact : std::make_shared<const ExactPolynomial>(pr_.coef);
    if (exact->IsZero()) return;
    out_.exact = exact;
    for (std::size_t begin = 0; begin < open_.size();) {
        std::size_t end = begin + 1;
        while (end < open_.size() && open_[end].from == open_[end - 1].to) ++end;
        std::vector<double> cuts{open_[begin].from};
        std::vector<const Unit*> parts;
        for (std::size_t i = begin; i < end; ++i) {
            // Unlisted neighbours share one part.
            const bool join = !parts.empty() && parts.back()->listed == nullptr && open_[i].listed == nullptr;
            if (join) {
                cuts.back() = open_[i].to;
            } else {
                cuts.push_back(open_[i].to);
                parts.push_back(&open_[i]);
            }
        }
        std::vector<int> counts(parts.size(), 0);
        for (const auto& placed : exact->Place(cuts)) {
            counts[placed.interval] += placed.piece.count;
            Found(placed.piece.from, placed.piece.to, placed.piece.count, RootPlace::Kind::Isolated);
        }
        ++out_.exactCounts;
        for (std::size_t p = 0; p < parts.size(); ++p) {
            if (parts[p]->listed != nullptr) CountOf(*parts[p]->listed) = counts[p];
            else Missed(cuts[p], cuts[p + 1], counts[p]);
        }
        begin = end;
    }
    open_.clear();
}

RootCensus Census::Take() {
    out_.taken = true;
    out_.bracketSpans = scan_.brackets;
    out_.unlistedSpans = scan_.unlistedBrackets;
    out_.bracketRoots.assign(scan_.rates.size(), -1);
    out_.unlistedBracketRoots.assign(scan_.unlisted.size(), -1);
    MakeUnits();
    if (!DescartesSettles()) {
        const std::size_t count = units_.size();
        for (std::size_t begin = 0; begin < count;) {
            // The cluster of adjacent units from here: near a root, where
            // the bulk bounds failed step by step.
            std::size_t end = begin + 1;
            int listed = units_[begin].listed != nullptr ? 1 : 0;
            while (end < count && units_[end].from == units_[end - 1].to)
                listed += units_[end++].listed != nullptr ? 1 : 0;
            const bool whole = listed <= 1 && end - begin <= kMonotoneCluster && SettleMonotone(begin, end);
            if (!whole) SettleUnits(begin, end);
            begin = end;
        }
        // Beyond where the scan stopped (its work, a stalled grid, or all
        // maxRoots roots found with some stretches uncertain).
        if (scan_.coveredTo < pr_.upperBound)
            open_.push_back({scan_.coveredTo, pr_.upperBound, 0, 0, nullptr, false, false, 0, 0, 0, 0, 0, 0});
        CountOpen();
    }
    // A stretch holding several roots stands for one of them.
    auto manyInOne = [&](const std::vector<Bracket>& spans, const std::vector<int>& counts) {
        for (std::size_t i = 0; i < counts.size(); ++i)
            if (counts[i] > 1) Missed(spans[i].from, spans[i].to, counts[i] - 1);
    };
    manyInOne(out_.bracketSpans, out_.bracketRoots);
    manyInOne(out_.unlistedSpans, out_.unlistedBracketRoots);
    std::sort(out_.missed.begin(), out_.missed.end(),
              [](const MissedRoots& l, const MissedRoots& r) { return l.from < r.from; });
    // Neighbouring intervals read as one.
    std::vector<MissedRoots> merged;
    for (const MissedRoots& m : out_.missed) {
        if (!merged.empty() && merged.back().to == m.from) {
            merged.back().to = m.to;
            merged.back().count += m.count;
        } else {
            merged.push_back(m);
        }
    }
    out_.missed = std::move(merged);
    std::sort(out_.places.begin(), out_.places.end(),
              [](const RootPlace& l, const RootPlace& r) { return l.from < r.from; });

    out_.known = open_.empty();
    int total = out_.MissedCount();
    for (const auto* counts : {&out_.bracketRoots, &out_.unlistedBracketRoots})
        for (int c : *counts) {
            if (c < 0) out_.known = false;
            else total += std::min(c, 1);
        }
    out_.inRange = out_.known ? total : 0;
    return std::move(out_);
}

}  // namespace

RootCensus TakeCensus(const ScanProblem& pr, const ScanOutcome& scan) { return Census(pr, scan).Take(); }

}  // namespace valmora
