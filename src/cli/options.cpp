#include "cli/options.h"

#include <CLI/CLI.hpp>

#include "cli/usage_error.h"
#include "core/solver/limits.h"
#include "core/solver/search_settings.h"
#include "core/solver/text_rules.h"

namespace valmora::cli {
namespace {

// An increment or tolerance as typed: a number the one rule accepts.
double SearchValue(const std::string& text, const char* option, SearchSetting which) {
    const double value = ParseNumber(text, option);
    const bool ok = which == SearchSetting::Increment ? IncrementInRange(value) : ToleranceInRange(value);
    if (!ok)
        throw UsageError(std::string(option) + " must be " + std::string(TextOf(which).range) + " (got " + Shown(text) +
                         ")");
    return value;
}

}  // namespace

void AddSearchOptions(CLI::App& cmd, std::string& increment, std::string& tolerance,
                      const std::string& defaultIncrement, const std::string& defaultTolerance) {
    cmd.add_option("--increment", increment, "Scan step in x = 1/(1 + i), 0 < X < 1")
        ->default_str(defaultIncrement)
        ->type_name("NUMBER");
    cmd.add_option("--tolerance", tolerance, "Newton's method tolerance, 0 <= X < 1")
        ->default_str(defaultTolerance)
        ->type_name("NUMBER");
}

void AddPeriodsOption(CLI::App& cmd, std::string& periods, std::string_view rateNote) {
    cmd.add_option(
           "--periods", periods,
           "Payment/compounding periods per year M, 1.." + std::to_string(kMaxPeriodsPerYear) + std::string(rateNote))
        ->default_str(GeneralText(SearchSettings{}.periodsPerYear))
        ->type_name("INTEGER");
}

double ParseIncrement(const std::string& text) { return SearchValue(text, "--increment", SearchSetting::Increment); }

double ParseTolerance(const std::string& text) { return SearchValue(text, "--tolerance", SearchSetting::Tolerance); }

int ParsePeriods(const std::string& text) {
    return static_cast<int>(ParseWhole(text, "--periods", 1, kMaxPeriodsPerYear));
}

}  // namespace valmora::cli
