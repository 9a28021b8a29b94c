#include "core/solver/missed_roots.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/solver/exact_roots.h"
#include "core/solver/polynomial.h"
#include "core/solver/solver_messages.h"
#include "core/solver/text_rules.h"

namespace valmora {
namespace {

// The sign of f just above x: at x, or at the next doubles when f is 0 there.
int SignAbove(const ExactPolynomial& exact, double x) {
    for (int i = 0; i < 4; ++i) {
        const int s = exact.SignAt(x);
        if (s != 0) return s;
        x = std::nextafter(x, std::numeric_limits<double>::infinity());
    }
    return 0;
}

// The largest power of ten not above v (v > 0 and finite).
double PowerOfTenBelow(double v) {
    double p = std::pow(10.0, std::floor(std::log10(v)));
    while (p > v) p /= 10.0;
    return p;
}

struct RootsIn {
    std::vector<double> changing;  // roots where f changes sign, increasing
    int touching = 0;              // roots where f keeps its sign
};

// The distinct roots of f in (from, to], sorted by whether f changes sign
// there.
RootsIn Classify(const ExactPolynomial& exact, double from, double to) {
    RootsIn out;
    for (const auto& piece : exact.Isolate(from, to)) {
        if (piece.count != 1) {
            // Roots closer than one double apart: no grid tells them apart.
            out.touching += piece.count;
            continue;
        }
        const bool changes = SignAbove(exact, piece.from) != SignAbove(exact, piece.to);
        if (changes) out.changing.push_back(exact.Refine(piece.from, piece.to));
        else ++out.touching;
    }
    return out;
}

// The scan with this increment lists every root in (from, to]. Only
// (0, to] is searched, within an eighth of the usual work, so that trying a
// few increments stays quick.
bool ListsAllIn(CashFlowAnalysis analysis, SearchSettings settings, double increment, double from, double to) {
    settings.increment = increment;
    analysis.upperBound = to;
    const RootSearch again = LocateRoots(analysis, settings, kScanWorkBudget / 8);
    if (again.stop != ScanStop::None || !again.census.known) return false;
    for (const MissedRoots& m : again.census.missed)
        if (m.from < to && m.to > from) return false;
    return true;
}

// An increment below the current one that puts a grid point between every
// two of the sign-changing roots in (from, to] and lists them all, checked
// by scanning with it; 0 when the roots lie too close for repeated addition
// to tell them apart, or no candidate works. Round increments can land on
// round roots, where f is 0 and the strict sign test sees no change, so a
// few candidates are tried.
double SeparatingIncrement(const CashFlowAnalysis& analysis, const SearchSettings& settings,
                           const std::vector<double>& changing, double from, double to) {
    if (changing.empty()) return 0;
    double gap = settings.increment;
    for (std::size_t i = 1; i < changing.size(); ++i) gap = std::min(gap, changing[i] - changing[i - 1]);
    // Repeated addition drifts by a few units in the last place of x.
    if (!(gap > 64 * std::numeric_limits<double>::epsilon() * std::max(changing.back(), 1.0))) return 0;
    const double h = PowerOfTenBelow(std::min(gap, settings.increment) / 2);
    for (double candidate : {h, 0.7 * h, 0.3 * h})
        if (ListsAllIn(analysis, settings, candidate, from, to)) return candidate;
    return 0;
}

std::string Roots(int n) { return n == 1 ? "1 root" : std::to_string(n) + " roots"; }

std::string Between(const MissedRootsNote& note, int periods) {
    if (!std::isfinite(note.highRate)) return "above the rate " + RateText(note.lowRate, periods);
    return "between the rates " + RateText(note.lowRate, periods) + " and " + RateText(note.highRate, periods);
}

}  // namespace

std::vector<MissedRootsNote> DescribeMissedRoots(const CashFlowAnalysis& analysis, const SearchSettings& settings,
                                                 const RootSearch& search) {
    std::vector<MissedRootsNote> notes;
    if (!search.Searched() || search.census.missed.empty()) return notes;
    // Above kMaxExactDegree the roots are not told apart.
    const bool exactly = analysis.Degree() <= kMaxExactDegree;
    const std::optional<ExactPolynomial> exact =
        exactly ? std::optional<ExactPolynomial>(std::in_place, analysis.coefficients) : std::nullopt;
    for (const MissedRoots& m : search.census.missed) {
        MissedRootsNote note;
        note.highRate =
            m.from > 0 ? RateFromRoot(m.from, settings.periodsPerYear) : std::numeric_limits<double>::infinity();
        note.lowRate = RateFromRoot(m.to, settings.periodsPerYear);
        note.count = m.count;
        note.beyondStop = search.stop != ScanStop::None && m.to > search.lastX;
        note.classified = exactly;
        if (!note.beyondStop && exactly) {
            const RootsIn roots = Classify(*exact, m.from, m.to);
            note.touching = roots.touching;
            note.separatingIncrement = SeparatingIncrement(analysis, settings, roots.changing, m.from, m.to);
        }
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

std::optional<std::vector<RootInRange>> AllRootsInRange(const CashFlowAnalysis& analysis,
                                                        const SearchSettings& settings, const RootSearch& search) {
    std::vector<RootInRange> all;
    if (!search.Searched()) return all;
    if (analysis.Degree() > kMaxExactDegree) return std::nullopt;
    const ExactPolynomial exact(analysis.coefficients);
    if (exact.IsZero()) return all;
    for (const auto& piece : exact.Isolate(0.0, analysis.upperBound)) {
        const double x = piece.count == 1 ? exact.Refine(piece.from, piece.to) : piece.to;
        for (int i = 0; i < piece.count; ++i) {
            RootInRange r;
            r.x = x;
            r.rate = RateFromRoot(x, settings.periodsPerYear);
            r.rateFinite = x > 0 && std::isfinite(r.rate);
            all.push_back(r);
        }
    }
    // Each root the scan listed is the nearest true root to its refined x.
    auto mark = [&](double listed) {
        RootInRange* best = nullptr;
        for (auto& r : all)
            if (!r.found && (best == nullptr || std::fabs(r.x - listed) < std::fabs(best->x - listed))) best = &r;
        if (best != nullptr) best->found = true;
    };
    for (double x : search.roots) mark(x);
    for (double x : search.unlisted) mark(x);
    return all;
}

}  // namespace valmora
