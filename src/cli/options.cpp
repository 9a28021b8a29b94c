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

// A rate of the decision as typed, refused with the option's name.
double DecisionRate(const std::string& text, const char* option, int periodsPerYear) {
    const double value = ParseNumber(text, option);
    if (const std::string refusal = RateRefusal(value, periodsPerYear); !refusal.empty())
        throw UsageError(std::string(option) + ": " + refusal);
    return value;
}

// For CLI::Option::check: a rate given as "" would silently be no rate.
std::string NonEmptyRate(const std::string& text) { return text.empty() ? "the rate is empty" : ""; }

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

void AddDecisionOptions(CLI::App& cmd, std::string& rate, std::string& financeRate, std::string& reinvestRate) {
    cmd.add_option("--rate", rate,
                   "Hurdle rate R, the cost of capital: also give NPV, MIRR, payback and discounted payback at R, and "
                   "each IRR's verdict, read as the return on its own investment stream (with --periods M an annual "
                   "rate, R/M a period; above -100 % a period)")
        ->check(NonEmptyRate)
        ->type_name("R");
    cmd.add_option("--finance-rate", financeRate,
                   "MIRR's rate for the negative flows, discounted to time 0 (needs --rate; default R)")
        ->check(NonEmptyRate)
        ->type_name("F");
    cmd.add_option("--reinvest-rate", reinvestRate,
                   "MIRR's rate for the positive flows, compounded to time N (needs --rate; default R)")
        ->check(NonEmptyRate)
        ->type_name("G");
}

std::optional<DecisionRates> ParseDecisionRates(const std::string& rate, const std::string& financeRate,
                                                const std::string& reinvestRate, int periodsPerYear) {
    if (rate.empty()) {
        if (!financeRate.empty()) throw UsageError("--finance-rate needs --rate");
        if (!reinvestRate.empty()) throw UsageError("--reinvest-rate needs --rate");
        return std::nullopt;
    }
    DecisionRates rates;
    rates.periodsPerYear = periodsPerYear;
    rates.hurdle = DecisionRate(rate, "--rate", periodsPerYear);
    rates.finance = financeRate.empty() ? rates.hurdle : DecisionRate(financeRate, "--finance-rate", periodsPerYear);
    rates.reinvest =
        reinvestRate.empty() ? rates.hurdle : DecisionRate(reinvestRate, "--reinvest-rate", periodsPerYear);
    return rates;
}

}  // namespace valmora::cli
