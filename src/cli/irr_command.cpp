#include "cli/irr_command.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <iomanip>
#include <ostream>

#include "cli/usage_error.h"
#include "core/solver/cash_flow_analysis.h"
#include "core/solver/number_format.h"
#include "core/solver/project_balances.h"
#include "core/solver/root_location.h"
#include "core/solver/solver_messages.h"
#include "core/solver/text_rules.h"

namespace valmora::cli {
namespace {

void PrintText(Workspace& ws, std::ostream& out) {
    const int n = Degree(ws);
    out << "Number of payments N = " << n << "\n";
    out << "Maximum # of positive real roots = " << ws.MaxRoots << "\n";
    out << "Upper bound on root(s) for F(x) where x = 1/(1 + i) = " << GeneralText(ws.UpperBound) << "\n";
    out << "1st derivative:";
    for (int k = 1; k <= n; ++k) out << ' ' << GeneralText(ws.DerivCoef[k]);
    out << "\n\n" << (ws.PeriodsPerYear > 1 ? "IRR(s) API" : "IRR(s)") << ":\n";
    for (int r = 1; r <= ws.RootCount; ++r) out << std::setw(5) << r << "  " << FormatRate(ws.IrrList[r]) << "\n";
    if (ws.RootCount == 0) out << "  No IRR was found in the searched range.\n";
    if (ws.ScanStopped != ScanStop::None) out << "  " << IncompleteScanText(ws) << "\n";

    for (int r = 1; r <= ws.RootCount; ++r) {
        ComputeProjectBalances(ws, r);
        out << "\nProject balances at IRR " << r << " = " << FormatRate(ws.ChosenRate) << ":\n";
        out << std::setw(7) << "n" << "  " << std::setw(14) << "PB(n)" << "\n";
        for (int k = 0; k <= n; ++k)
            out << std::setw(7) << k << "  " << std::setw(14) << FormatBalance(ws.ProjBalance[k + 1]) << "\n";
        out << "Type of Investment: " << ClassificationText(ws.Classification) << "\n";
    }
}

void PrintJson(Workspace& ws, std::ostream& out) {
    const int n = Degree(ws);
    nlohmann::ordered_json j;
    j["max_roots"] = ws.MaxRoots;
    j["upper_bound"] = ws.UpperBound;
    j["derivative"] = std::vector<double>(ws.DerivCoef.begin() + 1, ws.DerivCoef.begin() + 1 + n);
    j["irrs"] = std::vector<double>(ws.IrrList.begin() + 1, ws.IrrList.end());
    const bool complete = ws.ScanStopped == ScanStop::None;
    j["scan_complete"] = complete;
    j["stopped_at"] = complete ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(ws.ScanX);
    auto balances = nlohmann::ordered_json::array();
    for (int r = 1; r <= ws.RootCount; ++r) {
        ComputeProjectBalances(ws, r);
        nlohmann::ordered_json b;
        b["rate"] = ws.ChosenRate;
        b["pb"] = std::vector<double>(ws.ProjBalance.begin() + 1, ws.ProjBalance.end());
        b["type"] = ClassificationText(ws.Classification);
        balances.push_back(std::move(b));
    }
    j["balances"] = std::move(balances);
    out << j.dump(2) << "\n";
}

}  // namespace

CLI::App* AddIrrCommand(CLI::App& app, IrrOptions& options) {
    auto* cmd = app.add_subcommand("irr", "Find every IRR of one cash-flow series, with project balances");
    cmd->add_option("--increment", options.increment, "Scan step in x = 1/(1 + i), 0 < X < 1")
        ->default_str("0.01");
    cmd->add_option("--tolerance", options.tolerance, "Newton's method tolerance, 0 <= X < 1")
        ->default_str("1E-07");
    cmd->add_option("--periods", options.periods,
                    "Payment/compounding periods per year M, 1..32767; rates are then M x the rate per period")
        ->default_str("1");
    cmd->add_flag("--json", options.json, "Print one JSON object instead of text");
    cmd->add_option("--file", options.file,
                    "Read the cash flows from a text file (\"-\" for standard input), separated by blanks, "
                    "commas or line breaks")
        ->check(NonEmptyFileName);
    cmd->add_option("flows", options.flows,
                    "P0 P1 ... PN: the investment (negative for an outflow) and N payments, 1 <= N <= 32766");
    cmd->footer("Example: valmora-cli irr -- -1000 500 500 500");
    return cmd;
}

int RunIrr(const IrrOptions& options, std::istream& in, std::ostream& out) {
    Workspace ws;
    ws.Increment = ParseNumber(options.increment, "--increment");
    if (!(ws.Increment > 0 && ws.Increment < 1))
        throw UsageError("--increment must be above 0 and below 1 (got " + options.increment + ")");
    ws.Tolerance = ParseNumber(options.tolerance, "--tolerance");
    if (!(ws.Tolerance >= 0 && ws.Tolerance < 1))
        throw UsageError("--tolerance must be from 0 up to, not including, 1 (got " + options.tolerance + ")");
    ws.PeriodsPerYear = static_cast<std::int16_t>(ParseWhole(options.periods, "--periods", 1, 32767));

    std::vector<double> flows = ReadCashFlows(options.flows, options.file, in);
    ws.NumPayments = static_cast<std::int16_t>(flows.size() - 1);
    AnalysisStatus status = AnalyseCashFlows(ws, flows);
    if (status != AnalysisStatus::Ok) throw UsageError(AnalysisProblemText(status));

    LocateRoots(ws);  // the options above leave no reason to refuse
    if (options.json) PrintJson(ws, out);
    else PrintText(ws, out);
    return 0;
}

}  // namespace valmora::cli
