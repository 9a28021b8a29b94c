// valmora-cli simulate: a stochastic simulation run from the command line.
#pragma once

#include <iosfwd>
#include <string>

#include "core/simulation/simulation_settings.h"
#include "core/statistics/ks_bootstrap.h"
#include "core/solver/text_rules.h"

namespace CLI {
class App;
}

namespace valmora::cli {

struct SimulateOptions {
    std::string dist;
    std::string p1;
    std::string p2;
    std::string investment = GeneralText(SimulationSettings{}.investment);
    std::string payments = GeneralText(SimulationSettings{}.payments);
    std::string periods = GeneralText(SimulationSettings{}.search.periodsPerYear);
    bool positiveOnly = false;
    std::string sims = GeneralText(static_cast<double>(SimulationSettings{}.simulations));
    std::string increment = GeneralText(SimulationSettings{}.search.increment);
    std::string tolerance = GeneralText(SimulationSettings{}.search.tolerance);
    std::string choice = "lowest";
    std::string output;
    std::string seed;
    std::string resamples = std::to_string(kDefaultResamples);
    bool json = false;
    bool decimalComma = false;  // the IRR lines write decimal commas
    std::string rate;           // a hurdle rate: each simulation's NPV at it
    std::string npvOutput;      // a file for one NPV per line
};

CLI::App* AddSimulateCommand(CLI::App& app, SimulateOptions& options);

// Runs it; returns the exit status (0 done, 1 the run failed). Throws
// UsageError on bad input. `progress` is true to draw a progress bar on `err`.
int RunSimulate(const SimulateOptions& options, std::ostream& out, std::ostream& err, bool progress);

}  // namespace valmora::cli
