// A simulation run: draw a series, analyse it, find its IRRs, keep one by the
// multiple-IRR rule, update the mean of the kept IRRs and write the kept IRR
// as one line of the IRR output file, once per simulation.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "core/simulation/random_payments.h"
#include "core/simulation/simulation_settings.h"
#include "core/solver/root_location.h"

namespace valmora {

// One finished simulation, as the run's observer sees it. The spans stay
// valid only during the call.
struct SimulationStep {
    long number = 0;                     // 1..count
    std::span<const double> series;      // P0..PN as drawn
    std::span<const double> derivative;  // k * Pk, k = 1..N; empty when the series could not be analysed
    std::span<const double> rates;       // the rates found, in the order found
    double meanIrr = 0;                  // mean of the IRRs kept so far (0 before the first)
    double keptRate = 0;                 // the IRR kept, when kept
    bool kept = false;                   // an IRR was found and kept
    bool keptFromExact = false;          // chosen from the exact roots, the listed rates being incomplete
    double npv = 0;                      // the series' NPV at the hurdle rate, when one is set
};

// What the run reports while it goes; the screen and the command line show it.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    // Simulation `number` of `count` is next: its notice and SimulationDone
    // follow, or the end of the run.
    virtual void SimulationStarted(long number, long count) = 0;
    // A simulation is done.
    virtual void SimulationDone(const SimulationStep& step) = 0;
    // A notice the user must close before the run goes on, raised while
    // simulation `sofar` keeps its IRR: its series, derivative and rates are
    // in, the mean is still the one before it and nothing is kept yet.
    virtual void Notice(const std::string& text, const std::string& title, const SimulationStep& sofar) = 0;
    // Asked after each simulation but the last: true ends the run there, its
    // file holding the complete lines written so far.
    virtual bool StopRequested() { return false; }
};

enum class RunStatus {
    Complete,
    FileError,    // the output file could not be created or written
    NoPayment,    // no acceptable payment could be drawn
    BadSettings,  // settings no run can use
};

struct RunOutcome {
    RunStatus status = RunStatus::Complete;
    std::string message;       // what went wrong, for the user
    long simulations = 0;      // simulations performed
    long withIrr = 0;          // simulations that kept an IRR
    long fallbacks = 0;        // kept the largest IRR because the chosen one did not exist
    long incompleteScans = 0;  // searches that stopped before their bound, of which:
    long stalledScans = 0;     //   x no longer grew by the increment
    long workLimitScans = 0;   //   the work limit was reached
    long overflowScans = 0;    //   F(x) became too large (the per-term search only)
    long missedRoots = 0;      // searches that missed roots in their range
    long listedNotRoots = 0;   // searches that listed a rate whose grid step holds no root
    long uncounted = 0;        // searches where it could not be decided whether they missed roots
    // Simulations whose IRR was chosen from the exact roots in range: their
    // search missed roots, listed a rate that is no root, or stopped early.
    long keptFromExact = 0;
    bool stopped = false;  // the observer stopped the run before its last simulation
    // With a hurdle rate R: every simulation's NPV at R in simulation order,
    // and how many simulations kept an IRR below R.
    std::vector<double> npvs;
    long irrBelowRate = 0;
    std::vector<double> kept;  // the kept IRRs in simulation order, when asked for
};

// The rate the multiple-IRR rule keeps among `rates` (at least one): the
// lowest, the second or third lowest, or the highest. When the second or
// third does not exist the highest is kept instead.
struct IrrChoiceResult {
    double rate = 0;
    bool fallback = false;
};
IrrChoiceResult ChooseIrr(std::span<const double> rates, IrrRule rule);

// The notice shown when the chosen IRR does not exist.
std::string MissingIrrNotice(IrrRule rule);

// How a run finds the roots of one series: LocateRoots, or the per-term
// LocateRootsReference to measure against.
using RootLocator = RootSearch (*)(const CashFlowAnalysis&, const SearchSettings&, std::uint64_t);

// Runs settings.simulations simulations. The mean of the kept IRRs starts
// afresh. A simulation keeps its IRR from the listed rates, or, where the
// census shows them incomplete or wrong (missed roots, a rate that is no
// root, a search stopped early), from the exact roots in range refined to
// full precision; one without an IRR writes no line. With keepIrrs the
// outcome lists every kept IRR.
// The searches run on `threads` threads (0: one per core; 1: all on the
// calling thread), a few hundred series ahead at most. The series are drawn
// in order on the calling thread, and the IRRs kept, the file written and
// the observer told there, in simulation order: every thread count gives
// the same file, outcome and observer calls. A simulation's series is drawn
// before SimulationStarted when threads search; a stop or an error drops
// the series drawn ahead. `locate` must be safe to call on several threads
// at once.
RunOutcome RunSimulations(const SimulationSettings& settings, RandomPayments& random, RunObserver& observer,
                          bool keepIrrs = false, RootLocator locate = LocateRoots, int threads = 0);

}  // namespace valmora
