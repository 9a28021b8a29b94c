#include "core/simulation/simulation_run.h"

#include <algorithm>
#include <thread>

#include <flint/flint.h>

#include "core/decision/decision.h"
#include "core/simulation/irr_file.h"
#include "core/simulation/ordered_pool.h"
#include "core/solver/cash_flow_analysis.h"
#include "core/solver/exact_roots.h"
#include "core/solver/missed_roots.h"
#include "core/solver/number_format.h"
#include "core/solver/root_location.h"

namespace valmora {
namespace {

// What one search adds to the run's counts.
struct ScanCounts {
    long incomplete = 0;
    long stalled = 0;
    long workLimit = 0;
    long overflow = 0;
    long missed = 0;
    long listedNotRoots = 0;
    long uncounted = 0;

    void AddTo(RunOutcome& outcome) const {
        outcome.incompleteScans += incomplete;
        outcome.stalledScans += stalled;
        outcome.workLimitScans += workLimit;
        outcome.overflowScans += overflow;
        outcome.missedRoots += missed;
        outcome.listedNotRoots += listedNotRoots;
        outcome.uncounted += uncounted;
    }
};

ScanCounts CountScan(const RootSearch& search) {
    ScanCounts counts;
    if (search.status == ScanStatus::Incomplete) {
        counts.incomplete = 1;
        switch (search.stop) {
            case ScanStop::Stalled: counts.stalled = 1; break;
            case ScanStop::WorkBudget: counts.workLimit = 1; break;
            case ScanStop::NotFinite: counts.overflow = 1; break;
            case ScanStop::None: break;
        }
    }
    const RootCensus& census = search.census;
    // Counted from the census's missed intervals, each certified on its
    // own, so a missed root counts even where the census could not settle
    // the whole range. Roots beyond where a scan stopped are among them.
    if (census.MissedCount() > 0) counts.missed = 1;
    else if (!census.known) counts.uncounted = 1;
    if (!census.NotRoots().empty() || census.UnlistedNotRoots() > 0) counts.listedNotRoots = 1;
    return counts;
}

// The listed rates cannot serve the rule: roots were missed, a listed rate
// is no root, or the search stopped before its bound.
bool NeedsExactRoots(const RootSearch& search) {
    const RootCensus& census = search.census;
    if (!census.taken) return false;
    return search.status == ScanStatus::Incomplete || census.MissedCount() > 0 || !census.NotRoots().empty() ||
           census.UnlistedNotRoots() > 0;
}

// One simulation from its draw to its keeping: the series drawn and what
// its search found. Between the two it may be on another thread; it holds
// nothing of the thread that searched it.
struct Simulation {
    std::vector<double> series;      // P0..PN as drawn
    std::vector<double> derivative;  // empty when the series could not be analysed
    std::vector<double> rates;       // the rates found, in the order found
    // The rates the multiple-IRR rule chooses from when the listed ones are
    // incomplete or wrong: every root in range, refined to full precision.
    std::vector<double> exactRates;
    bool fromExact = false;
    ScanCounts counts;
};

// Analyses and searches the series drawn into `sim`. Safe on any thread:
// the search keeps its caches per thread, and whatever exact arithmetic it
// needed is released here, on the thread that made it.
void Search(Simulation& sim, const SimulationSettings& settings, RootLocator locate) {
    sim.rates.clear();
    sim.exactRates.clear();
    sim.fromExact = false;
    sim.counts = ScanCounts{};
    CashFlowAnalysis analysis = AnalyseCashFlows(sim.series);
    if (analysis.Ok()) {
        RootSearch search = locate(analysis, settings.search, kScanWorkBudget);
        sim.counts = CountScan(search);
        if (NeedsExactRoots(search) && analysis.Degree() <= kMaxExactDegree) {
            if (const auto all = AllRootsInRange(analysis, settings.search, search)) {
                for (const RootInRange& root : *all)
                    if (root.rateFinite) sim.exactRates.push_back(root.rate);
                sim.fromExact = true;
            }
        }
        sim.rates = std::move(search.rates);
    }
    sim.derivative = std::move(analysis.derivative);
}

// The run's own part of each simulation, on the run's thread and in
// simulation order: keep its IRR by the rule, update the mean, write the
// line and tell the observer.
class Keeper {
public:
    Keeper(const SimulationSettings& settings, RunObserver& observer, IrrFile* file, bool keepIrrs, RunOutcome& outcome)
        : settings_(settings), observer_(observer), file_(file), keepIrrs_(keepIrrs), outcome_(outcome) {}

    // False when the line could not be written: the run ends.
    bool Keep(long number, const Simulation& sim) {
        ++outcome_.simulations;
        sim.counts.AddTo(outcome_);
        if (sim.fromExact) ++outcome_.keptFromExact;
        const std::vector<double>& candidates = sim.fromExact ? sim.exactRates : sim.rates;

        SimulationStep step;
        step.number = number;
        step.series = sim.series;
        step.derivative = sim.derivative;
        step.rates = sim.rates;
        step.meanIrr = meanIrr_;
        step.keptFromExact = sim.fromExact;
        if (settings_.hurdle) {
            step.npv = NetPresentValue(sim.series, *settings_.hurdle, settings_.search.periodsPerYear);
            outcome_.npvs.push_back(step.npv);
        }
        if (!candidates.empty()) {
            const auto choice = ChooseIrr(candidates, settings_.irrRule);
            if (choice.fallback) {
                ++outcome_.fallbacks;
                if (settings_.notifyOtherIrr) observer_.Notice(MissingIrrNotice(settings_.irrRule), "Note!", step);
            }
            step.kept = true;
            step.keptRate = choice.rate;
            ++outcome_.withIrr;
            if (settings_.hurdle && step.keptRate < *settings_.hurdle) ++outcome_.irrBelowRate;
            meanIrr_ = (step.keptRate + (outcome_.withIrr - 1) * meanIrr_) / outcome_.withIrr;
            if (keepIrrs_) outcome_.kept.push_back(step.keptRate);
            if (file_ && !file_->Write(step.keptRate, outcome_.message)) {
                outcome_.status = RunStatus::FileError;
                return false;
            }
        }
        step.meanIrr = meanIrr_;
        observer_.SimulationDone(step);
        return true;
    }

private:
    const SimulationSettings& settings_;
    RunObserver& observer_;
    IrrFile* file_;
    const bool keepIrrs_;
    RunOutcome& outcome_;
    double meanIrr_ = 0.0;
};

void NoPayment(RunOutcome& outcome) {
    outcome.status = RunStatus::NoPayment;
    outcome.message = "No acceptable payment could be drawn: almost every draw was below 0.";
}

// Every simulation on the run's thread, one after another.
void RunInOrder(const SimulationSettings& settings, RandomPayments& random, RunObserver& observer, Keeper& keeper,
                RootLocator locate, RunOutcome& outcome) {
    const long count = settings.simulations;
    Simulation sim;
    for (long number = 1; number <= count; ++number) {
        observer.SimulationStarted(number, count);
        if (!random.DrawSeries(settings, sim.series)) {
            NoPayment(outcome);
            return;
        }
        Search(sim, settings, locate);
        if (!keeper.Keep(number, sim)) return;
        if (number < count && observer.StopRequested()) {
            outcome.stopped = true;
            return;
        }
    }
}

// The series in flight at most: enough to keep every worker busy past a
// slow search, within about kWindowBytes for their series and derivatives.
constexpr std::size_t kMostInFlight = 256;
constexpr std::size_t kWindowBytes = std::size_t{16} << 20;

std::size_t WindowFor(unsigned workers, int payments) {
    const std::size_t perSeries = 2 * sizeof(double) * (static_cast<std::size_t>(payments) + 1);
    const std::size_t fewest = std::min(std::size_t{4} * workers, kMostInFlight);
    return std::clamp(kWindowBytes / perSeries, fewest, kMostInFlight);
}

// The searches on `workers` threads. The run's thread draws the series in
// order, ahead of the simulation it keeps by up to the window, and keeps
// them in order as they come back: the same series, IRRs, lines and observer
// calls as RunInOrder. Searches started beyond the last simulation kept (a
// stop, a file error) are dropped.
void RunOnWorkers(unsigned workers, const SimulationSettings& settings, RandomPayments& random, RunObserver& observer,
                  Keeper& keeper, RootLocator locate, RunOutcome& outcome) {
    const long count = settings.simulations;
    OrderedPool<Simulation> pool(
        workers, WindowFor(workers, settings.payments),
        [&settings, locate](Simulation& sim) { Search(sim, settings, locate); },
        // FLINT keeps caches per thread (integers, primes) that only the
        // thread itself can hand back.
        [] { flint_cleanup(); });
    long drawn = 0;
    bool drawFailed = false;
    for (long number = 1; number <= count; ++number) {
        while (!drawFailed && drawn < count && pool.InFlight() < pool.Window()) {
            if (random.DrawSeries(settings, pool.Free().series)) {
                pool.Submit();
                ++drawn;
            } else {
                drawFailed = true;
            }
        }
        observer.SimulationStarted(number, count);
        if (number > drawn) {  // its series could not be drawn
            NoPayment(outcome);
            return;
        }
        const bool written = keeper.Keep(number, pool.Oldest());
        pool.Release();
        if (!written) return;
        if (number < count && observer.StopRequested()) {
            outcome.stopped = true;
            return;
        }
    }
}

// The threads that search: as asked, one per core by default, never more
// than there are simulations.
unsigned WorkerCount(int threads, long simulations) {
    unsigned n = threads > 0 ? static_cast<unsigned>(threads) : std::thread::hardware_concurrency();
    if (simulations < static_cast<long>(n)) n = static_cast<unsigned>(std::max(simulations, 1L));
    return std::max(n, 1u);
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
    return rule == IrrRule::Second ? "The 2nd IRR does not exist...\rso the largest IRR will be used"
                                   : "The 3rd IRR does not exist...\rso the largest IRR will be used";
}

RunOutcome RunSimulations(const SimulationSettings& settings, RandomPayments& random, RunObserver& observer,
                          bool keepIrrs, RootLocator locate, int threads) {
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
    Keeper keeper(settings, observer, save ? &file : nullptr, keepIrrs, outcome);
    const unsigned workers = WorkerCount(threads, settings.simulations);
    if (workers <= 1) RunInOrder(settings, random, observer, keeper, locate, outcome);
    else RunOnWorkers(workers, settings, random, observer, keeper, locate, outcome);
    std::string closeError;
    if (save && !file.Close(closeError) && outcome.status == RunStatus::Complete) {
        outcome.status = RunStatus::FileError;
        outcome.message = closeError;
    }
    return outcome;
}

}  // namespace valmora
