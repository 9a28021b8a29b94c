// What the stochastic screen's last run gave, kept with the settings it ran
// with: the last completed simulation, the running counts, the kept IRRs and,
// once the run has ended, its outcome. The run display and the distribution
// view draw from it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/simulation/simulation_run.h"
#include "core/simulation/simulation_settings.h"

namespace valmora {

struct RunResults {
    SimulationSettings settings;  // the run's inputs
    std::string seed;             // the seed typed, trimmed; empty: from the clock

    // The last completed simulation (number 0 before the first).
    long number = 0;
    std::vector<double> series;      // P0..PN
    std::vector<double> derivative;  // k * Pk; empty when the series could not be analysed
    std::vector<double> rates;       // its rates, in the order found
    double meanIrr = 0;              // mean of the IRRs kept so far
    double keptRate = 0;             // its kept IRR, when kept
    bool kept = false;

    std::vector<double> keptIrrs;       // in simulation order, one for each simulation that kept an IRR
    std::vector<double> npvs;           // with a hurdle rate: every simulation's NPV at it, in order
    std::optional<RunOutcome> outcome;  // once the run has ended

    long WithIrr() const { return static_cast<long>(keptIrrs.size()); }
    long WithoutIrr() const { return number - WithIrr(); }

    // A simulation is done: it becomes the last one and is counted.
    void Add(const SimulationStep& step) {
        number = step.number;
        series.assign(step.series.begin(), step.series.end());
        derivative.assign(step.derivative.begin(), step.derivative.end());
        rates.assign(step.rates.begin(), step.rates.end());
        meanIrr = step.meanIrr;
        kept = step.kept;
        if (settings.hurdle) npvs.push_back(step.npv);
        if (step.kept) {
            keptRate = step.keptRate;
            keptIrrs.push_back(step.keptRate);
        }
    }
};

// Two runs with these settings keep IRRs by the same rules from series drawn
// the same way (the output file and the notice of a replaced IRR change
// neither).
inline bool SameRunInputs(const SimulationSettings& a, const SimulationSettings& b) {
    return a.investment == b.investment && a.payments == b.payments && a.simulations == b.simulations &&
           a.distribution == b.distribution && a.param1 == b.param1 && a.param2 == b.param2 &&
           a.allowNegativePayments == b.allowNegativePayments && a.search.increment == b.search.increment &&
           a.search.tolerance == b.search.tolerance && a.search.periodsPerYear == b.search.periodsPerYear &&
           a.irrRule == b.irrRule;
}

}  // namespace valmora
