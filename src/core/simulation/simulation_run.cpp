#include "core/simulation/simulation_run.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/number_format.h"
#include "core/solver/root_location.h"

namespace valmora {
namespace {

// The output file, created empty; every failure names the file and why.
class IrrFile {
public:
    bool Open(const std::string& path, std::string& error) {
        path_ = path;
        if (path.empty()) {
            error = "No IRR output file was chosen.";
            return false;
        }
        std::error_code ec;
        if (std::filesystem::is_fifo(path, ec)) {
            errno = 0;
            return Failed("cannot be created: it is a pipe", error);
        }
        errno = 0;
        out_.open(path, std::ios::binary | std::ios::trunc);
        if (!out_) return Failed("cannot be created", error);
        return true;
    }
    bool Write(double rate, std::string& error) {
        errno = 0;
        out_ << FileNumberText(rate) << "\r\n";
        return out_ ? true : Failed("cannot be written", error);
    }
    bool Close(std::string& error) {
        if (!out_.is_open()) return true;
        errno = 0;
        out_.close();
        return out_ ? true : Failed("cannot be written", error);
    }

private:
    bool Failed(const char* what, std::string& error) {
        error = "The IRR output file " + path_ + " " + what + (errno ? std::string(": ") + std::strerror(errno) : "") + ".";
        return false;
    }

    std::string path_;
    std::ofstream out_;
};

}  // namespace

IrrChoiceResult ChooseIrr(std::span<const double> rates, IrrRule rule) {
    std::vector<double> ranked(rates.begin(), rates.end());
    std::sort(ranked.begin(), ranked.end());
    const std::size_t n = ranked.size();
    switch (rule) {
        case IrrRule::Second: return n >= 2 ? IrrChoiceResult{ranked[1], false} : IrrChoiceResult{ranked[n - 1], true};
        case IrrRule::Third: return n >= 3 ? IrrChoiceResult{ranked[2], false} : IrrChoiceResult{ranked[n - 1], true};
        case IrrRule::Highest: return {ranked[n - 1], false};
        case IrrRule::Lowest: break;
    }
    return {ranked[0], false};
}

std::string MissingIrrNotice(IrrRule rule) {
    return std::string(rule == IrrRule::Second ? "The 2nd IRR does not exist..." : "The 3rd IRR does not exist...") +
           "\rso the largest IRR will be used";
}

RunOutcome RunSimulations(const SimulationSettings& settings, RandomPayments& random, RunObserver& observer,
                          bool keepIrrs) {
    RunOutcome outcome;
    outcome.message = CheckSimulationSettings(settings);
    if (!outcome.message.empty()) {
        outcome.status = RunStatus::BadSettings;
        return outcome;
    }
    IrrFile file;
    const bool save = settings.saveToFile;
    if (save && !file.Open(settings.outputPath, outcome.message)) {
        outcome.status = RunStatus::FileError;
        return outcome;
    }
    double meanIrr = 0.0;
    double prevMeanIrr = 0.0;
    std::vector<double> series;

    const long count = settings.simulations;
    for (long number = 1; number <= count; ++number) {
        observer.SimulationStarted(number, count);
        if (!random.DrawSeries(settings, series)) {
            outcome.status = RunStatus::NoPayment;
            outcome.message = "No acceptable payment could be drawn: almost every draw was below 0.";
            break;
        }
        ++outcome.simulations;
        const CashFlowAnalysis analysis = AnalyseCashFlows(series);
        RootSearch search;
        if (analysis.Ok()) {
            search = LocateRoots(analysis, settings.search);
            if (search.status == ScanStatus::Incomplete) ++outcome.incompleteScans;
        }

        SimulationStep step;
        step.number = number;
        step.series = series;
        step.derivative = analysis.derivative;
        step.rates = search.rates;
        step.meanIrr = meanIrr;
        if (!search.rates.empty()) {
            const auto choice = ChooseIrr(search.rates, settings.irrRule);
            if (choice.fallback) {
                ++outcome.fallbacks;
                if (settings.notifyOtherIrr) observer.Notice(MissingIrrNotice(settings.irrRule), "Note!", step);
            }
            step.kept = true;
            step.keptRate = choice.rate;
            ++outcome.withIrr;
            meanIrr = (step.keptRate + (outcome.withIrr - 1) * prevMeanIrr) / outcome.withIrr;
            prevMeanIrr = meanIrr;
            if (keepIrrs) outcome.kept.push_back(step.keptRate);
            if (save && !file.Write(step.keptRate, outcome.message)) {
                outcome.status = RunStatus::FileError;
                break;
            }
        }
        step.meanIrr = meanIrr;
        observer.SimulationDone(step);
    }
    std::string closeError;
    if (save && !file.Close(closeError) && outcome.status == RunStatus::Complete) {
        outcome.status = RunStatus::FileError;
        outcome.message = closeError;
    }
    return outcome;
}

}  // namespace valmora
