// valmora-cli irr: the deterministic evaluation of one cash-flow series.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "core/solver/search_settings.h"
#include "core/solver/text_rules.h"

namespace CLI {
class App;
}

namespace valmora::cli {

struct IrrOptions {
    std::string increment = GeneralText(kDefaultIncrement);
    std::string tolerance = GeneralText(kDefaultTolerance);
    std::string periods = GeneralText(SearchSettings{}.periodsPerYear);
    std::string file;
    std::string column;         // the column of a table in the file
    bool decimalComma = false;  // the file writes 1.000,50
    bool json = false;
    bool allRoots = false;  // list every root in range, marked whether the scan found it
    std::string profile;    // file for the NPV profile's points
    // The decision at a hurdle rate, as typed; "" where not given.
    std::string rate;
    std::string financeRate;
    std::string reinvestRate;
    std::vector<std::string> flows;
};

// Adds the `irr` subcommand, filling `options` when it is parsed.
CLI::App* AddIrrCommand(CLI::App& app, IrrOptions& options);

// Runs it; returns the exit status. Throws UsageError on bad input.
int RunIrr(const IrrOptions& options, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace valmora::cli
