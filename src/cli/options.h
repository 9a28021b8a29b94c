// The options both subcommands take: each is added and read by one function,
// and refused with one message.
#pragma once

#include <string>
#include <string_view>

namespace CLI {
class App;
}

namespace valmora::cli {

// --increment and --tolerance, showing the defaults given.
void AddSearchOptions(CLI::App& cmd, std::string& increment, std::string& tolerance,
                      const std::string& defaultIncrement, const std::string& defaultTolerance);

// --periods; its help ends in `rateNote`, what the periods do to the rates.
void AddPeriodsOption(CLI::App& cmd, std::string& periods, std::string_view rateNote);

// The values as typed; a UsageError naming the option when out of range.
double ParseIncrement(const std::string& text);
double ParseTolerance(const std::string& text);
int ParsePeriods(const std::string& text);

}  // namespace valmora::cli
