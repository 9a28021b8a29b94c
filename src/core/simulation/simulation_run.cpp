#include "core/simulation/simulation_run.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/exact_roots.h"
#include "core/solver/missed_roots.h"
#include "core/solver/number_format.h"
#include "core/solver/root_location.h"

namespace valmora {
namespace {

// The output file, created empty; every failure names the file and why, and
// once lines have been written, how many complete lines the file holds. The
// lines are written in blocks; a block the disk takes only in part is cut
// back to its last complete line, so the file never ends in a partial number.
class IrrFile {
public:
    IrrFile() = default;
    IrrFile(const IrrFile&) = delete;
    IrrFile& operator=(const IrrFile&) = delete;
    ~IrrFile() {
        if (fd_ >= 0) ::close(fd_);
    }

    bool Open(const std::string& path, int descriptor, std::string& error) {
        label_ = (descriptor >= 0 ? "The IRR output to " : "The IRR output file ") + path;
        if (descriptor >= 0) {
            // Its own copy: closing the file leaves the descriptor open.
            errno = 0;
            fd_ = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
            if (fd_ < 0) return Failed("cannot be written", error);
            struct stat info {};
            regular_ = ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
            return true;
        }
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
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd_ < 0) return Failed("cannot be created", error);
        struct stat info {};
        regular_ = ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
        return true;
    }
    bool Write(double rate, std::string& error) {
        pending_ += FileNumberText(rate);
        pending_ += "\r\n";
        return pending_.size() < kBlock || Flush(error);
    }
    // After a failed write nothing more is written; the file stays as reported.
    bool Close(std::string& error) {
        if (fd_ < 0) return true;
        bool ok = failed_ || Flush(error);
        errno = 0;
        if (::close(fd_) != 0 && ok) ok = Failed("cannot be written", error, true);
        fd_ = -1;
        return ok;
    }

private:
    static constexpr std::size_t kBlock = 64 * 1024;

    bool Flush(std::string& error) {
        std::size_t done = 0;
        while (done < pending_.size()) {
            const ssize_t n = ::write(fd_, pending_.data() + done, pending_.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                const int cause = n < 0 ? errno : ENOSPC;
                Account(done);
                // Cut a partial line off the end of a file; a device keeps what it took.
                if (regular_ && written_ != complete_) {
                    if (::ftruncate(fd_, static_cast<off_t>(complete_)) == 0) written_ = complete_;
                }
                pending_.clear();
                failed_ = true;
                errno = cause;
                return Failed("cannot be written", error, true);
            }
            done += static_cast<std::size_t>(n);
        }
        Account(done);
        pending_.clear();
        return true;
    }
    // The first `taken` bytes of the pending lines are in the file.
    void Account(std::size_t taken) {
        for (std::size_t i = 0; i < taken; ++i)
            if (pending_[i] == '\n') {
                ++lines_;
                complete_ = written_ + i + 1;
            }
        written_ += taken;
    }
    bool Failed(const char* what, std::string& error, bool sayLines = false) {
        error = label_ + " " + what + (errno ? std::string(": ") + std::strerror(errno) : "") + ".";
        if (sayLines) {
            error += " It holds " + std::to_string(lines_) + (lines_ == 1 ? " complete line" : " complete lines");
            if (written_ != complete_) error += " and the start of one more";
            error += ".";
        }
        return false;
    }

    std::string label_;  // "The IRR output file PATH", for messages
    int fd_ = -1;
    bool regular_ = false;
    bool failed_ = false;
    std::string pending_;       // lines not yet handed to the file
    std::size_t written_ = 0;   // bytes the file holds
    std::size_t complete_ = 0;  // bytes up to the end of its last complete line
    long lines_ = 0;            // complete lines the file holds
};

}  // namespace

namespace {

// What one search adds to the run's counts.
void CountScan(const RootSearch& search, RunOutcome& outcome) {
    if (search.status == ScanStatus::Incomplete) {
        ++outcome.incompleteScans;
        switch (search.stop) {
            case ScanStop::Stalled: ++outcome.stalledScans; break;
            case ScanStop::WorkBudget: ++outcome.workLimitScans; break;
            case ScanStop::NotFinite: ++outcome.overflowScans; break;
            case ScanStop::None: break;
        }
    }
    const RootCensus& census = search.census;
    // Counted from the census's missed intervals, each certified on its
    // own, so a missed root counts even where the census could not settle
    // the whole range. Roots beyond where a scan stopped are among them.
    if (census.MissedCount() > 0) ++outcome.missedRoots;
    else if (!census.known) ++outcome.uncounted;
    if (!census.NotRoots().empty() || census.UnlistedNotRoots() > 0) ++outcome.listedNotRoots;
}

// The listed rates cannot serve the rule: roots were missed, a listed rate
// is no root, or the search stopped before its bound.
bool NeedsExactRoots(const RootSearch& search) {
    const RootCensus& census = search.census;
    if (!census.taken) return false;
    return search.status == ScanStatus::Incomplete || census.MissedCount() > 0 || !census.NotRoots().empty() ||
           census.UnlistedNotRoots() > 0;
}

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
                          bool keepIrrs, RootLocator locate) {
    RunOutcome outcome;
    outcome.message = CheckSimulationSettings(settings);
    if (!outcome.message.empty()) {
        outcome.status = RunStatus::BadSettings;
        return outcome;
    }
    IrrFile file;
    const bool save = settings.saveToFile;
    if (save && !file.Open(settings.outputPath, settings.outputDescriptor, outcome.message)) {
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
        // The rates the multiple-IRR rule chooses from: the listed ones,
        // unless they are incomplete or wrong.
        const std::vector<double>* candidates = &search.rates;
        std::vector<double> exactRates;
        bool fromExact = false;
        if (analysis.Ok()) {
            search = locate(analysis, settings.search, kScanWorkBudget);
            CountScan(search, outcome);
            if (NeedsExactRoots(search) && analysis.Degree() <= kMaxExactDegree) {
                if (const auto all = AllRootsInRange(analysis, settings.search, search)) {
                    for (const RootInRange& root : *all)
                        if (root.rateFinite) exactRates.push_back(root.rate);
                    candidates = &exactRates;
                    fromExact = true;
                    ++outcome.keptFromExact;
                }
            }
        }

        SimulationStep step;
        step.number = number;
        step.series = series;
        step.derivative = analysis.derivative;
        step.rates = search.rates;
        step.meanIrr = meanIrr;
        step.keptFromExact = fromExact;
        if (!candidates->empty()) {
            const auto choice = ChooseIrr(*candidates, settings.irrRule);
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
        if (number < count && observer.StopRequested()) {
            outcome.stopped = true;
            break;
        }
    }
    std::string closeError;
    if (save && !file.Close(closeError) && outcome.status == RunStatus::Complete) {
        outcome.status = RunStatus::FileError;
        outcome.message = closeError;
    }
    return outcome;
}

}  // namespace valmora
