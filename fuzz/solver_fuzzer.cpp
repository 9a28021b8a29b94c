// The cash-flow analysis, the root search and the project balances of every
// IRR found, on any series and search parameters; and differentially: the
// fast scan against the per-term scan (the same rates, bit for bit, up to
// where the per-term scan stops), the census against exact counts, and the
// matching of listed rates to roots (found and missed add up to the roots
// in range; a rate reported as no root has none in its stretch).
//
// Input: a mode byte, the search parameters, then the payments P0..PN.
// Mode bit 0 set reads each payment as any 8-byte double (infinities and NaNs
// included); clear, as an int16 amount times a power of ten from 1E-3 to
// 1E+4, the series a person types. Mode bit 1 set reads the increment and
// the tolerance as any doubles; clear, one byte picks each from values a
// person would use. The periods per year are an int16 either way.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/exact_roots.h"
#include "core/solver/missed_roots.h"
#include "core/solver/number_format.h"
#include "core/solver/project_balances.h"
#include "core/solver/root_location.h"
#include "core/solver/solver_messages.h"
#include "core/solver/text_rules.h"
#include "core/workspace/workspace_mirror.h"
#include "input_reader.h"

namespace {

// A failed check names its line before aborting, so a saved input shows
// at once which rule it broke.
void CheckAt(bool holds, int line) {
    if (holds) return;
    std::fprintf(stderr, "solver_fuzzer: check failed at line %d\n", line);
    std::abort();
}
#define Check(holds) CheckAt((holds), __LINE__)

bool Same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The fast scan lists the per-term scan's rates, bit for bit, wherever that
// scan got to; where it completes, nothing more.
void CheckAgainstReference(const valmora::RootSearch& fast, const valmora::RootSearch& ref) {
    const bool refStopped = ref.stop == valmora::ScanStop::NotFinite || ref.stop == valmora::ScanStop::WorkBudget;
    Check(fast.stop != valmora::ScanStop::NotFinite);
    if (!refStopped) {
        Check(fast.stop == ref.stop && Same(fast.lastX, ref.lastX));
        Check(fast.rates.size() == ref.rates.size() && fast.unlisted.size() == ref.unlisted.size());
    }
    Check(fast.rates.size() >= ref.rates.size() && fast.unlisted.size() >= ref.unlisted.size());
    for (std::size_t r = 0; r < ref.rates.size(); ++r) Check(Same(fast.rates[r], ref.rates[r]));
    for (std::size_t r = 0; r < ref.roots.size(); ++r) Check(Same(fast.roots[r], ref.roots[r]));
    for (std::size_t u = 0; u < ref.unlisted.size(); ++u) Check(Same(fast.unlisted[u], ref.unlisted[u]));
}

// Up to this degree every count is checked by exact isolation, which stays
// quick for the fuzzer there.
constexpr int kExactCheckDegree = 48;

void CheckCensus(const valmora::CashFlowAnalysis& a, const valmora::SearchSettings& settings,
                 const valmora::RootSearch& s) {
    const valmora::RootCensus& c = s.census;
    Check(c.bracketRoots.size() == s.rates.size() && c.unlistedBracketRoots.size() == s.unlisted.size());
    if (!c.known) return;
    int found = 0;
    for (int n : c.bracketRoots) found += n > 0 ? 1 : 0;
    for (int n : c.unlistedBracketRoots) found += n > 0 ? 1 : 0;
    Check(found + c.MissedCount() == c.inRange);
    if (a.Degree() > kExactCheckDegree) return;
    const valmora::ExactPolynomial exact(a.coefficients);
    if (exact.IsZero()) return;
    Check(exact.CountIn(0, a.upperBound) == c.inRange);
    for (std::size_t r = 0; r < s.rates.size(); ++r)
        Check(exact.CountIn(c.bracketSpans[r].from, c.bracketSpans[r].to) == c.bracketRoots[r]);
    for (const auto& m : c.missed) Check(exact.CountIn(m.from, m.to) >= m.count);
    const auto all = valmora::AllRootsInRange(a, settings, s);
    Check(all.has_value() && static_cast<int>(all->size()) == c.inRange);
    int flagged = 0;
    for (const auto& root : *all) flagged += root.found ? 1 : 0;
    Check(flagged == found);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    valmora::fuzz::InputReader input(data, size);
    const auto mode = input.Next<std::uint8_t>();
    valmora::Workspace ws;
    if (mode & 2) {
        ws.Increment = input.Next<double>();
        ws.Tolerance = input.Next<double>();
    } else {
        constexpr double kIncrements[] = {0.01, 0.05, 0.1, 0.2, 0.5, 0.001, 0.9, 1e-4};
        constexpr double kTolerances[] = {1e-7, 1e-8, 1e-3, 0.0, 0.1, 1e-12, 0.5, 1e-5};
        ws.Increment = kIncrements[input.Next<std::uint8_t>() % 8];
        ws.Tolerance = kTolerances[input.Next<std::uint8_t>() % 8];
    }
    ws.PeriodsPerYear = input.Next<std::int16_t>();

    std::vector<double> flows;
    while (input.Left() > 0 && flows.size() < 32768) {
        if (mode & 1) {
            flows.push_back(input.Next<double>());
        } else {
            const auto amount = input.Next<std::int16_t>();
            const auto scale = input.Next<std::uint8_t>() % 8;
            flows.push_back(amount * std::pow(10.0, static_cast<int>(scale) - 3));
        }
    }

    const valmora::CashFlowAnalysis a = valmora::AnalyseCashFlows(flows);
    valmora::StoreAnalysis(ws, a);
    (void)valmora::AnalysisProblemText(a.status);
    if (!a.Ok()) return 0;
    const int n = valmora::Degree(ws);
    Check(n == static_cast<int>(flows.size()) - 1);
    Check(ws.MaxRoots >= 0 && ws.MaxRoots <= n);
    Check(std::isfinite(ws.UpperBound) && ws.UpperBound >= 0);

    // A 256th of the program's work budget: a scan that exhausts the whole
    // budget takes about 1 s in a release build and 3 to 4 s with the
    // sanitizers, and most random series have bounds far enough to exhaust
    // it; the smaller budget keeps a few hundred inputs a second going
    // through the same paths.
    const valmora::SearchSettings settings = valmora::SearchSettingsOf(ws);
    const valmora::RootSearch scan = valmora::LocateRoots(a, settings, valmora::kScanWorkBudget / 256);
    if (!scan.Searched()) return 0;
    valmora::StoreSearch(ws, scan);
    const valmora::RootSearch ref = valmora::LocateRootsReference(a, settings, valmora::kScanWorkBudget / 256);
    CheckAgainstReference(scan, ref);
    CheckCensus(a, settings, scan);
    Check(ws.RootCount >= 0 && ws.RootCount <= ws.MaxRoots);
    Check(static_cast<int>(ws.IrrList.size()) >= ws.RootCount + 1);
    if (scan.status == valmora::ScanStatus::Incomplete)
        (void)valmora::IncompleteScanText(scan.stop, scan.lastX, settings.periodsPerYear);

    for (std::size_t r = 0; r < scan.rates.size(); ++r) {
        const double rate = scan.rates[r];
        (void)valmora::FormatRate(rate);
        const valmora::Balances b =
            valmora::ListedRateBalances(a.coefficients, a.maxRoots, scan, r, settings.periodsPerYear);
        Check(b.computed);
        // The balances of a root end at 0 and start at P0.
        Check(b.at == valmora::BalancesAt::Rate || (b.pb.back() == 0.0 && b.pb.front() == a.coefficients.front()));
        valmora::StoreBalances(ws, b);
        Check(ws.ChosenRate == rate || (std::isnan(ws.ChosenRate) && std::isnan(rate)));
        Check(ws.ProjBalance.size() >= static_cast<std::size_t>(n) + 2);
        for (int k = 0; k <= n; ++k) (void)valmora::FormatBalance(ws.ProjBalance[k + 1]);
        (void)valmora::ClassificationText(ws.Classification);
    }
    return 0;
}
