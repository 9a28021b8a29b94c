// Runs valmora-cli in the test's process and keeps what it printed.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace valmora::cli::testing {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

inline Outcome RunCli(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), "valmora-cli");
    std::istringstream in(input);
    std::ostringstream out, err;
    int status = Run(args, in, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace valmora::cli::testing
