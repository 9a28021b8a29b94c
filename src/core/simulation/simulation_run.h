// A simulation run: draw a series, analyse it, find its IRRs, keep one by the
// multiple-IRR rule, update the mean of the kept IRRs and write the kept IRR
// as one line of the IRR output file, once per simulation.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "core/solver/workspace.h"
#include "core/simulation/random_payments.h"

namespace valmora {

// What the run reports while it goes; the screen and the command line show it.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    // Simulation `number` of `count` is about to draw its series.
    virtual void SimulationStarted(long number, long count) = 0;
    // Simulation `number` is done: the workspace holds its series,
    // derivative and rates, MeanIrr, and ChosenRate when an IRR was kept.
    virtual void SimulationDone(const Workspace& ws, long number, bool kept) = 0;
    // A notice the user must close before the run goes on.
    virtual void Notice(const std::string& text, const std::string& title) = 0;
};

enum class RunStatus {
    Complete,
    FileError,    // the output file could not be created or written
    NoPayment,    // no acceptable payment could be drawn
    BadSettings,  // settings no run can use
};

struct RunOutcome {
    RunStatus status = RunStatus::Complete;
    std::string message;      // what went wrong, for the user
    long simulations = 0;     // simulations performed
    long withIrr = 0;         // simulations that kept an IRR
    long fallbacks = 0;       // kept the largest IRR because the chosen one did not exist
    long incompleteScans = 0; // searches that stopped before their bound
    std::vector<double> kept; // the kept IRRs in simulation order, when asked for
};

// The rate the multiple-IRR rule keeps among `rates` (at least one):
// choice 1 the lowest, 2 the second lowest, 3 the third lowest, 4 the highest.
// When the second or third does not exist the highest is kept instead.
struct IrrChoiceResult {
    double rate = 0;
    bool fallback = false;
};
IrrChoiceResult ChooseIrr(std::span<const double> rates, int choice);

// The notice shown when the chosen IRR does not exist.
std::string MissingIrrNotice(int choice);

// Runs `count` simulations with the settings in the workspace (SimInvestment,
// SimNumPayments, the distribution, AllowNegPayments, PeriodsPerYear,
// Increment, Tolerance, IrrChoice, NotifyOtherIrr, SaveToFile, OutputPath).
// The mean of the kept IRRs starts afresh. A simulation without an IRR writes
// no line.
RunOutcome RunSimulations(Workspace& ws, RandomPayments& random, RunObserver& observer, long count,
                          bool keepIrrs = false);

}  // namespace valmora
