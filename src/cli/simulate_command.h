// valmora-cli simulate: a stochastic simulation run from the command line.
#pragma once

#include <iosfwd>
#include <string>

namespace CLI { class App; }

namespace valmora::cli {

struct SimulateOptions {
    std::string dist;
    std::string p1;
    std::string p2;
    std::string investment = "1000";
    std::string payments = "1";
    std::string periods = "1";
    bool positiveOnly = false;
    std::string sims = "100";
    std::string increment = "0.01";
    std::string tolerance = "1E-08";
    std::string choice = "lowest";
    std::string output;
    std::string seed;
    bool json = false;
};

CLI::App* AddSimulateCommand(CLI::App& app, SimulateOptions& options);

// Runs it; returns the exit status (0 done, 1 the run failed). Throws
// UsageError on bad input. `progress` is true to draw a progress bar on `err`.
int RunSimulate(const SimulateOptions& options, std::ostream& out, std::ostream& err, bool progress);

}  // namespace valmora::cli
