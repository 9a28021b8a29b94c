// The options both subcommands take: each is added and read by one function,
// and refused with one message.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/decision/decision.h"

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

// --rate, --finance-rate and --reinvest-rate of irr: the decision at a
// hurdle rate. A value given empty is refused as it is parsed.
void AddDecisionOptions(CLI::App& cmd, std::string& rate, std::string& financeRate, std::string& reinvestRate);

// The rates as typed ("" where not given), with M periods per year, where
// they are annual rates: nothing without --rate; the finance and
// reinvestment rates default to it. A UsageError naming the option for a
// value that is no number or at most -100 % a period, or a finance or
// reinvestment rate without --rate.
std::optional<DecisionRates> ParseDecisionRates(const std::string& rate, const std::string& financeRate,
                                                const std::string& reinvestRate, int periodsPerYear);

}  // namespace valmora::cli
