#include "core/simulation/simulation_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <span>
#include <sstream>
#include <chrono>
#include <thread>
#include <sys/stat.h>

#include "scripted_random.h"
#include "core/solver/cash_flow_analysis.h"
#include "core/solver/exact_roots.h"
#include "core/solver/polynomial.h"
#include "core/workspace/workspace_mirror.h"

namespace valmora {
namespace {

using testing::ScriptedRandom;
using testing::UniformFor;

class RecordingObserver : public RunObserver {
public:
    void SimulationStarted(long number, long) override { started.push_back(number); }
    void SimulationDone(const SimulationStep& step) override {
        rateCounts.push_back(static_cast<int>(step.rates.size()));
        keptFlags.push_back(step.kept);
        StoreSimulationStep(ws, step);
    }
    void Notice(const std::string& text, const std::string& title, const SimulationStep& sofar) override {
        notices.push_back(title + "|" + text);
        EXPECT_FALSE(sofar.kept);
        EXPECT_GE(sofar.rates.size(), 1u);
    }

    Workspace ws;  // what the stochastic screen would show after each simulation
    std::vector<long> started;
    std::vector<int> rateCounts;
    std::vector<bool> keptFlags;
    std::vector<std::string> notices;
};

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class SimulationRun : public ::testing::Test {
protected:
    // Series of three payments drawn exactly as given, simulation by simulation.
    void Script(const std::vector<std::vector<double>>& series) {
        for (const auto& s : series)
            for (double p : s) uniforms.push_back(UniformFor(p));
    }
    RunOutcome Run(int choice, bool notify = false, long count = 4) {
        settings.irrRule = static_cast<IrrRule>(choice);
        settings.notifyOtherIrr = notify;
        settings.simulations = count;
        ScriptedRandom random(uniforms);
        return RunSimulations(settings, random, observer, true);
    }
    void SetUp() override {
        // The stochastic screen's defaults (an investment of 1000, negative
        // payments permitted, increment 0.01, tolerance 1E-08, saved), and:
        settings.distribution = Distribution::Uniform;
        settings.param1 = -4096;
        settings.param2 = 4096;
        settings.payments = 3;
        settings.outputPath = (dir / "irrs.exp").string();
        // Rates 0.3, 0.2, 0.1; one rate 0.1; rates 0.2, 0.1; no rate.
        Script({{3600, -4310, 1716}, {1100, 0, 0}, {2300, -1320, 0}, {-500, 0, 0}});
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("valmora-run-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    std::deque<float> uniforms;
    SimulationSettings settings;
    RecordingObserver observer;
    Workspace& ws = observer.ws;
};

std::vector<double> Lines(const std::string& file) {
    std::vector<double> values;
    std::istringstream in(file);
    std::string line;
    while (std::getline(in, line, '\n')) {
        EXPECT_GE(line.size(), 3u);
        EXPECT_EQ(line.back(), '\r');
        EXPECT_EQ(line[line.size() - 2], ' ') << "a trailing blank";
        EXPECT_TRUE(line[0] == ' ' || line[0] == '-') << "a blank or a sign first";
        values.push_back(std::stod(line));
    }
    return values;
}

TEST_F(SimulationRun, MultipleIrrRule) {
    struct Case {
        int choice;
        std::vector<double> kept;
        long fallbacks;
        std::vector<std::string> notices;
    };
    const std::string second = "Note!|The 2nd IRR does not exist...\rso the largest IRR will be used";
    const std::string third = "Note!|The 3rd IRR does not exist...\rso the largest IRR will be used";
    const Case cases[] = {
        {1, {0.1, 0.1, 0.1}, 0, {}},
        {2, {0.2, 0.1, 0.2}, 1, {second}},
        {3, {0.3, 0.1, 0.2}, 2, {third, third}},
        {4, {0.3, 0.1, 0.2}, 0, {}},
    };
    for (const Case& c : cases) {
        for (bool notify : {false, true}) {
            observer = RecordingObserver();
            RunOutcome outcome = Run(c.choice, notify);
            ASSERT_EQ(outcome.status, RunStatus::Complete) << outcome.message;
            EXPECT_EQ(outcome.simulations, 4);
            EXPECT_EQ(outcome.withIrr, 3);
            EXPECT_EQ(outcome.fallbacks, c.fallbacks);
            EXPECT_EQ(observer.notices, notify ? c.notices : std::vector<std::string>{}) << c.choice;
            EXPECT_EQ(observer.rateCounts, (std::vector<int>{3, 1, 2, 0}));
            EXPECT_EQ(observer.keptFlags, (std::vector<bool>{true, true, true, false}));
            // One line per kept IRR, in simulation order; none for the simulation without one.
            std::vector<double> lines = Lines(ReadFile(settings.outputPath));
            ASSERT_EQ(lines.size(), c.kept.size()) << c.choice;
            double sum = 0;
            for (std::size_t i = 0; i < lines.size(); ++i) {
                EXPECT_NEAR(lines[i], c.kept[i], 1e-7) << c.choice << " line " << i;
                EXPECT_NEAR(lines[i], outcome.kept[i], 1e-14);  // 15 significant digits
                sum += c.kept[i];
            }
            EXPECT_NEAR(ws.MeanIrr, sum / 3, 1e-7);
        }
    }
}

TEST_F(SimulationRun, MeanStartsAfreshAndIsTheMeanOfTheKeptIrrs) {
    ws.MeanIrr = ws.PrevMeanIrr = 99;
    uniforms.clear();
    Script({{-500, 0, 0}, {1100, 0, 0}, {0, 1210, 0}});  // none, 0.1, 0.1
    RunOutcome outcome = Run(1, false, 3);
    EXPECT_EQ(outcome.withIrr, 2);
    EXPECT_NEAR(ws.MeanIrr, 0.1, 1e-9);
}

TEST_F(SimulationRun, ExactFileBytes) {
    uniforms.clear();
    settings.payments = 1;
    settings.investment = 1;
    settings.param1 = 0;
    settings.param2 = 8;
    // Payments 2 and 4: x = 0.5 and 0.25, rates 1 and 3; 0.5 gives x = 2, a rate of -0.5.
    uniforms = {0.25f, 0.5f, 0.0625f};
    RunOutcome outcome = Run(1, false, 3);
    ASSERT_EQ(outcome.status, RunStatus::Complete);
    EXPECT_EQ(ReadFile(settings.outputPath), " 1 \r\n 3 \r\n-0.5 \r\n");
}

TEST_F(SimulationRun, StoppedAfterAnySimulationTheFileHoldsItsCompleteLines) {
    // Kept rates 0.1, 0.1, 0.1 and none; stop asked after simulation `after`.
    struct Stopper : RecordingObserver {
        long after = 0;
        bool StopRequested() override { return static_cast<long>(started.size()) >= after; }
    };
    for (long after : {1L, 2L, 3L, 4L}) {
        SCOPED_TRACE(after);
        Stopper stopper;
        stopper.after = after;
        ScriptedRandom random(uniforms);
        settings.simulations = 4;
        const RunOutcome outcome = RunSimulations(settings, random, stopper, true);
        EXPECT_EQ(outcome.status, RunStatus::Complete);
        EXPECT_EQ(outcome.simulations, after);
        EXPECT_EQ(outcome.stopped, after < 4);  // after the last one there is nothing to stop
        EXPECT_EQ(stopper.started.size(), static_cast<std::size_t>(after));
        const long kept = std::min(after, 3L);
        EXPECT_EQ(outcome.withIrr, kept);
        EXPECT_EQ(outcome.kept.size(), static_cast<std::size_t>(kept));
        const std::string bytes = ReadFile(settings.outputPath);
        EXPECT_EQ(Lines(bytes).size(), static_cast<std::size_t>(kept));
        EXPECT_TRUE(bytes.empty() || bytes.substr(bytes.size() - 2) == "\r\n");
    }
}

TEST_F(SimulationRun, LinesReachTheFileWhileTheRunGoesOn) {
    // The observer holds the run after each simulation until the file shows
    // that simulation's line, as a run killed then would leave it: a long
    // simulation never keeps the lines before it from the disk.
    struct Waiting : RecordingObserver {
        std::string path;
        std::vector<std::size_t> linesSeen;
        void SimulationDone(const SimulationStep& step) override {
            RecordingObserver::SimulationDone(step);
            const std::size_t expected = std::min<std::size_t>(static_cast<std::size_t>(step.number), 3);
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            std::size_t lines = 0;
            while ((lines = Lines(ReadFile(path)).size()) < expected && std::chrono::steady_clock::now() < deadline)
                std::this_thread::yield();
            linesSeen.push_back(lines);
        }
    };
    Waiting waiting;
    waiting.path = settings.outputPath;
    ScriptedRandom random(uniforms);
    settings.simulations = 4;
    EXPECT_EQ(RunSimulations(settings, random, waiting).status, RunStatus::Complete);
    EXPECT_EQ(waiting.linesSeen, (std::vector<std::size_t>{1, 2, 3, 3}));
}

TEST_F(SimulationRun, PeriodsPerYearScaleTheRate) {
    uniforms.clear();
    settings.payments = 1;
    settings.investment = 1;
    settings.param1 = 0;
    settings.param2 = 2;
    settings.search.periodsPerYear = 12;
    uniforms = {static_cast<float>(1.01 / 2)};  // payment 1.01: x = 1/1.01
    Run(1, false, 1);
    EXPECT_NEAR(ws.ChosenRate, 0.12, 1e-6);
}

TEST_F(SimulationRun, NotSavingTouchesNoFile) {
    settings.saveToFile = false;
    RunOutcome outcome = Run(1);
    EXPECT_EQ(outcome.status, RunStatus::Complete);
    EXPECT_FALSE(std::filesystem::exists(settings.outputPath));
}

TEST_F(SimulationRun, FileProblemsStopTheRunAndNameTheFile) {
    settings.outputPath = (dir / "missing" / "irrs.exp").string();
    RunOutcome outcome = Run(1);
    EXPECT_EQ(outcome.status, RunStatus::FileError);
    EXPECT_NE(outcome.message.find(settings.outputPath), std::string::npos) << outcome.message;
    EXPECT_NE(outcome.message.find("No such file or directory"), std::string::npos) << outcome.message;
    EXPECT_TRUE(observer.started.empty());

    // A pipe would keep the run waiting for a reader.
    const std::string pipe = (dir / "pipe").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    settings.outputPath = pipe;
    outcome = Run(1);
    EXPECT_EQ(outcome.status, RunStatus::FileError);
    EXPECT_NE(outcome.message.find("it is a pipe"), std::string::npos) << outcome.message;

    if (std::filesystem::exists("/dev/full")) {
        settings.outputPath = "/dev/full";
        outcome = Run(1);
        EXPECT_EQ(outcome.status, RunStatus::FileError);
        EXPECT_NE(outcome.message.find("No space left on device"), std::string::npos) << outcome.message;
    }
}

TEST_F(SimulationRun, LongSeriesUseEveryTerm) {
    // 150 payments of 10 for 1000: the rate solves the whole polynomial.
    settings.payments = 150;
    settings.saveToFile = false;
    uniforms = std::deque<float>(150, UniformFor(10));
    Run(1, false, 1);
    ASSERT_EQ(ws.RootCount, 1);
    const double x = 1 / (1 + ws.ChosenRate);
    EXPECT_NEAR(EvalTerms(ws.PolyCoef, 151, x), 0.0, 1e-6);
}

TEST_F(SimulationRun, SameSeedSameFile) {
    settings.distribution = Distribution::Normal;
    settings.param1 = 400;
    settings.param2 = 400;
    settings.payments = 12;
    std::string files[2];
    for (std::string& file : files) {
        FrozenClock clock;
        RandomPayments random(42, clock);
        settings.simulations = 200;
        ASSERT_EQ(RunSimulations(settings, random, observer).status, RunStatus::Complete);
        file = ReadFile(settings.outputPath);
    }
    EXPECT_EQ(files[0], files[1]);
    EXPECT_GT(files[0].size(), 1000u);
}

TEST_F(SimulationRun, CountsTheSimulationsWhoseScanMissedRoots) {
    // For an investment of 400: -400 + 2480x - 4080x^2 + 720x^3 = 80 (3x - 1)^2 (x - 5). The
    // double root x = 1/3 (rate 2) lies between grid points with no sign change; only x = 5
    // (rate -0.8) is listed.
    const std::vector<double> doubleRoot = {2480, -4080, 720};
    const std::vector<double> oneRate = {1100, 0, 0};
    const std::vector<double> noRate = {-500, 0, 0};
    struct Case {
        std::vector<std::vector<double>> series;
        long missed;
        long withIrr;
    };
    const Case cases[] = {
        {{doubleRoot}, 1, 1},
        {{oneRate}, 0, 1},
        {{doubleRoot, oneRate, doubleRoot, noRate}, 2, 3},
        {{oneRate, noRate}, 0, 1},
    };
    settings.investment = 400;
    settings.saveToFile = false;
    for (const Case& c : cases) {
        uniforms.clear();
        Script(c.series);
        observer = RecordingObserver();
        const RunOutcome outcome = Run(1, false, static_cast<long>(c.series.size()));
        ASSERT_EQ(outcome.status, RunStatus::Complete) << outcome.message;
        EXPECT_EQ(outcome.missedRoots, c.missed) << c.series.size();
        EXPECT_EQ(outcome.withIrr, c.withIrr) << c.series.size();
        EXPECT_EQ(outcome.incompleteScans, 0);
        if (c.series.size() == 1 && c.missed == 1) { EXPECT_NEAR(outcome.kept.at(0), -0.8, 1e-9); }
    }
}

// The run's count against exact root counting of every series drawn: a
// search missed roots when f has more distinct roots in (0, UpperBound] than
// it listed.
TEST_F(SimulationRun, MissedRootsAgreeWithAnExactCount) {
    struct Counter : RunObserver {
        void SimulationStarted(long, long) override {}
        void SimulationDone(const SimulationStep& step) override {
            const CashFlowAnalysis analysis =
                AnalyseCashFlows(std::vector<double>(step.series.begin(), step.series.end()));
            if (!analysis.Ok()) return;
            const ExactPolynomial exact(analysis.coefficients);
            if (exact.CountIn(0.0, analysis.upperBound) > static_cast<int>(step.rates.size())) ++missed;
        }
        void Notice(const std::string&, const std::string&, const SimulationStep&) override {}
        long missed = 0;
    };
    settings.param1 = -2000;
    settings.param2 = 2000;
    settings.payments = 6;
    settings.simulations = 500;
    settings.saveToFile = false;
    for (double increment : {0.9, 0.3, 0.01}) {
        SCOPED_TRACE(increment);
        settings.search.increment = increment;
        Counter counter;
        FrozenClock clock;
        RandomPayments random(11, clock);
        const RunOutcome outcome = RunSimulations(settings, random, counter);
        ASSERT_EQ(outcome.status, RunStatus::Complete);
        EXPECT_EQ(outcome.missedRoots, counter.missed);
        EXPECT_EQ(outcome.uncounted, 0);
        EXPECT_EQ(outcome.missedRoots > 0, increment > 0.1) << outcome.missedRoots;
    }
}

TEST_F(SimulationRun, TheReferenceSearchKeepsTheSameIrrs) {
    settings.distribution = Distribution::Normal;
    settings.param1 = 400;
    settings.param2 = 400;
    settings.payments = 12;
    settings.simulations = 300;
    settings.saveToFile = false;
    RunOutcome outcomes[2];
    const RootLocator locators[2] = {LocateRoots, LocateRootsReference};
    for (int i = 0; i < 2; ++i) {
        FrozenClock clock;
        RandomPayments random(7, clock);
        outcomes[i] = RunSimulations(settings, random, observer, true, locators[i]);
        ASSERT_EQ(outcomes[i].status, RunStatus::Complete);
    }
    EXPECT_EQ(outcomes[0].kept, outcomes[1].kept);  // bit for bit
    EXPECT_EQ(outcomes[0].withIrr, outcomes[1].withIrr);
    EXPECT_GT(outcomes[0].withIrr, 250);
    EXPECT_EQ(outcomes[1].missedRoots, 0);  // the reference search takes no census
}

// A listed IRR set that misses roots does not choose: the rule picks among
// every root in range. For an investment of 1000 the series below has roots
// x = 0.7025 and 0.7065 within one grid step and x = 2; the scan lists only
// x = 2 (rate -0.5), yet the highest IRR is that of x = 0.7025.
TEST_F(SimulationRun, KeepsTheRulesRootWhenTheListIsIncomplete) {
    const std::vector<double> pair = {3338.91552734375, -3434.30224609375, 1007.42236328125};
    uniforms.clear();
    Script({pair});
    settings.saveToFile = false;
    const RunOutcome outcome = Run(4, false, 1);  // "Highest IRR"
    ASSERT_EQ(outcome.status, RunStatus::Complete);
    EXPECT_EQ(observer.rateCounts, std::vector<int>{1});
    EXPECT_EQ(outcome.missedRoots, 1);
    EXPECT_EQ(outcome.keptFromExact, 1);
    const std::vector<double> series = {-1000, pair[0], pair[1], pair[2]};
    const auto roots = ExactPolynomial(series).Roots(0, 2);
    ASSERT_EQ(roots.size(), 3u);
    ASSERT_EQ(outcome.kept.size(), 1u);
    EXPECT_EQ(outcome.kept[0], RateFromRoot(roots[0].x, 1));  // the highest rate, to full precision
    EXPECT_NEAR(outcome.kept[0], 0.42346, 1e-5);
}

// Thirty years of monthly payments, and 500: no search stops short (where
// x^n overflows a double the search goes on with F's own signs), and every
// kept IRR is the lowest of the exact roots in range, to the tolerance the
// listed rates are refined to.
TEST_F(SimulationRun, LongSeriesKeepTheRulesTrueRoot) {
    struct Check : RunObserver {
        void SimulationStarted(long, long) override {}
        void SimulationDone(const SimulationStep& step) override {
            const CashFlowAnalysis a = AnalyseCashFlows(std::vector<double>(step.series.begin(), step.series.end()));
            ASSERT_TRUE(a.Ok());
            std::vector<double> rates;
            for (const auto& root : ExactPolynomial(a.coefficients).Roots(0, a.upperBound))
                if (root.x > 0) rates.push_back(RateFromRoot(root.x, 1));
            ASSERT_EQ(step.kept, !rates.empty());
            if (!step.kept) return;
            const double lowest = ChooseIrr(rates, IrrRule::Lowest).rate;
            EXPECT_NEAR(step.keptRate, lowest, 1e-7 * (1 + std::fabs(lowest))) << "simulation " << step.number;
            ++checked;
        }
        void Notice(const std::string&, const std::string&, const SimulationStep&) override {}
        int checked = 0;
    };
    settings.distribution = Distribution::Normal;
    settings.param1 = 400;
    settings.param2 = 400;
    settings.saveToFile = false;
    settings.simulations = 12;
    for (int n : {360, 500}) {
        SCOPED_TRACE(n);
        settings.payments = n;
        Check check;
        FrozenClock clock;
        RandomPayments random(2026, clock);
        const RunOutcome outcome = RunSimulations(settings, random, check);
        ASSERT_EQ(outcome.status, RunStatus::Complete);
        EXPECT_EQ(outcome.incompleteScans, 0);
        EXPECT_EQ(check.checked, outcome.withIrr);
    }
}

// Every observer call of a run as text, every number to the bit.
class Transcript : public RunObserver {
public:
    explicit Transcript(long stopAfter) : stopAfter_(stopAfter) { text_ << std::hexfloat; }
    void SimulationStarted(long number, long count) override { text_ << "started " << number << "/" << count << "\n"; }
    void SimulationDone(const SimulationStep& step) override {
        ++done_;
        text_ << "done " << step.number << " mean " << step.meanIrr;
        if (step.kept) text_ << " kept " << step.keptRate << (step.keptFromExact ? " exact" : "");
        Numbers("series", step.series);
        Numbers("derivative", step.derivative);
        Numbers("rates", step.rates);
        text_ << "\n";
    }
    void Notice(const std::string& text, const std::string& title, const SimulationStep& sofar) override {
        text_ << "notice " << sofar.number << " " << title << " " << text << " mean " << sofar.meanIrr << "\n";
    }
    bool StopRequested() override {
        text_ << "stop?\n";
        return stopAfter_ > 0 && done_ >= stopAfter_;
    }
    std::string Text() const { return text_.str(); }

private:
    void Numbers(const char* name, std::span<const double> values) {
        text_ << " " << name;
        for (double v : values) text_ << " " << v;
    }

    long stopAfter_;
    long done_ = 0;
    std::ostringstream text_;
};

// A seeded generator that runs dry: after `uniforms` draws every uniform is
// 0, a payment no run without negative payments accepts.
class RunningDry : public RandomPayments {
public:
    RunningDry(std::uint64_t seed, Clock& clock, long uniforms) : RandomPayments(seed, clock), left_(uniforms) {}
    float NextUniform() override { return left_-- > 0 ? RandomPayments::NextUniform() : 0.0f; }

private:
    long left_;
};

// The searches on one thread or several: the same series, IRRs, notices,
// counts and file bytes, whatever the run meets. Uniform payments in
// [-2000, 2000] give series with several IRRs; an increment of 0.9 makes
// the scan miss roots, so that some IRRs come from the exact roots; the
// second IRR often does not exist, so notices come.
TEST_F(SimulationRun, EveryThreadCountGivesTheSameRun) {
    struct Case {
        const char* what;
        int payments;
        long count;  // simulations asked for
        IrrRule rule;
        long stopAfter;      // 0: no stop
        bool allowNegative;  // false with a generator running dry
        long dryAfter;       // uniforms before the generator runs dry; 0: never
        RunStatus status;
        long simulations;  // simulations run; -1: not known beforehand
    };
    const Case cases[] = {
        {"complete", 6, 400, IrrRule::Second, 0, true, 0, RunStatus::Complete, 400},
        {"stopped in the middle", 6, 400, IrrRule::Second, 250, true, 0, RunStatus::Complete, 250},
        {"stopped after the first", 6, 400, IrrRule::Third, 1, true, 0, RunStatus::Complete, 1},
        {"stopped before the last", 6, 400, IrrRule::Highest, 399, true, 0, RunStatus::Complete, 399},
        {"no payment in the middle", 6, 400, IrrRule::Lowest, 0, false, 1200, RunStatus::NoPayment, -1},
        // Exact roots of long series: integers beyond a machine word on
        // every worker.
        {"long series", 60, 60, IrrRule::Lowest, 0, true, 0, RunStatus::Complete, 60},
    };
    settings.param1 = -2000;
    settings.param2 = 2000;
    settings.search.increment = 0.9;
    settings.notifyOtherIrr = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        settings.payments = c.payments;
        settings.simulations = c.count;
        settings.irrRule = c.rule;
        settings.allowNegativePayments = c.allowNegative;
        std::string transcripts[3], files[3];
        RunOutcome outcomes[3];
        const int threadCounts[3] = {1, 2, 8};
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(threadCounts[i]);
            FrozenClock clock;
            RunningDry random(2027, clock, c.dryAfter > 0 ? c.dryAfter : std::numeric_limits<long>::max());
            Transcript transcript(c.stopAfter);
            outcomes[i] = RunSimulations(settings, random, transcript, true, LocateRoots, threadCounts[i]);
            transcripts[i] = transcript.Text();
            files[i] = ReadFile(settings.outputPath);
            const RunOutcome& o = outcomes[i];
            EXPECT_EQ(o.status, c.status) << o.message;
            if (c.simulations > 0) { EXPECT_EQ(o.simulations, c.simulations); }
            EXPECT_EQ(o.stopped, c.stopAfter > 0);
            EXPECT_EQ(Lines(files[i]).size(), static_cast<std::size_t>(o.withIrr));
        }
        const RunOutcome& one = outcomes[0];
        if (c.payments == 60) { EXPECT_GT(one.keptFromExact, 5) << one.keptFromExact; }
        if (c.payments == 6 && c.stopAfter == 0 && c.dryAfter == 0) {
            // What the case is there for.
            EXPECT_GT(one.fallbacks, 20) << one.fallbacks;
            EXPECT_GT(one.keptFromExact, 5) << one.keptFromExact;
            EXPECT_GT(one.missedRoots, 5) << one.missedRoots;
        }
        if (c.dryAfter > 0) { EXPECT_GT(one.simulations, 10); }
        for (int i = 1; i < 3; ++i) {
            SCOPED_TRACE(threadCounts[i]);
            EXPECT_TRUE(transcripts[i] == transcripts[0]) << "the observer calls differ";
            EXPECT_TRUE(files[i] == files[0]) << "the files differ";
            const RunOutcome& o = outcomes[i];
            EXPECT_EQ(o.message, one.message);
            EXPECT_EQ(o.simulations, one.simulations);
            EXPECT_EQ(o.withIrr, one.withIrr);
            EXPECT_EQ(o.fallbacks, one.fallbacks);
            EXPECT_EQ(o.incompleteScans, one.incompleteScans);
            EXPECT_EQ(o.stalledScans, one.stalledScans);
            EXPECT_EQ(o.workLimitScans, one.workLimitScans);
            EXPECT_EQ(o.overflowScans, one.overflowScans);
            EXPECT_EQ(o.missedRoots, one.missedRoots);
            EXPECT_EQ(o.listedNotRoots, one.listedNotRoots);
            EXPECT_EQ(o.uncounted, one.uncounted);
            EXPECT_EQ(o.keptFromExact, one.keptFromExact);
            EXPECT_EQ(o.kept, one.kept);
        }
    }
}

TEST_F(SimulationRun, RefusesSettingsNoRunCanUse) {
    settings.search.increment = 0;
    EXPECT_EQ(Run(1).status, RunStatus::BadSettings);
    settings.search.increment = 0.01;
    EXPECT_EQ(Run(1, false, 0).status, RunStatus::BadSettings);
}

TEST_F(SimulationRun, StopsWhenNoPaymentCanBeDrawn) {
    settings.param1 = -100;
    settings.param2 = -1;
    settings.allowNegativePayments = false;
    FrozenClock clock;
    RandomPayments random(1, clock);
    settings.simulations = 5;
    RunOutcome outcome = RunSimulations(settings, random, observer);
    EXPECT_EQ(outcome.status, RunStatus::NoPayment);
    EXPECT_EQ(outcome.simulations, 0);
}

}  // namespace
}  // namespace valmora
