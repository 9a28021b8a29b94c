// valmora-cli: the scriptable front end on the solver.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace valmora::cli {

// Parses `args` (the program name first) and runs the chosen command.
// Returns the exit status: 0 done, 2 bad input (one line on `err`).
int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace valmora::cli
