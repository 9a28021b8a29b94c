#include "core/dated/xirr.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

#include "core/dated/dated_terms.h"
#include "core/dated/isolation.h"
#include "core/dated/rate_conversion.h"
#include "core/dated/refinement.h"
#include "core/dated/root_bounds.h"

namespace valmora {

bool XirrResult::AllDecided() const {
    if (status != XirrStatus::Ok || !notDecided.empty()) return false;
    return std::all_of(roots.begin(), roots.end(), [](const XirrRoot& r) { return r.nearest; });
}

namespace {

using detail::ExpSum;
using detail::Isolation;

constexpr double kInf = std::numeric_limits<double>::infinity();

XirrNotDecided Describe(const detail::Undecided& u) {
    XirrNotDecided n;
    n.logLo = u.a;
    n.logHi = u.b;
    n.rateLo = std::isfinite(u.a) ? detail::RateBelow(u.a) : -1.0;
    n.rateHi = std::isfinite(u.b) ? detail::RateAbove(u.b) : kInf;
    n.atLeast = u.atLeast;
    n.atMost = u.atMost;
    n.reason = u.reason;
    return n;
}

// Every root found, to the nearest double, in increasing t.
void ListRoots(const ExpSum& h, detail::PointSigns& signs, const Isolation& iso, detail::Budget budget,
               XirrResult& out) {
    // The ends of everything found, to fence each crossing root's search.
    struct Piece {
        double lo, hi;
        int crossing;  // index into iso.crossing, or -1
    };
    std::vector<Piece> pieces;
    for (std::size_t k = 0; k < iso.crossing.size(); ++k)
        pieces.push_back({iso.crossing[k].a, iso.crossing[k].b, static_cast<int>(k)});
    for (const auto& e : iso.exact) {
        const XirrRoot r = detail::RootAt(e);
        pieces.push_back({r.logLo, r.logHi, -1});
        out.roots.push_back(r);
    }
    for (const auto& u : iso.undecided) pieces.push_back({u.a, u.b, -1});
    std::sort(pieces.begin(), pieces.end(), [](const Piece& x, const Piece& y) { return x.lo < y.lo; });
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        if (pieces[k].crossing < 0) continue;
        // Beyond the bounds h keeps one sign: no root there either.
        const double safeLo = k > 0 ? pieces[k - 1].hi : -kInf;
        const double safeHi = k + 1 < pieces.size() ? pieces[k + 1].lo : kInf;
        out.roots.push_back(detail::RefineCrossing(h, signs, iso.crossing[static_cast<std::size_t>(pieces[k].crossing)],
                                                   safeLo, safeHi, budget));
    }
    std::sort(out.roots.begin(), out.roots.end(),
              [](const XirrRoot& x, const XirrRoot& y) { return x.logLo < y.logLo; });
    for (const auto& u : iso.undecided) out.notDecided.push_back(Describe(u));
}

}  // namespace

XirrResult FindXirrs(const DatedSeries& series, std::uint64_t workBudget) {
    XirrResult out;
    out.dayCount = series.dayCount;
    if (!series.Ok()) return out;
    const detail::DatedTerms& terms = *series.terms;

    // The dates whose sum is not 0, their exponents from the first of them.
    std::vector<slong> kept;
    for (slong i = 0; i < terms.sums.size(); ++i)
        if (!arb_is_zero(terms.sums[i])) kept.push_back(i);
    if (kept.empty()) {
        out.status = XirrStatus::EveryRate;
        return out;
    }
    out.status = XirrStatus::Ok;
    for (std::size_t k = 1; k < kept.size(); ++k)
        if (arb_is_positive(terms.sums[kept[k]]) != arb_is_positive(terms.sums[kept[k - 1]])) ++out.signChanges;
    if (out.signChanges == 0) return out;

    detail::BallVector coef(static_cast<slong>(kept.size()));
    std::vector<std::int64_t> exponents;
    const std::int64_t first = terms.exponents[static_cast<std::size_t>(kept.front())];
    for (std::size_t k = 0; k < kept.size(); ++k) {
        arb_set(coef[static_cast<slong>(k)], terms.sums[kept[k]]);
        exponents.push_back(terms.exponents[static_cast<std::size_t>(kept[k])] - first);
    }
    ExpSum h(coef.data(), std::move(exponents), terms.denominator);
    std::uint64_t work = 0;
    h.CountWorkIn(&work);
    const detail::Budget budget{&work, workBudget};

    const detail::LogBounds bounds = detail::FindLogBounds(h, budget);
    if (!bounds.found) {
        // Where the first and the last sums differ in sign, XNPV changes
        // sign between -1 and infinity: a root at least.
        detail::Undecided all{-kInf, kInf, out.signChanges % 2, out.signChanges, NotDecidedReason::Budget};
        out.notDecided.push_back(Describe(all));
        out.work = work;
        return out;
    }
    out.bounded = true;
    out.logLower = bounds.lower;
    out.logUpper = bounds.upper;
    out.lowerBound = detail::RateBelow(bounds.lower);
    out.upperBound = detail::RateAbove(bounds.upper);

    // Beyond each bound one term outweighs those of the other sign: where
    // the bounds cross, that leaves no t for a root.
    if (!(bounds.lower < bounds.upper)) {
        out.work = work;
        return out;
    }
    detail::PointSigns signs(h, budget);
    signs.Remember(bounds.upper, h.SignOf(0));
    signs.Remember(bounds.lower, h.SignOf(h.Size() - 1));
    const Isolation iso = detail::IsolateRoots(h, signs, bounds.lower, bounds.upper, out.signChanges, budget);
    ListRoots(h, signs, iso, budget, out);
    out.work = work;
    return out;
}

}  // namespace valmora
