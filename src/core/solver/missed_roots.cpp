#include "core/solver/missed_roots.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <memory>
#include <span>
#include <cmath>
#include <limits>

#include "core/solver/exact_roots.h"
#include "core/solver/grid_points.h"
#include "core/solver/polynomial.h"
#include "core/solver/solver_messages.h"
#include "core/solver/text_rules.h"
#include "core/solver/true_signs.h"

namespace valmora {
namespace {

// The largest power of ten not above v (v > 0 and finite).
double PowerOfTenBelow(double v) {
    double p = std::pow(10.0, std::floor(std::log10(v)));
    while (p > v) p /= 10.0;
    return p;
}

// The sign a scan with any increment gives f at its grid point x, when it
// can be told: the per-term sum's where that is finite (and then it must
// agree with f's own sign), f's own where the sum is not finite (such a
// scan decides f's own signs from its first point where the sum is not
// finite, which lies at or before x). 0 when the two differ or f is 0.
int ScanSignAt(std::span<const double> coef, const TrueSigns& signs, double x) {
    const int own = signs.SignAt(x, nullptr);
    if (own == 0) return 0;
    const double sum = EvalPolynomial(coef, x);
    if (!std::isfinite(sum)) return own;
    return (sum > 0 ? 1 : (sum < 0 ? -1 : 0)) == own ? own : 0;
}

// The grid of increment h puts each root (in increasing order) into a step
// of its own, with signs on both sides of it that any scan with h sees as a
// sign change: a scan with h reaching there lists them all.
bool Separates(std::span<const double> coef, const TrueSigns& signs, double h,
               const std::vector<ExactPolynomial::Root>& roots) {
    Grid grid(h);
    std::uint64_t last = 0;
    for (const auto& r : roots) {
        // The first grid point above lo is at or above the root, which lies
        // in (lo, hi] with no double between lo and hi.
        const std::uint64_t k = grid.FirstAbove(r.lo);
        if (k == Grid::kNever || k <= last) return false;
        const int left = ScanSignAt(coef, signs, grid.Point(k - 1));
        const int right = ScanSignAt(coef, signs, grid.Point(k));
        if (left == 0 || right == 0 || left == right) return false;
        last = k;
    }
    return true;
}

// An increment below the current one that separates the roots (those f
// changes sign at, in increasing order), or 0. Round increments can land on
// round roots, where f is 0 and the strict sign test sees no change, so a
// few candidates are tried.
double SeparatingIncrement(std::span<const double> coef, const TrueSigns& signs, double increment,
                           const std::vector<ExactPolynomial::Root>& roots) {
    if (roots.empty()) return 0;
    double gap = increment;
    for (std::size_t i = 1; i < roots.size(); ++i) gap = std::min(gap, roots[i].x - roots[i - 1].x);
    // Repeated addition drifts by a few units in the last place of x.
    if (!(gap > 64 * std::numeric_limits<double>::epsilon() * std::max(roots.back().x, 1.0))) return 0;
    const double h = PowerOfTenBelow(std::min(gap, increment) / 2);
    for (double candidate : {h, 0.7 * h, 0.3 * h, 0.1 * h})
        if (Separates(coef, signs, candidate, roots)) return candidate;
    return 0;
}

std::string Roots(int n) { return n == 1 ? "1 root" : std::to_string(n) + " roots"; }

std::string Between(const MissedRootsNote& note, int periods) {
    if (!std::isfinite(note.highRate)) return "above the rate " + RateText(note.lowRate, periods);
    const double rates[] = {note.lowRate, note.highRate};
    const std::vector<std::string> texts = RateTexts(rates, periods);
    return "between the rates " + texts[0] + " and " + texts[1];
}

// The roots of the census's places, refined to full precision when first
// asked: exact isolation is never run twice for one search.
class PlacedRoots {
public:
    PlacedRoots(const CashFlowAnalysis& analysis, const RootSearch& search)
        : coef_(analysis.coefficients), census_(search.census), exact_(search.census.exact) {}

    // The roots of every place that meets (from, to], in increasing x.
    std::vector<ExactPolynomial::Root> In(double from, double to) {
        std::vector<ExactPolynomial::Root> out;
        const auto& places = census_.places;
        refined_.resize(places.size());
        for (std::size_t i = 0; i < places.size(); ++i) {
            if (!(places[i].to > from && places[i].from < to)) continue;
            if (!refined_[i]) refined_[i] = Refine(places[i]);
            out.insert(out.end(), refined_[i]->begin(), refined_[i]->end());
        }
        return out;
    }
    const ExactPolynomial& Exact() {
        if (!exact_) exact_ = std::make_shared<const ExactPolynomial>(coef_);
        return *exact_;
    }
    const TrueSigns& Signs() {
        if (!signs_) signs_.emplace(coef_);
        return *signs_;
    }

private:
    std::vector<ExactPolynomial::Root> Refine(const RootPlace& place) {
        switch (place.kind) {
            case RootPlace::Kind::SignChange: return {SignChange(place.from, place.to)};
            case RootPlace::Kind::Isolated: return {Exact().RootOf({place.from, place.to, place.count})};
            case RootPlace::Kind::Counted: break;
        }
        return Exact().Roots(place.from, place.to);
    }
    // The one root in (from, to], where f's own signs at the ends differ,
    // by bisection on exact signs to neighbouring doubles, then the nearer.
    ExactPolynomial::Root SignChange(double from, double to) {
        const TrueSigns& signs = Signs();
        const int atTo = signs.SignAt(to, nullptr);
        if (atTo == 0) return {to, std::nextafter(to, 0.0), to, 1, true};
        double lo = from, hi = to;
        for (;;) {
            // Halving the bit patterns: at most 64 steps whatever the span.
            const auto l = std::bit_cast<std::uint64_t>(lo), h = std::bit_cast<std::uint64_t>(hi);
            const double mid = std::bit_cast<double>(l + (h - l) / 2);
            if (mid <= lo || mid >= hi) break;
            const int s = signs.SignAt(mid, nullptr);
            if (s == 0) return {mid, std::nextafter(mid, 0.0), mid, 1, true};
            if (s == atTo) hi = mid;
            else lo = mid;
        }
        const int s = signs.ExactSignAtMidpoint(lo, hi, nullptr);
        const double x = s == 0 ? ((std::bit_cast<std::uint64_t>(lo) & 1) == 0 ? lo : hi) : (s == atTo ? lo : hi);
        return {x, lo, hi, 1, true};
    }

    std::span<const double> coef_;
    const RootCensus& census_;
    std::shared_ptr<const ExactPolynomial> exact_;
    std::optional<TrueSigns> signs_;
    std::vector<std::optional<std::vector<ExactPolynomial::Root>>> refined_;
};

// The rate a listed bracket stands at: its listed rate's root, or the
// unlisted root's x.
struct StandingBracket {
    double from, to, x;
};

// The stretches the listed rates stand for: the census's widened brackets
// (the scan's own steps where no census was taken).
const std::vector<Bracket>& SpansOf(const RootSearch& search) {
    return search.census.taken ? search.census.bracketSpans : search.brackets;
}
const std::vector<Bracket>& UnlistedSpansOf(const RootSearch& search) {
    return search.census.taken ? search.census.unlistedSpans : search.unlistedBrackets;
}

std::vector<StandingBracket> BracketsOf(const RootSearch& search) {
    std::vector<StandingBracket> out;
    const auto& spans = SpansOf(search);
    for (std::size_t r = 0; r < spans.size(); ++r) out.push_back({spans[r].from, spans[r].to, search.roots[r]});
    const auto& unlisted = UnlistedSpansOf(search);
    for (std::size_t u = 0; u < unlisted.size(); ++u)
        out.push_back({unlisted[u].from, unlisted[u].to, search.unlisted[u]});
    std::sort(out.begin(), out.end(), [](const auto& l, const auto& r) { return l.from < r.from; });
    return out;
}

// Of the roots in one bracket, the one the listed rate stands for: the
// nearest to it.
std::size_t Nearest(const std::vector<ExactPolynomial::Root>& roots, double x) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < roots.size(); ++i)
        if (std::fabs(roots[i].x - x) < std::fabs(roots[best].x - x)) best = i;
    return best;
}

}  // namespace

std::vector<MissedRootsNote> DescribeMissedRoots(const CashFlowAnalysis& analysis, const SearchSettings& settings,
                                                 const RootSearch& search) {
    std::vector<MissedRootsNote> notes;
    if (!search.Searched() || search.census.missed.empty()) return notes;
    // Above kMaxExactDegree the roots are not told apart.
    const bool exactly = analysis.Degree() <= kMaxExactDegree;
    PlacedRoots placed(analysis, search);
    const std::vector<StandingBracket> brackets = BracketsOf(search);
    for (const MissedRoots& m : search.census.missed) {
        MissedRootsNote note;
        note.highRate =
            m.from > 0 ? RateFromRoot(m.from, settings.periodsPerYear) : std::numeric_limits<double>::infinity();
        note.lowRate = RateFromRoot(m.to, settings.periodsPerYear);
        note.count = m.count;
        note.beyondStop = search.stop != ScanStop::None && m.to > search.lastX;
        note.classified = exactly;
        if (note.beyondStop || !exactly) {
            notes.push_back(note);
            continue;
        }
        const std::vector<ExactPolynomial::Root> roots = placed.In(m.from, m.to);
        // A bracket holding several roots: the listed rate stands for the
        // one nearest to it; the others are the missed ones, and an
        // increment must separate them all.
        std::vector<ExactPolynomial::Root> missed = roots;
        const auto bracket = std::find_if(brackets.begin(), brackets.end(),
                                          [&](const StandingBracket& b) { return b.from == m.from && b.to == m.to; });
        if (bracket != brackets.end() && !roots.empty())
            missed.erase(missed.begin() + static_cast<std::ptrdiff_t>(Nearest(roots, bracket->x)));
        for (const auto& r : missed) note.touching += r.changes ? 0 : r.count;
        // The increment must also keep the roots next to the interval out of
        // their steps: those within one step of it count too.
        const double around = settings.increment;
        std::vector<ExactPolynomial::Root> changing;
        for (const auto& r : placed.In(std::max(0.0, m.from - around), m.to + around))
            if (r.changes && r.count == 1) changing.push_back(r);
        if (note.touching < note.count)
            note.separatingIncrement =
                SeparatingIncrement(analysis.coefficients, placed.Signs(), settings.increment, changing);
        notes.push_back(note);
    }
    return notes;
}

std::vector<std::string> MissedRootsSentences(const CashFlowAnalysis& analysis, const SearchSettings& settings,
                                              const RootSearch& search) {
    if (!search.Searched()) return {};
    if (!search.census.known)
        return {"Whether the search missed roots was not decided: roots are counted exactly only up to " +
                std::to_string(kMaxExactDegree) + " payments."};
    std::vector<std::string> sentences;
    for (const MissedRootsNote& note : DescribeMissedRoots(analysis, settings, search)) {
        const std::string where = Between(note, settings.periodsPerYear);
        if (note.beyondStop) {
            sentences.push_back(Roots(note.count) + (note.count == 1 ? " lies " : " lie ") + where +
                                ", beyond where the search stopped.");
            continue;
        }
        const std::string missed = "The search missed " + Roots(note.count) + " " + where + ": ";
        const std::string them = note.count == 1 ? "it." : "them.";
        if (note.separatingIncrement > 0)
            sentences.push_back(missed + "an increment of " + GeneralText(note.separatingIncrement) +
                                " would separate " + them);
        else if (!note.classified) sentences.push_back(missed + "a smaller increment may find " + them);
        else if (note.touching >= note.count)
            sentences.push_back(missed + "F(x) touches 0 there without changing sign, so no increment finds " + them);
        else sentences.push_back(missed + "they lie too close together for a smaller increment to separate them.");
    }
    return sentences;
}

std::string NotRootsSentence(const RootSearch& search, int periodsPerYear) {
    const std::vector<std::size_t> idx = search.census.NotRoots();
    if (idx.empty()) return "";
    const std::string because = " because rounding makes F(x) change sign there; the series as typed has no root ";
    if (idx.size() == 1) {
        const Bracket& b = SpansOf(search)[idx[0]];
        std::vector<double> rates = {search.rates[idx[0]], RateFromRoot(b.to, periodsPerYear)};
        if (b.from > 0) rates.push_back(RateFromRoot(b.from, periodsPerYear));
        const std::vector<std::string> texts = RateTexts(rates, periodsPerYear);
        return "The rate " + texts[0] + " is listed" + because +
               (b.from > 0 ? "between the rates " + texts[1] + " and " + texts[2] : "above the rate " + texts[1]) + ".";
    }
    std::vector<double> rates;
    for (std::size_t r : idx) rates.push_back(search.rates[r]);
    const std::vector<std::string> texts = RateTexts(rates, periodsPerYear);
    std::string list;
    for (std::size_t i = 0; i < idx.size(); ++i)
        list += (i == 0 ? "" : (i + 1 == idx.size() ? " and " : ", ")) + texts[i];
    return "The rates " + list + " are listed" + because + "in the grid step where each was found.";
}

std::optional<std::vector<RootInRange>> AllRootsInRange(const CashFlowAnalysis& analysis,
                                                        const SearchSettings& settings, const RootSearch& search) {
    std::vector<RootInRange> all;
    if (!search.Searched()) return all;
    if (analysis.Degree() > kMaxExactDegree) return std::nullopt;
    // From the census's places where it counted every root; otherwise (the
    // per-term scan takes no census) by isolating the whole range.
    PlacedRoots placed(analysis, search);
    const bool fromPlaces = search.census.taken && search.census.known;
    if (!fromPlaces && placed.Exact().IsZero()) return all;
    const std::vector<ExactPolynomial::Root> roots =
        fromPlaces ? placed.In(0.0, analysis.upperBound) : placed.Exact().Roots(0.0, analysis.upperBound);
    for (const auto& root : roots) {
        for (int i = 0; i < root.count; ++i) {
            RootInRange r;
            r.x = root.x;
            r.rate = RateFromRoot(root.x, settings.periodsPerYear);
            r.rateFinite = root.x > 0 && std::isfinite(r.rate);
            all.push_back(r);
        }
    }
    // Each bracket stands for the root in it nearest its listed rate. The
    // roots are refined to neighbouring doubles (lo, hi], so the bracket
    // (from, to] holds a root exactly when from <= lo and hi <= to.
    std::size_t first = 0;  // index in `all` of roots[j]
    std::vector<std::size_t> start;
    for (const auto& root : roots) {
        start.push_back(first);
        first += static_cast<std::size_t>(root.count);
    }
    for (const StandingBracket& b : BracketsOf(search)) {
        std::size_t best = roots.size();
        for (std::size_t j = 0; j < roots.size(); ++j) {
            if (!(b.from <= roots[j].lo && roots[j].hi <= b.to)) continue;
            if (best == roots.size() || std::fabs(roots[j].x - b.x) < std::fabs(roots[best].x - b.x)) best = j;
        }
        if (best < roots.size()) all[start[best]].found = true;
    }
    return all;
}

}  // namespace valmora
