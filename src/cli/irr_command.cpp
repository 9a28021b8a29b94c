#include "cli/irr_command.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cmath>
#include <iomanip>
#include <optional>
#include <ostream>

#include "cli/npv_profile_csv.h"
#include "cli/options.h"
#include "cli/cash_flow_input.h"
#include "cli/json_numbers.h"
#include "cli/usage_error.h"
#include "core/decision/decision.h"
#include "core/solver/cash_flow_analysis.h"
#include "core/solver/exact_roots.h"
#include "core/solver/limits.h"
#include "core/solver/missed_roots.h"
#include "core/solver/number_format.h"
#include "core/solver/polynomial.h"
#include "core/solver/project_balances.h"
#include "core/solver/root_location.h"
#include "core/solver/search_notes.h"
#include "core/solver/search_settings.h"
#include "core/solver/solver_messages.h"
#include "core/solver/text_rules.h"

namespace valmora::cli {
namespace {

// What the search found and missed, beyond the listed rates.
struct Findings {
    const CashFlowAnalysis& analysis;
    const SearchSettings& settings;
    const RootSearch& search;
    bool allRoots;                            // every root in range was asked for
    const CashFlowInput& input;               // the series as read, and from where
    const std::optional<Decision>& decision;  // with --rate
};

// A number to full precision: the shortest decimal that reads back as the
// same double (0 for -0), with the exponent written as elsewhere (1E+290).
std::string FullText(double v) {
    std::string text = ShortestText(v);
    for (char& c : text)
        if (c == 'e') c = 'E';
    return text;
}

// The note that stands for the rate of a root whose rate no number can hold.
std::string RateTooLargeNote(double x) { return "the rate is too large for a number (" + NearZeroText(x) + ")"; }

// A payback period as the text shows it.
std::string PaybackText(const std::optional<int>& period) { return period ? std::to_string(*period) : "none"; }

// The decision at the hurdle rate: after the IRRs and their balances, ending
// with the sentence that sums it up.
void PrintDecisionText(const Decision& d, std::ostream& out) {
    const DecisionRates& r = d.rates;
    const bool annual = r.periodsPerYear > 1;
    out << "\nDecision at a hurdle rate of " << GeneralText(r.hurdle) << (annual ? " API" : "") << ":\n";
    out << "  NPV = " << FormatBalance(d.npv) << ": " << VerdictText(d.verdict) << "\n";
    out << "  MIRR" << (annual ? " API" : "") << " = "
        << (d.mirr.rate ? FormatRate(*d.mirr.rate) : "none (" + d.mirr.refusal + ")") << " (finance rate "
        << GeneralText(r.finance) << ", reinvestment rate " << GeneralText(r.reinvest) << ")\n";
    out << "  Payback period: " << PaybackText(d.payback) << "\n";
    out << "  Discounted payback period: " << PaybackText(d.discountedPayback) << "\n";
    for (std::size_t k = 0; k < d.irrs.size(); ++k) {
        const IrrReading& reading = d.irrs[k];
        out << "  IRR " << k + 1 << " = " << FormatRate(reading.irr) << ": stream PV "
            << FormatBalance(reading.streamPv) << ", " << StreamText(reading.stream) << ": "
            << VerdictText(reading.verdict);
        if (!reading.certain) out << " (" << UncertaintyText(reading) << ")";
        out << "\n";
    }
    out << DecisionSentence(d) << "\n";
}

void PrintText(const Findings& f, std::ostream& out) {
    const CashFlowAnalysis& a = f.analysis;
    const RootSearch& search = f.search;
    const int periods = f.settings.periodsPerYear;
    const int n = a.Degree();
    if (!f.input.source.empty()) out << ReadLine(f.input) << "\n";
    out << "Number of payments N = " << n << "\n";
    out << "Maximum # of positive real roots = " << a.maxRoots << "\n";
    out << "Upper bound on root(s) for F(x) where x = 1/(1 + i) = " << GeneralText(a.upperBound) << "\n";
    out << "1st derivative:";
    for (double d : a.derivative) out << ' ' << GeneralText(d);
    out << "\n\n" << (periods > 1 ? "IRR(s) API" : "IRR(s)") << ":\n";
    const int count = static_cast<int>(search.rates.size());
    for (int r = 1; r <= count; ++r) out << std::setw(5) << r << "  " << FormatRate(search.rates[r - 1]) << "\n";
    if (count == 0) out << "  No IRR was found in the searched range.\n";
    for (const std::string& sentence : SearchNotes(a, f.settings, search)) out << "  " << sentence << "\n";

    if (f.allRoots) {
        const std::optional<std::vector<RootInRange>> all = AllRootsInRange(a, f.settings, search);
        out << "\nEvery root of F(x) for x = 1/(1 + i) in (0, " << GeneralText(a.upperBound) << "]: ";
        if (all) {
            out << all->size() << ", in increasing x\n";
        } else {
            if (search.census.known) out << search.census.inRange << " (counted); ";
            out << "not listed: roots are listed exactly only up to " << kMaxExactDegree << " payments.\n";
        }
        if (all && !all->empty())
            out << std::setw(5) << "#"
                << "  " << std::left << std::setw(24) << "x"
                << "  " << std::setw(24) << (periods > 1 ? "rate (API)" : "rate") << std::right << "  scan\n";
        for (std::size_t r = 0; all && r < all->size(); ++r) {
            const RootInRange& root = (*all)[r];
            const std::string rate = root.rateFinite ? FullText(root.rate) : "too large for a number";
            const std::string x = root.x > 0 ? FullText(root.x) : "rounds to 0";
            out << std::setw(5) << r + 1 << "  " << std::left << std::setw(24) << x << "  " << std::setw(24) << rate
                << std::right << "  " << (root.found ? "found" : "missed") << "\n";
        }
    }

    for (int r = 1; r <= count; ++r) {
        const Balances b = ListedRateBalances(a.coefficients, a.maxRoots, search, r - 1, periods);
        out << "\nProject balances at IRR " << r << " = " << FormatRate(b.rate) << ":\n";
        out << std::setw(7) << "n"
            << "  " << std::setw(14) << "PB(n)"
            << "\n";
        for (int k = 0; k <= n; ++k)
            out << std::setw(7) << k << "  " << std::setw(14) << FormatBalance(b.pb[k]) << "\n";
        out << "Type of Investment: " << ClassificationText(b.type) << "\n";
    }
    if (f.decision) PrintDecisionText(*f.decision, out);
}

// A rate for the JSON output: null where no number can hold it.
nlohmann::ordered_json RateJson(double rate) {
    return std::isfinite(rate) ? nlohmann::ordered_json(rate) : nlohmann::ordered_json(nullptr);
}

// A payback period for the JSON output: null where there is none.
nlohmann::ordered_json PaybackJson(const std::optional<int>& period) {
    return period ? nlohmann::ordered_json(*period) : nlohmann::ordered_json(nullptr);
}

// The decision's keys, after the balances (which take each IRR's reading).
void AddDecisionJson(const Decision& d, nlohmann::ordered_json& j) {
    j["hurdle_rate"] = d.rates.hurdle;
    j["finance_rate"] = d.rates.finance;
    j["reinvest_rate"] = d.rates.reinvest;
    j["npv"] = d.npv;
    j["verdict"] = VerdictText(d.verdict);
    j["mirr"] = d.mirr.rate ? nlohmann::ordered_json(*d.mirr.rate) : nlohmann::ordered_json(nullptr);
    if (!d.mirr.rate) j["mirr_refused"] = d.mirr.refusal;
    j["payback"] = PaybackJson(d.payback);
    j["discounted_payback"] = PaybackJson(d.discountedPayback);
    j["summary"] = DecisionSentence(d);
}

void PrintJson(const Findings& f, std::ostream& out) {
    const CashFlowAnalysis& a = f.analysis;
    const RootSearch& search = f.search;
    const int periods = f.settings.periodsPerYear;
    nlohmann::ordered_json j;
    j["payments"] = a.Degree();
    j["flows"] = f.input.flows;
    j["max_roots"] = a.maxRoots;
    j["upper_bound"] = a.upperBound;
    j["derivative"] = a.derivative;
    j["irrs"] = search.rates;
    // The listed rates whose grid step holds no root: rounding alone made
    // F change sign there.
    auto notRoots = nlohmann::ordered_json::array();
    for (std::size_t r : search.census.NotRoots()) notRoots.push_back(search.rates[r]);
    j["not_roots"] = std::move(notRoots);
    const bool complete = search.stop == ScanStop::None;
    j["scan_complete"] = complete;
    j["stopped_at"] = complete ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(search.lastX);
    j["unlisted_roots"] = search.unlisted.size() - static_cast<std::size_t>(search.census.UnlistedNotRoots());
    const bool counted = search.census.known;
    j["roots_in_range"] = counted ? nlohmann::ordered_json(search.census.inRange) : nlohmann::ordered_json(nullptr);
    if (counted) {
        // In increasing x: from_rate, the rate at the interval's lower end in
        // x, is the higher rate (null when the interval starts at x = 0).
        auto missed = nlohmann::ordered_json::array();
        for (const MissedRootsNote& note : DescribeMissedRoots(a, f.settings, search)) {
            nlohmann::ordered_json entry;
            entry["from_rate"] = RateJson(note.highRate);
            entry["to_rate"] = RateJson(note.lowRate);
            entry["count"] = note.count;
            entry["separating_increment"] = note.separatingIncrement > 0
                                                ? nlohmann::ordered_json(note.separatingIncrement)
                                                : nlohmann::ordered_json(nullptr);
            missed.push_back(std::move(entry));
        }
        j["missed"] = std::move(missed);
    } else {
        j["missed"] = nullptr;
    }
    const auto roots = f.allRoots ? AllRootsInRange(a, f.settings, search) : std::nullopt;
    if (f.allRoots && !roots) j["all_roots"] = nullptr;  // above the degree exact counting handles
    if (roots) {
        auto all = nlohmann::ordered_json::array();
        for (const RootInRange& root : *roots) {
            nlohmann::ordered_json entry;
            entry["x"] = root.x;
            entry["rate"] = root.rateFinite ? nlohmann::ordered_json(root.rate == 0.0 ? 0.0 : root.rate)
                                            : nlohmann::ordered_json(nullptr);
            entry["found"] = root.found;
            if (!root.rateFinite) entry["note"] = RateTooLargeNote(root.x);
            all.push_back(std::move(entry));
        }
        j["all_roots"] = std::move(all);
    }
    auto balances = nlohmann::ordered_json::array();
    for (std::size_t r = 0; r < search.rates.size(); ++r) {
        const Balances b = ListedRateBalances(a.coefficients, a.maxRoots, search, r, periods);
        nlohmann::ordered_json entry;
        entry["rate"] = b.rate;
        entry["pb"] = b.pb;
        entry["type"] = ClassificationText(b.type);
        if (f.decision) {
            const IrrReading& reading = f.decision->irrs[r];
            entry["stream_pv"] = reading.streamPv;
            entry["stream"] = StreamText(reading.stream);
            entry["verdict"] = VerdictText(reading.verdict);
            entry["verdict_certain"] = reading.certain;
            entry["identity_bound"] = reading.identityBound;
        }
        balances.push_back(std::move(entry));
    }
    j["balances"] = std::move(balances);
    if (f.decision) AddDecisionJson(*f.decision, j);
    WithoutNegativeZero(j);
    out << j.dump(2) << "\n";
}

}  // namespace

CLI::App* AddIrrCommand(CLI::App& app, IrrOptions& options) {
    auto* cmd = app.add_subcommand("irr", "Find every IRR of one cash-flow series, with project balances");
    AddSearchOptions(*cmd, options.increment, options.tolerance, GeneralText(kDefaultIncrement),
                     GeneralText(kDefaultTolerance));
    AddPeriodsOption(*cmd, options.periods, "; rates are then M x the rate per period");
    cmd->add_flag("--json", options.json, "Print one JSON object instead of text");
    cmd->add_flag("--all-roots", options.allRoots,
                  "Also list every distinct root in range, its rate to full precision, marked whether the scan "
                  "found it");
    cmd->add_option("--file", options.file,
                    "Read the cash flows from a text file (\"-\" for standard input): one a line, or one line of "
                    "them; a first line without numbers is a header; a table needs --column")
        ->check(NonEmptyFileName)
        ->type_name("FILE");
    cmd->add_option("--column", options.column, "The column of a table to read, by number (from 1) or header name")
        ->type_name("N|NAME");
    cmd->add_flag("--decimal-comma", options.decimalComma,
                  "The file writes numbers as 1.000,50 (its fields separated by semicolons, tabs or lines)");
    cmd->add_option("--profile", options.profile,
                    "Also write the NPV profile to FILE as CSV, overwriting it: rate,npv over a range showing every "
                    "IRR (\"-\": standard output, the results then going to standard error)")
        ->check(NonEmptyFileName)
        ->type_name("FILE");
    AddDecisionOptions(*cmd, options.rate, options.financeRate, options.reinvestRate);
    cmd->add_option("flows", options.flows,
                    "P0 P1 ... PN: the investment (negative for an outflow) and N payments, 1 <= N <= " +
                        std::to_string(kMaxPayments))
        ->type_name("NUMBER");
    cmd->footer(
        "Examples:\n  valmora-cli irr -- -1000 500 500 500\n  valmora-cli irr --rate 0.15 -- -1000 3600 -4310 1716");
    return cmd;
}

int RunIrr(const IrrOptions& options, std::istream& in, std::ostream& out, std::ostream& err) {
    SearchSettings settings;
    settings.increment = ParseIncrement(options.increment);
    settings.tolerance = ParseTolerance(options.tolerance);
    settings.periodsPerYear = ParsePeriods(options.periods);
    const std::optional<DecisionRates> rates =
        ParseDecisionRates(options.rate, options.financeRate, options.reinvestRate, settings.periodsPerYear);

    const CashFlowInput input =
        ReadCashFlowInput(options.flows, options.file, options.column, options.decimalComma, in);
    const CashFlowAnalysis analysis = AnalyseCashFlows(input.flows);
    if (!analysis.Ok()) throw UsageError(AnalysisProblemText(analysis.status));

    const RootSearch search = LocateRoots(analysis, settings);  // the options above leave no reason to refuse
    // With the profile on standard output the results go to standard error.
    std::ostream& results = options.profile == "-" ? err : out;
    if (options.profile == "-") WriteNpvProfileCsv(analysis.coefficients, search.rates, settings.periodsPerYear, out);
    else if (!options.profile.empty())
        SaveNpvProfileCsv(analysis.coefficients, search.rates, settings.periodsPerYear, options.profile);
    const std::optional<Decision> decision =
        rates ? std::optional<Decision>(Decide(analysis.coefficients, search.rates, *rates)) : std::nullopt;
    const Findings findings{analysis, settings, search, options.allRoots, input, decision};
    if (options.json) PrintJson(findings, results);
    else PrintText(findings, results);
    return 0;
}

}  // namespace valmora::cli
