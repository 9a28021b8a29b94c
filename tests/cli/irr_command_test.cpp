#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "cli_runner.h"
#include "core/solver/text_rules.h"
#include "core/version.h"

namespace valmora::cli {
namespace {

using testing::Outcome;
using testing::RunCli;

nlohmann::ordered_json RunJson(std::vector<std::string> args) {
    args.insert(args.begin(), {"irr", "--json"});
    Outcome o = RunCli(args);
    EXPECT_EQ(o.status, 0) << o.err;
    return nlohmann::ordered_json::parse(o.out);
}

TEST(IrrJson, StartExample) {
    auto j = RunJson({"--", "-1000", "500", "500", "500"});
    EXPECT_EQ(j["max_roots"], 1);
    EXPECT_EQ(j["upper_bound"], 1.0);
    EXPECT_EQ(j["derivative"], nlohmann::ordered_json({500.0, 1000.0, 1500.0}));
    ASSERT_EQ(j["irrs"].size(), 1u);
    EXPECT_NEAR(j["irrs"][0].get<double>(), 0.23375, 5e-6);
    EXPECT_EQ(j["scan_complete"], true);
    EXPECT_TRUE(j["stopped_at"].is_null());
    ASSERT_EQ(j["balances"].size(), 1u);
    EXPECT_EQ(j["balances"][0]["type"], "Simple, pure investment");
    EXPECT_EQ(j["balances"][0]["pb"].size(), 4u);
    std::vector<std::string> keys;
    for (auto& [k, v] : j.items()) keys.push_back(k);
    EXPECT_EQ(keys, (std::vector<std::string>{"payments", "flows", "max_roots", "upper_bound", "derivative", "irrs",
                                              "not_roots", "scan_complete", "stopped_at", "unlisted_roots",
                                              "roots_in_range", "missed", "balances"}));
    EXPECT_EQ(j["payments"], 3);
    EXPECT_EQ(j["flows"], nlohmann::ordered_json({-1000.0, 500.0, 500.0, 500.0}));
    EXPECT_EQ(j["unlisted_roots"], 0);
    EXPECT_EQ(j["roots_in_range"], 1);
    EXPECT_EQ(j["missed"], nlohmann::ordered_json::array());
}

TEST(IrrJson, MixedExample) {
    auto j = RunJson({"--", "-1000", "1300", "-400", "200"});
    EXPECT_EQ(j["max_roots"], 3);
    EXPECT_EQ(j["upper_bound"], 2.0);
    ASSERT_EQ(j["irrs"].size(), 1u);
    EXPECT_NEAR(j["irrs"][0].get<double>(), 0.1017, 5e-5);
    auto pb = j["balances"][0]["pb"];
    EXPECT_NEAR(pb[0].get<double>(), -1000.0, 1e-9);
    EXPECT_NEAR(pb[1].get<double>(), 198.30, 5e-3);
    EXPECT_NEAR(pb[2].get<double>(), -181.54, 5e-3);
    EXPECT_NEAR(pb[3].get<double>(), 0.0, 1e-4);
    EXPECT_EQ(j["balances"][0]["type"], "Nonsimple, mixed");
}

TEST(IrrJson, PeriodsMultiplyTheRates) {
    auto once = RunJson({"--", "-1000", "500", "500", "500"});
    auto monthly = RunJson({"--periods", "12", "--", "-1000", "500", "500", "500"});
    EXPECT_DOUBLE_EQ(monthly["irrs"][0].get<double>(), 12 * once["irrs"][0].get<double>());
    // The balances still use the rate per period.
    EXPECT_EQ(monthly["balances"][0]["pb"], once["balances"][0]["pb"]);
}

TEST(IrrJson, IncompleteScanSaysWhere) {
    // An increment far below the root's x: the grid stalls before reaching it.
    auto j = RunJson({"--increment", "1E-300", "--", "-1000", "1100"});
    EXPECT_EQ(j["scan_complete"], false);
    EXPECT_GT(j["stopped_at"].get<double>(), 0.0);
}

// Rounding of the per-term sum makes F(x) change sign twice near x = 0.33,
// where the series as typed has no root: both rates are listed, named as no
// roots, and no root lies in range.
TEST(IrrJson, NamesTheListedRatesThatStandForNoRoot) {
    const std::vector<std::string> series = {
        "--", "1000", "-5560.606060596878", "7152.433425137463", "-1469.237832878927", "9182.736455435901"};
    auto j = RunJson(series);
    ASSERT_EQ(j["irrs"].size(), 2u);
    EXPECT_EQ(j["not_roots"], j["irrs"]);
    EXPECT_EQ(j["roots_in_range"], 0);
    EXPECT_EQ(j["missed"], nlohmann::ordered_json::array());
    std::vector<std::string> args = series;
    args.insert(args.begin(), "irr");
    Outcome text = RunCli(args);
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("The rates 2.0303 and 2.0303 are listed because rounding makes F(x) change sign there; "
                            "the series as typed has no root in the grid step where each was found."),
              std::string::npos)
        << text.out;
    // A series whose rates are roots says nothing of the kind.
    EXPECT_EQ(RunJson({"--", "-1000", "500", "500", "500"})["not_roots"], nlohmann::ordered_json::array());
}

TEST(IrrText, ShowsWhatTheScreenShows) {
    Outcome o = RunCli({"irr", "--", "-1000", "1300", "-400", "200"});
    ASSERT_EQ(o.status, 0) << o.err;
    for (const char* part : {"Maximum # of positive real roots = 3", "= 2\n", "1st derivative: 1300 -800 600",
                             "    1  0.1017", "-1000.00", "198.30", "-181.54", "Nonsimple, mixed"})
        EXPECT_NE(o.out.find(part), std::string::npos) << part << "\n" << o.out;
}

// -1000 (x - 0.5)(x - 0.505)(x - 2): the first two lie inside one step.
const std::vector<std::string> kPairInOneStep = {"--", "505", "-2262.5", "3005", "-1000"};

// -4 (x - 0.5)^2 (1 + x)^20: F touches 0 at the double root x = 0.5 (rate 1)
// and keeps its sign.
const std::vector<std::string> kDoubleRoot = {"--",      "-1",      "-16",     "-114",    "-460",    "-1045",
                                              "-684",    "3876",    "15504",   "29070",   "25840",   "-16796",
                                              "-100776", "-193154", "-245480", "-232560", "-170544", "-97869",
                                              "-43776",  "-15010",  "-3820",   "-681",    "-76",     "-4"};

std::vector<std::string> With(std::vector<std::string> options, const std::vector<std::string>& flows) {
    options.insert(options.end(), flows.begin(), flows.end());
    return options;
}

TEST(IrrJson, MissedRootsAndAllRootsScaleWithThePeriods) {
    for (int periods : {1, 12}) {
        SCOPED_TRACE(periods);
        auto j = RunJson(With({"--all-roots", "--periods", std::to_string(periods)}, kPairInOneStep));
        EXPECT_EQ(j["roots_in_range"], 3);
        ASSERT_EQ(j["missed"].size(), 1u);
        const auto& m = j["missed"][0];
        EXPECT_EQ(m["count"], 2);
        // The higher rate first: the interval's lower end in x.
        EXPECT_GT(m["from_rate"].get<double>(), periods * 1.0);
        EXPECT_LT(m["to_rate"].get<double>(), periods * (1 / 0.505 - 1));
        // The increment offered lists both: searching with it finds them.
        const double increment = m["separating_increment"].get<double>();
        auto again = RunJson(With({"--increment", GeneralText(increment)}, kPairInOneStep));
        EXPECT_EQ(again["irrs"].size(), 3u);
        EXPECT_EQ(again["missed"], nlohmann::ordered_json::array());

        const auto& all = j["all_roots"];
        ASSERT_EQ(all.size(), 3u);
        const double xs[] = {0.5, 0.505, 2};
        const bool found[] = {false, false, true};
        for (int r = 0; r < 3; ++r) {
            EXPECT_DOUBLE_EQ(all[r]["x"].get<double>(), xs[r]);
            EXPECT_DOUBLE_EQ(all[r]["rate"].get<double>(), periods * (1 / xs[r] - 1));
            EXPECT_EQ(all[r]["found"], found[r]);
        }
    }
}

TEST(IrrJson, ADoubleRootNoIncrementFinds) {
    auto j = RunJson(With({"--all-roots"}, kDoubleRoot));
    EXPECT_EQ(j["irrs"].size(), 0u);
    EXPECT_EQ(j["roots_in_range"], 1);
    ASSERT_EQ(j["missed"].size(), 1u);
    EXPECT_EQ(j["missed"][0]["count"], 1);
    EXPECT_GT(j["missed"][0]["from_rate"].get<double>(), 1.0);
    EXPECT_LT(j["missed"][0]["to_rate"].get<double>(), 1.0);
    EXPECT_TRUE(j["missed"][0]["separating_increment"].is_null());
    ASSERT_EQ(j["all_roots"].size(), 1u);
    EXPECT_DOUBLE_EQ(j["all_roots"][0]["rate"].get<double>(), 1.0);
    EXPECT_EQ(j["all_roots"][0]["found"], false);
    // Without the flag there is no list.
    EXPECT_FALSE(RunJson(kDoubleRoot).contains("all_roots"));
}

TEST(IrrText, SaysWhatTheScanMissedAfterTheRates) {
    Outcome o = RunCli(With({"irr", "--all-roots"}, kPairInOneStep));
    ASSERT_EQ(o.status, 0) << o.err;
    const std::string expected =
        "IRR(s):\n"
        "    1  -0.5\n"
        "  The search missed 2 roots between the rates ";
    EXPECT_NE(o.out.find(expected), std::string::npos) << o.out;
    const std::string all =
        "Every root of F(x) for x = 1/(1 + i) in (0, 4]: 3, in increasing x\n"
        "    #  x                         rate                      scan\n"
        "    1  0.5                       1                         missed\n"
        "    2  0.505                     0.9801980198019802        missed\n"
        "    3  2                         -0.5                      found\n"
        "\nProject balances at IRR 1 = -0.5:";
    EXPECT_NE(o.out.find(all), std::string::npos) << o.out;
    // Only with the flag.
    EXPECT_EQ(RunCli(With({"irr"}, kPairInOneStep)).out.find("Every root"), std::string::npos);

    Outcome touching = RunCli(With({"irr"}, kDoubleRoot));
    EXPECT_NE(touching.out.find("  No IRR was found in the searched range.\n"
                                "  The search missed 1 root between the rates "),
              std::string::npos)
        << touching.out;
    EXPECT_NE(touching.out.find("touches 0"), std::string::npos) << touching.out;
}

TEST(IrrText, RootsWhoseRateIsNoNumber) {
    Outcome o = RunCli({"irr", "--all-roots", "--", "-1e-300", "1e300"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("  1 root lies so near x = 0 that its rate is too large for a number (x rounds to 0): it "
                         "is not listed.\n"),
              std::string::npos)
        << o.out;
    EXPECT_NE(o.out.find("    1  rounds to 0               too large for a number    found\n"), std::string::npos)
        << o.out;
    auto j = RunJson({"--all-roots", "--", "-1e-300", "1e300"});
    EXPECT_EQ(j["unlisted_roots"], 1);
    EXPECT_TRUE(j["all_roots"][0]["rate"].is_null());
    EXPECT_EQ(j["all_roots"][0]["found"], true);
}

TEST(IrrText, SaysWhenNothingWasFoundOrSearched) {
    Outcome none = RunCli({"irr", "--", "-1000", "-500"});
    EXPECT_NE(none.out.find("No IRR was found in the searched range."), std::string::npos) << none.out;
    Outcome cut = RunCli({"irr", "--increment", "1E-300", "--", "-1000", "1100"});
    EXPECT_NE(cut.out.find("The search stopped at x = "), std::string::npos) << cut.out;
    EXPECT_NE(cut.out.find("were not searched"), std::string::npos) << cut.out;
}

TEST(IrrInput, ReadsFilesAndStandardInput) {
    auto fromArgs = RunCli({"irr", "--json", "--", "-1000", "500", "500", "500"});
    auto fromFile = RunCli({"irr", "--json", "--file", std::string(VALMORA_TEST_DATA) + "/start_example.txt"});
    auto fromStdin = RunCli({"irr", "--json", "--file", "-"}, "-1000\n500\n500\n500\n");
    EXPECT_EQ(fromFile.status, 0) << fromFile.err;
    EXPECT_EQ(fromFile.out, fromArgs.out);
    EXPECT_EQ(fromStdin.out, fromArgs.out);
    // The text says what was read, and from where.
    auto table = RunCli({"irr", "--file", "-", "--column", "amount"}, "period;amount\n1;-1000\n2;500\n3;500\n4;500\n");
    EXPECT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(table.out.rfind("Read P0 and 3 payments from standard input (column 'amount', header skipped)\n", 0), 0u)
        << table.out;
    EXPECT_EQ(RunCli({"irr", "--", "-1000", "1100"}).out.rfind("Number of payments N = 1\n", 0), 0u);
}

TEST(IrrInput, BadInputIsOneLineAndStatusTwo) {
    struct Case {
        std::vector<std::string> args;
        std::string input;
        const char* mentions;
    };
    const Case cases[] = {
        {{"irr", "--", "-1000", "abc"}, "", "'abc' is not a number"},
        {{"irr"}, "", "no cash flows"},
        {{"irr", "--", "-1000"}, "", "from 1 to 32766 (got 0)"},
        {{"irr", "--increment", "0", "--", "-1000", "500"}, "", "--increment"},
        {{"irr", "--increment", "1", "--", "-1000", "500"}, "", "--increment"},
        {{"irr", "--increment", "x", "--", "-1000", "500"}, "", "--increment"},
        {{"irr", "--tolerance", "-0.1", "--", "-1000", "500"}, "", "--tolerance"},
        {{"irr", "--tolerance", "1", "--", "-1000", "500"}, "", "--tolerance"},
        {{"irr", "--periods", "0", "--", "-1000", "500"}, "", "--periods"},
        {{"irr", "--periods", "32768", "--", "-1000", "500"}, "", "--periods"},
        {{"irr", "--periods", "1.5", "--", "-1000", "500"}, "", "--periods"},
        {{"irr", "--file", "/nonexistent/flows.txt"}, "", "cannot read '/nonexistent/flows.txt'"},
        {{"irr", "--file", "/"}, "", "cannot read '/'"},
        {{"irr", "--file", "-"}, "-1000 5x0", "'5x0' is not a number"},
        {{"irr", "--file", "-", "1"}, "-1000 500", "not both"},
        {{"irr", "--", "-1000", "1e999"}, "", "too large"},
        {{"irr", "--", "-1E300", "1E-300"}, "", "no upper bound"},
        {{"irr", "--file", "-"}, std::string(100000, '7'), "is too large"},  // an endless number
        {{"irr", "--file", "-"}, "1,-1000\n2,500\n", "the file has 2 columns: choose one with --column"},
        {{"irr", "--column", "2", "--", "-1000", "500"}, "", "--column needs --file"},
        {{"irr", "--file", "-", "--column", "3"}, "1,-1000\n2,500\n", "there is no column 3"},
        {{"irr", "--file", ""}, "", "--file"},
        {{"irr", "--bogus"}, "", "bogus"},
        {{}, "", "a command is required: irr or simulate (see valmora-cli --help)"},
        {{"foo"}, "", "'foo' is not a command: irr or simulate (see valmora-cli --help)"},
        {{"irr", "--increment", "0.1", "--increment", "0.2", "--", "-1000", "500"}, "", "--increment was given twice"},
        {{"irr", "--", "-1000", "500", "--json"}, "", "'--json' is not a number"},
        {{"simulate", "--sims=5", "--sims", "6"}, "", "--sims was given twice"},
        {{"irr", "--bogus", "--", "-1000", "500"}, "", "--bogus"},
    };
    for (const auto& c : cases) {
        Outcome o = RunCli(c.args, c.input);
        EXPECT_EQ(o.status, 2) << c.mentions;
        EXPECT_TRUE(o.out.empty()) << c.mentions;
        EXPECT_NE(o.err.find(c.mentions), std::string::npos) << o.err;
        EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << "one line: " << o.err;
    }
}

// A file that would move a payment to another period, or whose words a
// message could not show as they are, is refused with its line and field.
TEST(IrrInput, FileProblemsNameLineAndField) {
    struct Case {
        std::string input;
        std::string message;
    };
    const Case cases[] = {
        {"-1000,500,,500", "standard input: line 1, field 3 is empty"},
        {"-1000,500,500,", "standard input: line 1, field 4 is empty"},
        {",-1000,500", "standard input: line 1, field 1 is empty"},
        {"-1000, 500 ,\t, 500", "standard input: line 1, field 3 is empty"},
        {"-1000\r\n500\r\n\r\n500\r\n", "standard input: line 3 is blank"},
        {"-1000\r\n500,500\r\n500\r\n", "standard input: line 2 has 2 fields where line 1 has 1"},
        {"-1000 500 5O0\n", "standard input: line 1, field 3: '5O0' is not a number"},
        {std::string("-1000,500\0,500", 14),
         "standard input: not a text file (UTF-8 or UTF-16): it begins with -1000,500\\x00,500"},
        {std::string("-1000\n\0\n500", 11), "standard input: not a text file"},
        {"-1000 5\x01\x1b[2J", "standard input: line 1, field 2: '5\\x01\\x1B[2J' is not a number"},
        {"-1000\n500\n" + std::string(500, '9') + "x",
         "standard input: line 3, field 1: '" + std::string(40, '9') + "...' is not a number"},
    };
    for (const auto& c : cases) {
        Outcome o = RunCli({"irr", "--file", "-"}, c.input);
        EXPECT_EQ(o.status, 2) << c.message;
        EXPECT_TRUE(o.out.empty()) << c.message;
        EXPECT_EQ(o.err.rfind("valmora-cli: " + c.message, 0), 0u) << o.err;
        EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << "one line: " << o.err;
    }
}

TEST(IrrInput, EmptyFieldInAFileIsRefused) {
    const auto path = std::filesystem::temp_directory_path() / ("valmora-flows-" + std::to_string(::getpid()) + ".csv");
    std::ofstream(path) << "-1000,500,,500\n";
    Outcome o = RunCli({"irr", "--file", path.string()});
    std::filesystem::remove(path);
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("line 1, field 3 is empty"), std::string::npos) << o.err;
}

TEST(IrrInput, BlankLinesAndSpacingAroundCommasAreNoFields) {
    auto spaced = RunCli({"irr", "--json", "--file", "-"}, "\n -1000 , 500,500\t,\t500 \r\n\n\n");
    auto plain = RunCli({"irr", "--json", "--", "-1000", "500", "500", "500"});
    EXPECT_EQ(spaced.status, 0) << spaced.err;
    EXPECT_EQ(spaced.out, plain.out);
}

TEST(IrrInput, TooManyPayments) {
    std::string flows = "-1000";
    for (int i = 0; i < 32767; ++i) flows += " 1";
    Outcome o = RunCli({"irr", "--file", "-"}, flows);
    EXPECT_EQ(o.status, 2);
    const std::string limit = "too many cash flows: P0 and at most 32766 payments can be read";
    EXPECT_NE(o.err.find(limit), std::string::npos) << o.err;
    for (int i = 0; i < 100000; ++i) flows += " 1";
    o = RunCli({"irr", "--file", "-"}, flows);
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find(limit), std::string::npos) << o.err;
}

TEST(Version, IsTheProjectVersion) {
    Outcome o = RunCli({"--version"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, std::string("valmora-cli ") + kVersionText + "\n");
    EXPECT_EQ(std::string(kVersionText), std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
                                             std::to_string(kVersionRevision));
}

TEST(Help, DescribesEveryOption) {
    Outcome top = RunCli({"--help"});
    EXPECT_EQ(top.status, 0);
    EXPECT_NE(top.out.find("irr"), std::string::npos);
    Outcome irr = RunCli({"irr", "--help"});
    EXPECT_EQ(irr.status, 0);
    for (const char* opt :
         {"--increment", "--tolerance", "--periods", "--json", "--all-roots", "--file", "--profile", "P0 P1 ... PN"})
        EXPECT_NE(irr.out.find(opt), std::string::npos) << opt;
}

}  // namespace
}  // namespace valmora::cli

namespace valmora::cli {
namespace {

// Numbers a script reads as they are meant: no negative zero, profile rates
// on whole steps (0.0402, never 0.040200000000000034).
TEST(IrrOutput, NoNegativeZeroAndPlainProfileRates) {
    const Outcome json = RunCli({"irr", "--json", "--", "-1000", "1000"});
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.out.find("-0.0"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"irrs\": [\n    0.0\n  ]"), std::string::npos) << json.out;
    const Outcome profile = RunCli({"irr", "--profile", "-", "--", "-1000", "1100"});
    EXPECT_EQ(profile.status, 0);
    EXPECT_EQ(profile.out.rfind("rate,npv\n0.04,", 0), 0u) << profile.out.substr(0, 80);
    EXPECT_NE(profile.out.find("\n0.0402,"), std::string::npos);
    // Every rate but the IRR itself (0.10000000000000003 as found) is a decimal of 9 digits at most.
    std::istringstream lines(profile.out);
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        const std::string rate = line.substr(0, line.find(','));
        if (rate != "0.10000000000000003") { EXPECT_LE(rate.size(), 13u) << line; }  // 9 significant digits
    }
}

}  // namespace
}  // namespace valmora::cli
