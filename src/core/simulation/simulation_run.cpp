#include "core/simulation/simulation_run.h"

#include <algorithm>

#include "core/simulation/irr_file.h"
#include "core/solver/cash_flow_analysis.h"
#include "core/solver/exact_roots.h"
#include "core/solver/missed_roots.h"
#include "core/solver/number_format.h"
#include "core/solver/root_location.h"

namespace valmora {
namespace {

// What one search adds to the run's counts.
void CountScan(const RootSearch& search, RunOutcome& outcome) {
    if (search.status == ScanStatus::Incomplete) {
        ++outcome.incompleteScans;
        switch (search.stop) {
            case ScanStop::Stalled: ++outcome.stalledScans; break;
            case ScanStop::WorkBudget: ++outcome.workLimitScans; break;
            case ScanStop::NotFinite: ++outcome.overflowScans; break;
            case ScanStop::None: break;
        }
    }
    const RootCensus& census = search.census;
    // Counted from the census's missed intervals, each certified on its
    // own, so a missed root counts even where the census could not settle
    // the whole range. Roots beyond where a scan stopped are among them.
    if (census.MissedCount() > 0) ++outcome.missedRoots;
    else if (!census.known) ++outcome.uncounted;
    if (!census.NotRoots().empty() || census.UnlistedNotRoots() > 0) ++outcome.listedNotRoots;
}

// The listed rates cannot serve the rule: roots were missed, a listed rate
// is no root, or the search stopped before its bound.
bool NeedsExactRoots(const RootSearch& search) {
    const RootCensus& census = search.census;
    if (!census.taken) return false;
    return search.status == ScanStatus::Incomplete || census.MissedCount() > 0 || !census.NotRoots().empty() ||
           census.UnlistedNotRoots() > 0;
}

}  // namespace

IrrChoiceResult ChooseIrr(std::span<const double> rates, IrrRule rule) {
    std::vector<double> ranked(rates.begin(), rates.end());
    std::sort(ranked.begin(), ranked.end());
    const std::size_t n = ranked.size();
    switch (rule) {
        case IrrRule::Second: return n >= 2 ? IrrChoiceResult{ranked[1], false} : IrrChoiceResult{ranked[n - 1], true};
        case IrrRule::Third: return n >= 3 ? IrrChoiceResult{ranked[2], false} : IrrChoiceResult{ranked[n - 1], true};
        case IrrRule::Highest: return {ranked[n - 1], false};
        case IrrRule::Lowest: break;
    }
    return {ranked[0], false};
}

std::string MissingIrrNotice(IrrRule rule) {
    return std::string(rule == IrrRule::Second ? "The 2nd IRR does not exist..." : "The 3rd IRR does not exist...") +
           "\rso the largest IRR will be used";
}

RunOutcome RunSimulations(const SimulationSettings& settings, RandomPayments& random, RunObserver& observer,
                          bool keepIrrs, RootLocator locate) {
    RunOutcome outcome;
    outcome.message = CheckSimulationSettings(settings);
    if (!outcome.message.empty()) {
        outcome.status = RunStatus::BadSettings;
        return outcome;
    }
    IrrFile file;
    const bool save = settings.saveToFile;
    if (save && !file.Open(settings.outputPath, settings.outputDescriptor, outcome.message, settings.decimalComma)) {
        outcome.status = RunStatus::FileError;
        return outcome;
    }
    double meanIrr = 0.0;
    double prevMeanIrr = 0.0;
    std::vector<double> series;

    const long count = settings.simulations;
    for (long number = 1; number <= count; ++number) {
        observer.SimulationStarted(number, count);
        if (!random.DrawSeries(settings, series)) {
            outcome.status = RunStatus::NoPayment;
            outcome.message = "No acceptable payment could be drawn: almost every draw was below 0.";
            break;
        }
        ++outcome.simulations;
        const CashFlowAnalysis analysis = AnalyseCashFlows(series);
        RootSearch search;
        // The rates the multiple-IRR rule chooses from: the listed ones,
        // unless they are incomplete or wrong.
        const std::vector<double>* candidates = &search.rates;
        std::vector<double> exactRates;
        bool fromExact = false;
        if (analysis.Ok()) {
            search = locate(analysis, settings.search, kScanWorkBudget);
            CountScan(search, outcome);
            if (NeedsExactRoots(search) && analysis.Degree() <= kMaxExactDegree) {
                if (const auto all = AllRootsInRange(analysis, settings.search, search)) {
                    for (const RootInRange& root : *all)
                        if (root.rateFinite) exactRates.push_back(root.rate);
                    candidates = &exactRates;
                    fromExact = true;
                    ++outcome.keptFromExact;
                }
            }
        }

        SimulationStep step;
        step.number = number;
        step.series = series;
        step.derivative = analysis.derivative;
        step.rates = search.rates;
        step.meanIrr = meanIrr;
        step.keptFromExact = fromExact;
        if (!candidates->empty()) {
            const auto choice = ChooseIrr(*candidates, settings.irrRule);
            if (choice.fallback) {
                ++outcome.fallbacks;
                if (settings.notifyOtherIrr) observer.Notice(MissingIrrNotice(settings.irrRule), "Note!", step);
            }
            step.kept = true;
            step.keptRate = choice.rate;
            ++outcome.withIrr;
            meanIrr = (step.keptRate + (outcome.withIrr - 1) * prevMeanIrr) / outcome.withIrr;
            prevMeanIrr = meanIrr;
            if (keepIrrs) outcome.kept.push_back(step.keptRate);
            if (save && !file.Write(step.keptRate, outcome.message)) {
                outcome.status = RunStatus::FileError;
                break;
            }
        }
        step.meanIrr = meanIrr;
        observer.SimulationDone(step);
        if (number < count && observer.StopRequested()) {
            outcome.stopped = true;
            break;
        }
    }
    std::string closeError;
    if (save && !file.Close(closeError) && outcome.status == RunStatus::Complete) {
        outcome.status = RunStatus::FileError;
        outcome.message = closeError;
    }
    return outcome;
}

}  // namespace valmora
