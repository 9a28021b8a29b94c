#include "cli/simulate_command.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <fstream>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <chrono>
#include <cmath>
#include <csignal>
#include <ostream>
#include <random>

#include <signal.h>
#include <unistd.h>

#include "cli/distribution_report.h"
#include "cli/json_numbers.h"
#include "cli/options.h"
#include "core/statistics/summary.h"
#include "cli/usage_error.h"
#include "core/decision/decision.h"
#include "core/reporting/results_csv.h"
#include "core/simulation/seed.h"
#include "core/solver/number_format.h"
#include "core/simulation/limits.h"
#include "core/simulation/random_payments.h"
#include "core/simulation/setup_check.h"
#include "core/simulation/simulation_run.h"

namespace valmora::cli {
namespace {

// A message of the screens, with its lines joined into one.
std::string OneLine(std::string message) {
    for (char& c : message)
        if (c == '\r') c = ' ';
    return message;
}

// Draws "[#####.....]  45%  450/1000" on the terminal at most ten times a second.
// The signal that asked the run to end (Ctrl-C's SIGINT, SIGTERM, SIGHUP), 0 for none.
volatile std::sig_atomic_t interrupted = 0;

// Catches Ctrl-C, SIGTERM and SIGHUP for the life of the run: the run then
// ends after the simulation going, its summary printed and its file whole.
// A signal the program was started with ignored (Ctrl-C in the background,
// nohup) stays ignored.
class InterruptCatcher {
public:
    InterruptCatcher() {
        interrupted = 0;
        for (std::size_t k = 0; k < std::size(kSignals); ++k) {
            sigaction(kSignals[k], nullptr, &previous_[k]);
            if (previous_[k].sa_handler == SIG_IGN) continue;
            struct sigaction action {};
            action.sa_handler = [](int signal) { interrupted = signal; };
            sigemptyset(&action.sa_mask);
            sigaction(kSignals[k], &action, nullptr);
        }
    }
    ~InterruptCatcher() {
        for (std::size_t k = 0; k < std::size(kSignals); ++k) sigaction(kSignals[k], &previous_[k], nullptr);
    }
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;

private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction previous_[std::size(kSignals)]{};
};

// The exit status of a run ended by a signal, as shells report it: 130 for
// Ctrl-C, 143 for SIGTERM, 129 for SIGHUP.
int InterruptedStatus(int signal) { return 128 + signal; }

// "Ctrl-C", "SIGTERM", "SIGHUP".
const char* SignalName(int signal) {
    switch (signal) {
        case SIGTERM: return "SIGTERM";
        case SIGHUP: return "SIGHUP";
        default: return "Ctrl-C";
    }
}

class ProgressBar : public RunObserver {
public:
    ProgressBar(std::ostream& err, bool show) : err_(err), show_(show) {}
    ~ProgressBar() override {
        if (drawn_) err_ << "\r" << std::string(60, ' ') << "\r" << std::flush;
    }
    void SimulationStarted(long number, long count) override {
        if (!show_) return;
        const auto now = std::chrono::steady_clock::now();
        if (drawn_ && number != count && now - last_ < std::chrono::milliseconds(100)) return;
        last_ = now;
        drawn_ = true;
        const int filled = static_cast<int>(30 * number / count);
        err_ << "\r[" << std::string(filled, '#') << std::string(30 - filled, '.') << "] " << (100 * number / count)
             << "%  " << number << "/" << count << std::flush;
    }
    void SimulationDone(const SimulationStep&) override {}
    void Notice(const std::string&, const std::string&, const SimulationStep&) override {}
    // Ctrl-C ends the run after the simulation going.
    bool StopRequested() override { return interrupted != 0; }

private:
    std::ostream& err_;
    bool show_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point last_{};
};

Distribution DistributionOf(const std::string& name) {
    if (name.empty()) throw UsageError("Select a distribution: --dist uniform, normal or exponential");
    if (name == "uniform") return Distribution::Uniform;
    if (name == "normal") return Distribution::Normal;
    if (name == "exponential") return Distribution::Exponential;
    throw UsageError("--dist: '" + name + "' is not uniform, normal or exponential");
}

IrrRule RuleOf(const std::string& name) {
    if (name == "lowest") return IrrRule::Lowest;
    if (name == "second") return IrrRule::Second;
    if (name == "third") return IrrRule::Third;
    if (name == "highest") return IrrRule::Highest;
    throw UsageError("--choice: '" + name + "' is not lowest, second, third or highest");
}

// The settings of the run, checked by the rules of the screens.
SimulationSettings Settings(const SimulateOptions& o) {
    SimulationSettings s;
    s.distribution = DistributionOf(o.dist);
    // Parameters given must be numbers; the distribution then says what it needs.
    if (!o.p1.empty()) s.param1 = ParseNumber(o.p1, "--p1");
    if (!o.p2.empty()) s.param2 = ParseNumber(o.p2, "--p2");
    const SetupCheck check = CheckSetup(s.distribution, o.p1, o.p2, o.positiveOnly);
    if (!check.ok) throw UsageError(OneLine(check.message));

    s.investment = ParseNumber(o.investment, "--investment");
    s.payments = static_cast<int>(ParseWhole(o.payments, "--payments", 1, kMaxPayments));
    s.search.periodsPerYear = ParsePeriods(o.periods);
    s.allowNegativePayments = !o.positiveOnly;
    s.search.increment = ParseIncrement(o.increment);
    s.search.tolerance = ParseTolerance(o.tolerance);
    s.irrRule = RuleOf(o.choice);
    s.saveToFile = !o.output.empty();
    s.outputPath = o.output;
    s.decimalComma = o.decimalComma;
    if (!o.rate.empty()) {
        s.hurdle = ParseNumber(o.rate, "--rate");
        if (const std::string refused = RateRefusal(*s.hurdle, s.search.periodsPerYear); !refused.empty())
            throw UsageError("--rate: " + refused);
    }
    if (!o.npvOutput.empty() && o.rate.empty()) throw UsageError("--npv-output needs --rate");
    if (o.output == "-") {
        s.outputPath = "standard output";
        s.outputDescriptor = STDOUT_FILENO;
    }
    return s;
}

// Why searches stopped early, e.g. "3 where x no longer grew by the increment".
std::string StopCauses(const RunOutcome& run) {
    std::string causes;
    auto add = [&](long n, const char* why) {
        if (n > 0) causes += (causes.empty() ? "" : ", ") + std::to_string(n) + " " + why;
    };
    add(run.stalledScans, "where x no longer grew by the increment");
    add(run.workLimitScans, "at the work limit");
    add(run.overflowScans, "where F(x) became too large");
    return causes;
}

// With a hurdle rate: the NPVs' summary, the share below 0, and the share
// of kept IRRs below the rate.
struct NpvRun {
    SampleSummary summary;
    double pNegative = 0;
    std::optional<double> pIrrBelow;  // nothing when no simulation kept an IRR
};

std::optional<NpvRun> NpvFigures(const RunOutcome& run, const SimulateOptions& o) {
    if (o.rate.empty() || run.npvs.empty()) return std::nullopt;
    const AmountsSummary amounts = SummariseAmounts(run.npvs);
    if (!amounts.finite) return std::nullopt;
    NpvRun n{*amounts.finite, 0, std::nullopt};
    n.pNegative = static_cast<double>(amounts.negative) / static_cast<double>(run.npvs.size());
    if (run.withIrr > 0) n.pIrrBelow = static_cast<double>(run.irrBelowRate) / static_cast<double>(run.withIrr);
    return n;
}

// One NPV a line, each the shortest decimal that reads back as the same
// double; written whole or the failure said.
void WriteNpvs(const RunOutcome& run, const std::string& path) {
    const std::string text = SeriesCsv(run.npvs);
    const std::string temporary = path + ".part";
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file || std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int cause = errno;
        std::remove(temporary.c_str());
        throw UsageError("--npv-output: cannot write the file '" + path + "': " + std::strerror(cause));
    }
}

void PrintText(const RunOutcome& run, const std::optional<SampleSummary>& s, const SimulateOptions& o, int resamples,
               std::ostream& out) {
    auto rate = [&](double v) { return std::isfinite(v) ? FormatRate(v) : std::string("too large to compute"); };
    out << "Simulations run:            " << run.simulations << "\n";
    out << "Simulations with an IRR:    " << run.withIrr << "\n";
    out << "Simulations without an IRR: " << run.simulations - run.withIrr << "\n";
    if (s) {
        out << "Mean IRR:                   " << rate(s->mean) << "\n";
        out << "Standard deviation:         " << rate(s->sd) << "\n";
        out << "Minimum:                    " << rate(s->min) << "\n";
        out << "5th percentile:             " << rate(s->p05) << "\n";
        out << "Median (50th percentile):   " << rate(s->p50) << "\n";
        out << "95th percentile:            " << rate(s->p95) << "\n";
        out << "Maximum:                    " << rate(s->max) << "\n";
    }
    out << "Largest IRR used instead:   " << run.fallbacks << "\n";
    if (run.incompleteScans > 0)
        out << "Searches stopped early:     " << run.incompleteScans << " (" << StopCauses(run)
            << "; their range beyond was not searched)\n";
    out << "Searches that missed roots: " << run.missedRoots << " (listed fewer IRRs than lie in range)\n";
    if (run.listedNotRoots > 0)
        out << "Searches listing no-roots:  " << run.listedNotRoots
            << " (rounding made F(x) change sign where the series has no root)\n";
    if (run.keptFromExact > 0)
        out << "IRRs kept from exact roots: " << run.keptFromExact
            << " (chosen from every root in range, as the listed IRRs were incomplete or wrong)\n";
    if (run.uncounted > 0)
        out << "Searches not fully counted: " << run.uncounted << " (whether they missed roots could not be decided)\n";
    if (!o.output.empty()) {
        const long none = run.simulations - run.withIrr;
        out << "IRRs written to:            " << (o.output == "-" ? "standard output" : o.output) << ": " << run.withIrr
            << (run.withIrr == 1 ? " line" : " lines") << " written";
        if (none > 0) out << "; " << none << (none == 1 ? " simulation had" : " simulations had") << " no IRR";
        out << "\n";
    }
    if (const auto npv = NpvFigures(run, o)) {
        out << "NPV at rate " << o.rate << ":" << std::string(o.rate.size() < 15 ? 15 - o.rate.size() : 1, ' ')
            << "mean " << FormatBalance(npv->summary.mean) << ", standard deviation " << FormatBalance(npv->summary.sd)
            << "\n";
        out << "Probability NPV < 0:        " << FormatRate(npv->pNegative) << "\n";
        if (npv->pIrrBelow)
            out << "Probability kept IRR < R:   " << FormatRate(*npv->pIrrBelow)
                << " (of the simulations with an IRR)\n";
    }
    PrintDistribution(run.kept, resamples, out);
}

void PrintJson(const RunOutcome& run, const std::optional<SampleSummary>& s, const SimulateOptions& o, int resamples,
               std::ostream& out) {
    nlohmann::ordered_json j;
    auto value = [&](double SampleSummary::*field) {
        return s ? nlohmann::ordered_json((*s).*field) : nlohmann::ordered_json(nullptr);
    };
    j["simulations"] = run.simulations;
    j["with_irr"] = run.withIrr;
    j["without_irr"] = run.simulations - run.withIrr;
    j["mean"] = value(&SampleSummary::mean);
    j["sd"] = value(&SampleSummary::sd);
    j["min"] = value(&SampleSummary::min);
    j["p05"] = value(&SampleSummary::p05);
    j["p50"] = value(&SampleSummary::p50);
    j["p95"] = value(&SampleSummary::p95);
    j["max"] = value(&SampleSummary::max);
    j["fallbacks"] = run.fallbacks;
    j["stopped_early"] = run.incompleteScans;
    j["missed_roots"] = run.missedRoots;
    j["missed_roots_unknown"] = run.uncounted;
    j["listed_not_roots"] = run.listedNotRoots;
    j["kept_from_exact"] = run.keptFromExact;
    if (const auto npv = NpvFigures(run, o)) {
        nlohmann::ordered_json n;
        n["rate"] = ParseNumber(o.rate, "--rate");
        n["mean"] = npv->summary.mean;
        n["sd"] = std::isfinite(npv->summary.sd) ? nlohmann::ordered_json(npv->summary.sd) : nullptr;
        n["p05"] = npv->summary.p05;
        n["p50"] = npv->summary.p50;
        n["p95"] = npv->summary.p95;
        n["p_negative"] = npv->pNegative;
        j["npv"] = n;
        j["p_irr_below_rate"] = npv->pIrrBelow ? nlohmann::ordered_json(*npv->pIrrBelow) : nullptr;
    }
    AddDistributionJson(run.kept, resamples, j);
    WithoutNegativeZero(j);
    out << j.dump(2) << "\n";
}

}  // namespace

CLI::App* AddSimulateCommand(CLI::App& app, SimulateOptions& o) {
    const SimulateOptions kDefaults;
    auto* cmd = app.add_subcommand(
        "simulate", "Draw random payment series and keep one IRR per simulation, optionally writing them to a file");
    cmd->add_option("--dist", o.dist, "Payment distribution (required)")->type_name("uniform|normal|exponential");
    cmd->add_option("--p1", o.p1, "Uniform: lower bound; normal: mean; exponential: mean (1/lambda) (required)")
        ->type_name("NUMBER");
    cmd->add_option("--p2", o.p2, "Uniform: upper bound; normal: standard deviation")->type_name("NUMBER");
    cmd->add_option("--investment", o.investment, "Initial investment, a positive amount for an outflow")
        ->default_str(kDefaults.investment)
        ->type_name("NUMBER");
    cmd->add_option("--payments", o.payments, "Number of payments N per series, 1.." + std::to_string(kMaxPayments))
        ->default_str(kDefaults.payments)
        ->type_name("INTEGER");
    AddPeriodsOption(*cmd, o.periods, " (rates are M x the rate per period)");
    cmd->add_flag("--positive-only", o.positiveOnly, "Draw again every payment below 0");
    cmd->add_option("--sims", o.sims, "Number of simulations, 1.." + std::to_string(kMaxSimulations))
        ->default_str(kDefaults.sims)
        ->type_name("INTEGER");
    AddSearchOptions(*cmd, o.increment, o.tolerance, kDefaults.increment, kDefaults.tolerance);
    cmd->add_option("--choice", o.choice,
                    "Which IRR a simulation with several keeps: lowest, second, third or highest "
                    "(the highest when the one asked for does not exist)")
        ->default_str("lowest")
        ->type_name("lowest|second|third|highest");
    cmd->add_option("--output", o.output,
                    "Write one kept IRR per line to FILE, overwriting it (\"-\": standard output, the summary then "
                    "going to standard error); a simulation without an IRR writes no line")
        ->check(NonEmptyFileName)
        ->type_name("FILE");
    cmd->add_option("--seed", o.seed,
                    "Start the generator from S (digits only, 0 to 9007199254740991), with a frozen clock: the same "
                    "command gives the same file")
        ->type_name("INTEGER");
    cmd->add_option("--resamples", o.resamples,
                    "Resamples of the parametric bootstrap behind each fit's p-value, 0.." +
                        std::to_string(kMaxResamples) + " (0: no p-values)")
        ->default_str(kDefaults.resamples)
        ->type_name("INTEGER");
    cmd->add_flag("--json", o.json, "Print the summary as one JSON object");
    cmd->add_option("--rate", o.rate,
                    "A hurdle rate R (per period, or annual with --periods): each simulation's NPV at R; the summary "
                    "adds the mean NPV, the probability that NPV < 0 and that the kept IRR < R")
        ->type_name("NUMBER");
    cmd->add_option("--npv-output", o.npvOutput, "Write each simulation's NPV at --rate, one per line, to FILE")
        ->type_name("FILE");
    cmd->add_flag("--decimal-comma", o.decimalComma,
                  "Write the IRR lines with a decimal comma (0,1), as the stochastic screen does where the locale "
                  "uses one; the summary keeps the point");
    cmd->footer(
        "Example: valmora-cli simulate --dist normal --p1 400 --p2 400 --payments 72 --sims 10000 --output irrs.exp");
    return cmd;
}

int RunSimulate(const SimulateOptions& o, std::ostream& out, std::ostream& err, bool progress) {
    SimulationSettings settings = Settings(o);
    settings.simulations = ParseWhole(o.sims, "--sims", 1, kMaxSimulations);
    const int resamples = static_cast<int>(ParseWhole(o.resamples, "--resamples", 0, kMaxResamples));

    SystemClock systemClock;
    FrozenClock frozenClock;
    const bool seeded = !o.seed.empty();
    const std::optional<std::uint64_t> typedSeed = seeded ? ParseSeed(o.seed) : std::nullopt;
    if (seeded && !typedSeed) throw UsageError("--seed: " + SeedRefusal(o.seed));
    const std::uint64_t seed =
        seeded ? *typedSeed : (static_cast<std::uint64_t>(std::random_device{}()) << 32) ^ std::random_device{}();
    RandomPayments random(seed, seeded ? static_cast<Clock&>(frozenClock) : systemClock);

    RunOutcome run;
    {
        const InterruptCatcher ctrlC;
        ProgressBar bar(err, progress);
        run = RunSimulations(settings, random, bar, true);
    }
    if (run.status == RunStatus::FileError && run.simulations == 0) throw UsageError(run.message);
    if (run.status == RunStatus::NoPayment) throw UsageError(run.message);
    if (run.status != RunStatus::Complete) {
        err << "valmora-cli: " << run.message << "\n";
        return 1;
    }
    const auto stats = Summarise(run.kept);
    // With the IRR lines on standard output the summary goes to standard error.
    std::ostream& summary = o.output == "-" ? err : out;
    if (!o.npvOutput.empty()) WriteNpvs(run, o.npvOutput);
    if (o.json) PrintJson(run, stats, o, resamples, summary);
    else PrintText(run, stats, o, resamples, summary);
    if (run.stopped) {
        const int signal = interrupted;
        err << "valmora-cli: " << (signal == SIGINT ? "interrupted" : std::string("ended by ") + SignalName(signal))
            << " after " << run.simulations << " of " << settings.simulations << " simulations"
            << (settings.saveToFile ? "; the IRR output holds their complete lines" : "") << "\n";
        return InterruptedStatus(signal);
    }
    return 0;
}

}  // namespace valmora::cli
