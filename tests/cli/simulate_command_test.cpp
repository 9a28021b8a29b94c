#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <algorithm>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#include "cli_runner.h"
#include "core/simulation/random_payments.h"
#include "core/simulation/simulation_run.h"

namespace valmora::cli {
namespace {

using testing::Outcome;
using testing::RunCli;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class Simulate : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string File(const std::string& name) { return (dir / name).string(); }

    std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("valmora-cli-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
};

TEST_F(Simulate, SeededUniformRunIsReproducible) {
    const std::vector<std::string> args = {"simulate",    "--dist",     "uniform", "--p1",        "500",  "--p2",
                                           "1500",        "--payments", "1",       "--sims",      "1000", "--output",
                                           File("a.exp"), "--seed",     "1",       "--resamples", "0"};
    Outcome first = RunCli(args);
    ASSERT_EQ(first.status, 0) << first.err;
    const std::string bytes = ReadFile(File("a.exp"));
    std::istringstream lines(bytes);
    std::string line;
    int count = 0;
    double low = 1, high = -1;
    while (std::getline(lines, line)) {
        ++count;
        ASSERT_EQ(line.back(), '\r');
        const double irr = std::stod(line);
        low = std::min(low, irr);
        high = std::max(high, irr);
    }
    EXPECT_EQ(count, 1000);
    // One payment uniform on [500, 1500) for 1000: IRRs uniform on [-0.5, 0.5).
    EXPECT_GE(low, -0.5);
    EXPECT_LT(high, 0.5);
    EXPECT_LT(low, -0.45);
    EXPECT_GT(high, 0.45);

    ASSERT_EQ(RunCli(args).status, 0);
    EXPECT_EQ(ReadFile(File("a.exp")), bytes);
    auto other = args;
    other[14] = "2";  // the seed
    ASSERT_EQ(RunCli(other).status, 0);
    EXPECT_NE(ReadFile(File("a.exp")), bytes);
}

TEST_F(Simulate, JsonSummary) {
    Outcome o = RunCli({"simulate", "--dist", "normal", "--p1", "400", "--p2", "400", "--payments", "12", "--sims",
                        "300", "--seed", "3", "--choice", "third", "--json"});
    ASSERT_EQ(o.status, 0) << o.err;
    auto j = nlohmann::ordered_json::parse(o.out);
    std::vector<std::string> keys;
    for (auto& [k, v] : j.items()) keys.push_back(k);
    EXPECT_EQ(keys, (std::vector<std::string>{"simulations", "with_irr", "without_irr", "mean", "sd", "min", "p05",
                                              "p50", "p95", "max", "fallbacks", "stopped_early", "missed_roots",
                                              "missed_roots_unknown", "listed_not_roots", "kept_from_exact",
                                              "histogram", "fits", "not_fitted"}));
    EXPECT_EQ(j["simulations"], 300);
    EXPECT_EQ(j["with_irr"].get<int>() + j["without_irr"].get<int>(), 300);
    EXPECT_LE(j["min"].get<double>(), j["p05"].get<double>());
    EXPECT_LE(j["p05"].get<double>(), j["p50"].get<double>());
    EXPECT_LE(j["p50"].get<double>(), j["p95"].get<double>());
    EXPECT_LE(j["p95"].get<double>(), j["max"].get<double>());
    // Series with one IRR cannot give the third lowest: the highest is kept.
    EXPECT_GT(j["fallbacks"].get<int>(), 0);
}

// A coarse increment lets grid steps hold two roots: the summary counts the
// simulations whose search missed some, as the run itself counted them.
TEST_F(Simulate, CountsTheSearchesThatMissedRoots) {
    struct Case {
        const char* increment;
        bool misses;
    };
    for (const Case& c : {Case{"0.9", true}, Case{"0.5", true}, Case{"0.001", false}}) {
        SCOPED_TRACE(c.increment);
        const std::vector<std::string> args = {"simulate",  "--dist", "uniform", "--p1",        "-2000", "--p2",
                                               "2000",      "--sims", "400",     "--payments",  "6",     "--increment",
                                               c.increment, "--seed", "3",       "--resamples", "0"};
        SimulationSettings settings;
        settings.distribution = Distribution::Uniform;
        settings.param1 = -2000;
        settings.param2 = 2000;
        settings.payments = 6;
        settings.simulations = 400;
        settings.search.increment = std::stod(c.increment);
        settings.saveToFile = false;
        struct : RunObserver {
            void SimulationStarted(long, long) override {}
            void SimulationDone(const SimulationStep&) override {}
            void Notice(const std::string&, const std::string&, const SimulationStep&) override {}
        } silent;
        FrozenClock clock;
        RandomPayments random(3, clock);
        const RunOutcome run = RunSimulations(settings, random, silent);
        EXPECT_EQ(run.missedRoots > 0, c.misses) << run.missedRoots;

        auto jsonArgs = args;
        jsonArgs.push_back("--json");
        Outcome json = RunCli(jsonArgs);
        ASSERT_EQ(json.status, 0) << json.err;
        auto j = nlohmann::json::parse(json.out);
        EXPECT_EQ(j["missed_roots"], run.missedRoots);
        EXPECT_EQ(j["missed_roots_unknown"], run.uncounted);
        EXPECT_EQ(j["with_irr"], run.withIrr);
        EXPECT_EQ(j["stopped_early"], run.incompleteScans);
        EXPECT_EQ(j["listed_not_roots"], run.listedNotRoots);
        EXPECT_EQ(j["kept_from_exact"], run.keptFromExact);
        // Where the search missed the lowest root, the kept IRR comes from
        // the exact roots.
        EXPECT_EQ(run.keptFromExact > 0, c.misses) << run.keptFromExact;
        Outcome text = RunCli(args);
        ASSERT_EQ(text.status, 0) << text.err;
        EXPECT_NE(text.out.find("Searches that missed roots: " + std::to_string(run.missedRoots) + " ("),
                  std::string::npos)
            << text.out;
        const std::string kept = "IRRs kept from exact roots: " + std::to_string(run.keptFromExact) + " (";
        EXPECT_EQ(text.out.find(kept) != std::string::npos, run.keptFromExact > 0) << text.out;
    }
}

// Thirty-year monthly series and longer: x^N overflows a double far below
// the bound, and no search stops there.
TEST_F(Simulate, LongSeriesAreSearchedToTheBound) {
    for (const char* payments : {"360", "500"}) {
        SCOPED_TRACE(payments);
        Outcome o = RunCli({"simulate", "--dist", "normal", "--p1", "400", "--p2", "400", "--payments", payments,
                            "--sims", "100", "--seed", "7", "--json"});
        ASSERT_EQ(o.status, 0) << o.err;
        auto j = nlohmann::json::parse(o.out);
        EXPECT_EQ(j["with_irr"], 100);
        EXPECT_EQ(j["stopped_early"], 0);
        EXPECT_EQ(j["missed_roots_unknown"], 0);
    }
}

TEST_F(Simulate, RunWithoutAnyIrr) {
    // Every payment negative: no sign change, no IRR, no line.
    Outcome o = RunCli({"simulate", "--dist", "uniform", "--p1", "-2000", "--p2", "-1000", "--sims", "50", "--output",
                        File("none.exp"), "--json"});
    ASSERT_EQ(o.status, 0) << o.err;
    auto j = nlohmann::json::parse(o.out);
    EXPECT_EQ(j["without_irr"], 50);
    EXPECT_TRUE(j["mean"].is_null());
    EXPECT_EQ(ReadFile(File("none.exp")), "");
    Outcome text = RunCli({"simulate", "--dist", "uniform", "--p1", "-2000", "--p2", "-1000", "--sims", "5"});
    EXPECT_NE(text.out.find("Simulations without an IRR: 5"), std::string::npos) << text.out;
}

TEST_F(Simulate, MoreSimulationsThanTheScreenAllows) {
    Outcome o =
        RunCli({"simulate", "--dist", "exponential", "--p1", "1200", "--sims", "20000", "--json", "--resamples", "0"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(nlohmann::json::parse(o.out)["simulations"], 20000);
}

TEST_F(Simulate, BadInputIsOneLineAndStatusTwo) {
    struct Case {
        std::vector<std::string> args;
        const char* mentions;
    };
    const std::string missing = File("no/such/folder/irrs.exp");
    const Case cases[] = {
        {{}, "Select a distribution"},
        {{"--dist", "gamma"}, "'gamma' is not uniform, normal or exponential"},
        {{"--dist", "uniform", "--p1", "5", "--p2", "5"}, "Enter correct uniform distribution parameters"},
        {{"--dist", "normal", "--p1", "300", "--p2", "400"},
         "Mean must be at least one (1) standard deveiations obove zero"},
        {{"--dist", "normal", "--p1", "-5", "--p2", "1"}, "Enter correct normal distribution parameters"},
        {{"--dist", "exponential", "--p1", "0"}, "Enter correct exponential distribution parameters"},
        {{"--dist", "uniform", "--p1", "-100", "--p2", "0", "--positive-only"}, "Only positive payments"},
        {{"--dist", "uniform", "--p1", "abc", "--p2", "5"}, "--p1: 'abc' is not a number"},
        {{"--dist", "exponential", "--p1", "5", "--investment", "x"}, "--investment"},
        {{"--dist", "exponential", "--p1", "5", "--payments", "0"},
         "--payments must be a whole number from 1 to 32766"},
        {{"--dist", "exponential", "--p1", "5", "--payments", "32767"}, "--payments"},
        {{"--dist", "exponential", "--p1", "5", "--periods", "0"}, "--periods"},
        {{"--dist", "exponential", "--p1", "5", "--sims", "0"}, "--sims"},
        {{"--dist", "exponential", "--p1", "5", "--increment", "0"}, "--increment must be above 0 and below 1 (got 0)"},
        {{"--dist", "exponential", "--p1", "5", "--increment", "1"}, "--increment must be above 0 and below 1 (got 1)"},
        {{"--dist", "exponential", "--p1", "5", "--tolerance", "1"},
         "--tolerance must be from 0 up to, not including, 1 (got 1)"},
        {{"--dist", "exponential", "--p1", "5", "--choice", "fourth"}, "--choice"},
        {{"--dist", "exponential", "--p1", "5", "--seed", "-1"}, "--seed"},
        {{"--dist", "exponential", "--p1", "5", "--output", missing}, missing.c_str()},
        {{"--dist", "exponential", "--p1", "5", "--output", ""}, "--output: the file name is empty"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), "simulate");
        Outcome o = RunCli(args);
        EXPECT_EQ(o.status, 2) << c.mentions;
        EXPECT_TRUE(o.out.empty()) << c.mentions;
        EXPECT_NE(o.err.find(c.mentions), std::string::npos) << o.err;
        EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << "one line: " << o.err;
    }
}

// The options both subcommands take are refused in the same words by both.
TEST_F(Simulate, SharedOptionsAreRefusedAsIrrRefusesThem) {
    const std::vector<std::vector<std::string>> options = {
        {"--increment", "0"}, {"--increment", "1"}, {"--increment", "x"}, {"--tolerance", "-0.1"},
        {"--tolerance", "1"}, {"--periods", "0"},   {"--periods", "1.5"}, {"--periods", "32768"},
    };
    for (const auto& option : options) {
        const Outcome irr = RunCli({"irr", option[0], option[1], "--", "-1000", "1100"});
        const Outcome simulate =
            RunCli({"simulate", "--dist", "normal", "--p1", "400", "--p2", "400", option[0], option[1]});
        EXPECT_EQ(irr.status, 2) << option[0] << " " << option[1];
        EXPECT_EQ(simulate.status, 2) << option[0] << " " << option[1];
        EXPECT_EQ(simulate.err, irr.err);
    }
}

TEST_F(Simulate, WriteFailureIsReported) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    Outcome o =
        RunCli({"simulate", "--dist", "exponential", "--p1", "1200", "--sims", "100000", "--output", "/dev/full"});
    EXPECT_NE(o.status, 0);
    EXPECT_NE(o.err.find("/dev/full"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("No space left on device"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("It holds 0 complete lines."), std::string::npos) << o.err;
}

// A file cut short by the system (here a limit on file sizes, as a full disk
// would) holds only complete lines, as many as the message says.
TEST_F(Simulate, FileCutShortHoldsTheCompleteLinesTheMessageCounts) {
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100'003;  // not at a line's end
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string path = File("cut.exp");
    Outcome o = RunCli(
        {"simulate", "--dist", "exponential", "--p1", "1200", "--sims", "100000", "--seed", "7", "--output", path});
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(o.status, 1) << o.err;
    const std::string text = ReadFile(path);
    ASSERT_FALSE(text.empty());
    EXPECT_LE(text.size(), 100'003u);
    EXPECT_TRUE(text.ends_with("\r\n")) << "ends in a partial line";
    const auto lines = std::count(text.begin(), text.end(), '\n');
    EXPECT_NE(o.err.find("File too large. It holds " + std::to_string(lines) + " complete lines."), std::string::npos)
        << o.err;
    EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << "one line: " << o.err;
}

TEST(SimulateSeed, OnlyDigitsMakeASeed) {
    // The stochastic screen refuses the same seeds with the same words.
    for (const char* bad : {"abc", "-1", "1.5", "9007199254740992", "12 34", "1e3", "+5"}) {
        const Outcome o =
            RunCli({"simulate", "--dist", "normal", "--p1", "400", "--p2", "400", "--sims", "3", "--seed", bad});
        EXPECT_EQ(o.status, 2) << bad;
        EXPECT_EQ(o.err, std::string("valmora-cli: --seed: '") + bad +
                             "' is not a seed: a seed is a whole number from 0 to 9007199254740991 in digits only\n");
    }
    for (const char* good : {"0", "007", " 42 ", "9007199254740991"})
        EXPECT_EQ(RunCli({"simulate", "--dist", "normal", "--p1", "400", "--p2", "400", "--sims", "3", "--seed", good})
                      .status,
                  0)
            << good;
}

TEST(SimulateHelp, DescribesEveryOption) {
    Outcome o = RunCli({"simulate", "--help"});
    EXPECT_EQ(o.status, 0);
    for (const char* opt : {"--dist", "--p1", "--p2", "--investment", "--payments", "--periods", "--positive-only",
                            "--sims", "--increment", "--tolerance", "--choice", "--output", "--seed", "--json"})
        EXPECT_NE(o.out.find(opt), std::string::npos) << opt;
}

class SimulateAtARate : public Simulate {};

TEST_F(SimulateAtARate, EachSimulationsNpvIsWrittenAndSummarised) {
    // Three-payment mixed series from uniform(-4096, 4096): some IRRs below
    // the rate, some NPVs below 0.
    const std::vector<std::string> run = {"simulate", "--dist",      "uniform", "--p1",   "-4096", "--p2",
                                          "4096",     "--payments",  "3",       "--sims", "400",   "--seed",
                                          "11",       "--resamples", "0",       "--rate", "0.1",   "--json"};
    std::vector<std::string> args = run;
    args.insert(args.end(), {"--npv-output", File("npv.txt"), "--output", File("irrs.exp")});
    const Outcome o = RunCli(args);
    ASSERT_EQ(o.status, 0) << o.err;
    const auto j = nlohmann::ordered_json::parse(o.out);
    std::istringstream lines(ReadFile(File("npv.txt")));
    std::vector<double> npvs;
    for (std::string line; std::getline(lines, line);) npvs.push_back(std::stod(line));
    ASSERT_EQ(npvs.size(), 400u);
    const double negative =
        static_cast<double>(std::count_if(npvs.begin(), npvs.end(), [](double v) { return v < 0; }));
    EXPECT_EQ(j["npv"]["p_negative"].get<double>(), negative / 400);
    EXPECT_GT(negative, 0);
    EXPECT_EQ(j["npv"]["rate"].get<double>(), 0.1);
    double sum = 0;
    for (const double v : npvs) sum += v;
    EXPECT_NEAR(j["npv"]["mean"].get<double>(), sum / 400, 1e-9 * std::abs(sum));
    // Each NPV is the series' present value at the rate: the first series's
    // IRR file line and NPV agree in sign with the rate's place.
    std::istringstream irrs(ReadFile(File("irrs.exp")));
    long below = 0, kept = 0;
    for (std::string line; std::getline(irrs, line); ++kept)
        if (std::stod(line) < 0.1) ++below;
    EXPECT_EQ(j["with_irr"].get<long>(), kept);
    EXPECT_EQ(j["p_irr_below_rate"].get<double>(), static_cast<double>(below) / static_cast<double>(kept));
    // The IRR file is the same with or without the rate.
    std::vector<std::string> plain = {
        "simulate", "--dist", "uniform", "--p1", "-4096",       "--p2", "4096",     "--payments",     "3",
        "--sims",   "400",    "--seed",  "11",   "--resamples", "0",    "--output", File("plain.exp")};
    ASSERT_EQ(RunCli(plain).status, 0);
    EXPECT_EQ(ReadFile(File("plain.exp")), ReadFile(File("irrs.exp")));
}

TEST_F(SimulateAtARate, RefusesWhatNoRunCanUse) {
    struct Case {
        std::vector<std::string> extra;
        const char* says;
    };
    const Case cases[] = {
        {{"--npv-output", File("n.txt")}, "valmora-cli: --npv-output needs --rate\n"},
        {{"--rate", "-2"}, "valmora-cli: --rate: the rate must be above -100 % (got -200 %)\n"},
        {{"--rate", "x"}, nullptr},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"simulate", "--dist", "normal", "--p1", "400", "--p2", "400", "--sims", "3"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const Outcome o = RunCli(args);
        EXPECT_EQ(o.status, 2) << o.err;
        if (c.says) { EXPECT_EQ(o.err, c.says); }
    }
}

}  // namespace
}  // namespace valmora::cli
