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

std::string CheckSettings(const Workspace& ws, long count) {
    if (count < 1) return "The number of simulations must be at least 1.";
    if (ws.SimNumPayments < 1) return "The number of payments must be at least 1.";
    if (ws.PeriodsPerYear < 1) return "The periods per year must be at least 1.";
    if (!(ws.Increment > 0 && ws.Increment < 1)) return "The increment must be above 0 and below 1.";
    if (!(ws.Tolerance >= 0 && ws.Tolerance < 1)) return "The tolerance must be from 0 up to 1.";
    return "";
}

}  // namespace

IrrChoiceResult ChooseIrr(std::span<const double> rates, int choice) {
    std::vector<double> ranked(rates.begin(), rates.end());
    std::sort(ranked.begin(), ranked.end());
    const std::size_t n = ranked.size();
    switch (choice) {
        case 2: return n >= 2 ? IrrChoiceResult{ranked[1], false} : IrrChoiceResult{ranked[n - 1], true};
        case 3: return n >= 3 ? IrrChoiceResult{ranked[2], false} : IrrChoiceResult{ranked[n - 1], true};
        case 4: return {ranked[n - 1], false};
        default: return {ranked[0], false};
    }
}

std::string MissingIrrNotice(int choice) {
    return std::string(choice == 2 ? "The 2nd IRR does not exist..." : "The 3rd IRR does not exist...") +
           "\rso the largest IRR will be used";
}

RunOutcome RunSimulations(Workspace& ws, RandomPayments& random, RunObserver& observer, long count,
                          bool keepIrrs) {
    RunOutcome outcome;
    outcome.message = CheckSettings(ws, count);
    if (!outcome.message.empty()) {
        outcome.status = RunStatus::BadSettings;
        return outcome;
    }
    IrrFile file;
    const bool save = ws.SaveToFile == 1;
    if (save && !file.Open(ws.OutputPath, outcome.message)) {
        outcome.status = RunStatus::FileError;
        return outcome;
    }
    ws.MeanIrr = ws.PrevMeanIrr = 0.0;

    for (long number = 1; number <= count; ++number) {
        observer.SimulationStarted(number, count);
        if (!random.DrawSeries(ws)) {
            outcome.status = RunStatus::NoPayment;
            outcome.message = "No acceptable payment could be drawn: almost every draw was below 0.";
            break;
        }
        ++outcome.simulations;
        ws.RootCount = 0;
        ws.IrrList.assign(1, 0.0);
        if (AnalyseCashFlows(ws) == AnalysisStatus::Ok &&
            LocateRoots(ws).status == ScanStatus::Incomplete)
            ++outcome.incompleteScans;

        const bool kept = ws.RootCount > 0;
        if (kept) {
            const auto choice =
                ChooseIrr(std::span<const double>(ws.IrrList).subspan(1, ws.RootCount), ws.IrrChoice);
            if (choice.fallback) {
                ++outcome.fallbacks;
                if (ws.NotifyOtherIrr) observer.Notice(MissingIrrNotice(ws.IrrChoice), "Note!");
            }
            ws.ChosenRate = choice.rate;
            ++outcome.withIrr;
            ws.MeanIrr = (ws.ChosenRate + (outcome.withIrr - 1) * ws.PrevMeanIrr) / outcome.withIrr;
            ws.PrevMeanIrr = ws.MeanIrr;
            if (keepIrrs) outcome.kept.push_back(ws.ChosenRate);
            if (save && !file.Write(ws.ChosenRate, outcome.message)) {
                outcome.status = RunStatus::FileError;
                break;
            }
        }
        observer.SimulationDone(ws, number, kept);
    }
    std::string closeError;
    if (save && !file.Close(closeError) && outcome.status == RunStatus::Complete) {
        outcome.status = RunStatus::FileError;
        outcome.message = closeError;
    }
    return outcome;
}

}  // namespace valmora
