// What a root search finds, and the limits it works within: the result
// types shared by the scans, the census and their callers.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace valmora {

enum class ScanStatus {
    Complete,      // reached the bound, or listed maxRoots roots
    Incomplete,    // stopped early (stop says why, lastX where)
    NotAnalysed,   // no successful analysis of a series
    BadIncrement,  // the increment is not above 0, or not finite
    BadTolerance,  // the tolerance is below 0, or not finite
    BadPeriods,    // the periods per year are below 1
};

// Why a scan stopped before reaching the bound: it did not (None), the point
// no longer grew by the increment, f stopped being finite (the per-term
// scan only: LocateRoots goes on with f's own signs), or the work budget ran
// out.
enum class ScanStop { None, Stalled, NotFinite, WorkBudget };

// The grid step (from, to] across which the scan saw the sign change it
// refined into a root.
struct Bracket {
    double from = 0;
    double to = 0;
};

// Roots of F in (from, to] (values of x) that the scan did not list: pairs
// inside one grid step, roots of even multiplicity, a root where the listed
// value of F is exactly 0, roots beyond where a scan stopped.
struct MissedRoots {
    double from = 0;
    double to = 0;
    int count = 0;
};

class ExactPolynomial;  // exact_roots.h

// Where the census found roots of F: `count` distinct roots in (from, to].
struct RootPlace {
    enum class Kind {
        SignChange,  // one root, where F changes sign: F's own signs at from and to differ
        Isolated,    // by exact isolation: one root of the squarefree part, or several no double separates
        Counted,     // a count only
    };
    double from = 0;
    double to = 0;
    int count = 0;
    Kind kind = Kind::Counted;
};

// How many distinct real roots F has in (0, upperBound], which of them the
// listed rates stand for, and where the others lie; certified. A listed rate
// stands for a root when its bracket holds one (one rate per root: a bracket
// holding three stands for one of them); every other root in range lies in
// a missed interval.
struct RootCensus {
    bool taken = false;  // by LocateRoots (the per-term scan takes none)
    bool known = false;  // every count decided; false when not taken, F is 0 everywhere, or the
                         // bounds left steps open above the exact count's reach
    int inRange = 0;     // distinct real roots in (0, upperBound], when known
    // For each listed rate (each unlisted root): the stretch of x it stands
    // for, its bracket widened on either side over the grid points where
    // F's own sign is not the one the scan saw (rounding can move a sign
    // change by a step), so that F's sign at both ends is the scan's; and
    // the distinct roots of F in that stretch, -1 where not decided.
    std::vector<Bracket> bracketSpans;
    std::vector<Bracket> unlistedSpans;
    std::vector<int> bracketRoots;
    std::vector<int> unlistedBracketRoots;
    std::vector<MissedRoots> missed;  // the roots no rate stands for, in increasing x
    // Every root counted, where it was found, in increasing x: what the
    // descriptions of missed roots and the list of all roots refine, so
    // that nothing is isolated twice.
    std::vector<RootPlace> places;
    // The exact polynomial, when the census needed one.
    std::shared_ptr<const ExactPolynomial> exact;
    int exactCounts = 0;  // intervals that needed exact arithmetic

    int MissedCount() const {
        int n = 0;
        for (const auto& m : missed) n += m.count;
        return n;
    }
    // The indices of the listed rates whose bracket holds no root.
    std::vector<std::size_t> NotRoots() const {
        std::vector<std::size_t> out;
        for (std::size_t r = 0; r < bracketRoots.size(); ++r)
            if (bracketRoots[r] == 0) out.push_back(r);
        return out;
    }
    // Unlisted roots whose bracket holds no root.
    int UnlistedNotRoots() const {
        int n = 0;
        for (int c : unlistedBracketRoots) n += c == 0 ? 1 : 0;
        return n;
    }
};

// What one search found. Nothing but the status is filled when the search
// was refused (NotAnalysed, Bad...).
struct RootSearch {
    ScanStatus status = ScanStatus::Complete;
    std::vector<double> rates;  // the listed rates in the order found (x ascending)
    std::vector<double> roots;  // roots[r] is the x of rates[r]
    // Bracketed roots whose rate is no finite double (x = 0 or below about
    // 5.6E-309): counted, never listed.
    std::vector<double> unlisted;
    std::vector<Bracket> brackets;          // brackets[r]: the grid step rates[r] was refined in
    std::vector<Bracket> unlistedBrackets;  // the same for each unlisted root
    // Where the per-term scan stops early (its sum of F not finite there, or
    // its work used up): from there on LocateRoots decided F's own signs
    // (0 when the per-term scan does not stop early).
    double trueSignsFrom = 0;
    ScanStop perTermStop = ScanStop::None;  // why the per-term scan stops there
    ScanStop stop = ScanStop::None;
    // The last x the scan reached: where it stopped when it stopped early,
    // and nothing beyond it was searched.
    double lastX = 0;
    RootCensus census;  // filled by LocateRoots, not by the reference scan

    bool Searched() const { return status == ScanStatus::Complete || status == ScanStatus::Incomplete; }
};

// Work the per-term scan may do, in polynomial terms evaluated (an
// evaluation at a subnormal x counts kSubnormalWeight times, as subnormal
// arithmetic is that much slower). Each of its terms costs a call of pow,
// some 20 to 30 ns: 24 million keep it within about half a second. Where it
// would stop LocateRoots goes on with F's own signs; its own work may reach
// a few times as much (fast_scanner.h), a safety net only.
inline constexpr std::uint64_t kScanWorkBudget = 24'000'000;
inline constexpr std::uint64_t kSubnormalWeight = 64;

// The weight of one evaluation at x.
inline std::uint64_t WorkWeight(double x) { return x != 0.0 && std::fabs(x) < 0x1p-1022 ? kSubnormalWeight : 1; }

// Newton steps tried before a bracketed root is found by bisection instead.
inline constexpr int kMaxNewtonSteps = 100;

}  // namespace valmora
