// What simulate prints about the distribution of the kept IRRs, and the NPV
// profile file of irr --profile.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <numeric>
#include <regex>
#include <set>
#include <sstream>
#include <unistd.h>

#include "cli_runner.h"

namespace valmora::cli {
namespace {

using testing::Outcome;
using testing::RunCli;

const std::vector<std::string> kRun = {"simulate",   "--dist", "normal", "--p1", "400",    "--p2", "100",
                                       "--payments", "6",      "--sims", "2000", "--seed", "3"};

std::vector<std::string> With(std::vector<std::string> args, std::initializer_list<std::string> more) {
    args.insert(args.end(), more);
    return args;
}

// The parameters each family's fit names.
const std::map<std::string, std::set<std::string>> kParams = {
    {"normal", {"mu", "sigma"}},   {"lognormal", {"mu", "sigma"}},  {"logistic", {"mu", "s"}},
    {"gamma", {"shape", "scale"}}, {"weibull", {"shape", "scale"}}, {"student_t", {"mu", "sigma", "nu"}},
};

// Three IRRs, two of them close: the Student t search runs out of steps,
// and both the text and the JSON say so.
TEST(SimulateDistribution, AStudentTFitThatDoesNotConvergeSaysSo) {
    const std::vector<std::string> run = {"simulate", "--dist", "uniform", "--p1", "1000",        "--p2", "2000",
                                          "--sims",   "3",      "--seed",  "13",   "--resamples", "0"};
    const std::string note =
        "nu reached 0.5, the smallest tried; the fit did not converge in 500 steps: the estimate is the last one "
        "reached, not a maximum of the likelihood";
    const Outcome text = RunCli(run);
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("  student_t: " + note + "\n"), std::string::npos) << text.out;
    const Outcome json = RunCli(With(run, {"--json"}));
    ASSERT_EQ(json.status, 0) << json.err;
    bool found = false;
    const auto j = nlohmann::json::parse(json.out);
    for (const auto& fit : j.at("fits"))
        if (fit.at("name") == "student_t") {
            found = true;
            EXPECT_EQ(fit.at("note"), note);
        }
    EXPECT_TRUE(found);
}

TEST(SimulateDistribution, JsonHistogramAddsUpAndFitsAreRanked) {
    const Outcome o = RunCli(With(kRun, {"--json"}));
    ASSERT_EQ(o.status, 0) << o.err;
    const auto j = nlohmann::json::parse(o.out);
    const auto edges = j.at("histogram").at("edges").get<std::vector<double>>();
    const auto counts = j.at("histogram").at("counts").get<std::vector<long>>();
    ASSERT_EQ(edges.size(), counts.size() + 1);
    EXPECT_GT(counts.size(), 5u);
    EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), 0L), j.at("with_irr").get<long>());
    EXPECT_EQ(edges.front(), j.at("min").get<double>());
    EXPECT_EQ(edges.back(), j.at("max").get<double>());

    const auto& fits = j.at("fits");
    ASSERT_EQ(fits.size(), 6u);
    std::set<std::string> names;
    for (std::size_t k = 0; k < fits.size(); ++k) {
        const auto& f = fits[k];
        const std::string name = f.at("name").get<std::string>();
        SCOPED_TRACE(name);
        names.insert(name);
        std::set<std::string> params;
        for (const auto& [key, value] : f.at("params").items()) params.insert(key);
        EXPECT_EQ(params, kParams.at(name));
        EXPECT_GE(f.at("ks").get<double>(), 0.0);
        EXPECT_LE(f.at("ks").get<double>(), 1.0);
        // The bootstrap's: (1 + count) / (1 + 200).
        EXPECT_EQ(f.at("resamples").get<int>(), 200);
        const double p = f.at("p_value").get<double>();
        EXPECT_NEAR(p * 201, std::round(p * 201), 1e-9);
        EXPECT_GE(p, 1.0 / 201);
        EXPECT_LE(p, 1.0);
        if (k > 0) { EXPECT_LE(fits[k - 1].at("aic").get<double>(), f.at("aic").get<double>()); }
        if (name == "normal") { EXPECT_NEAR(f.at("params").at("mu").get<double>(), j.at("mean").get<double>(), 1e-12); }
    }
    EXPECT_EQ(names.size(), 6u);
    EXPECT_TRUE(j.at("not_fitted").empty());
}

// The same run gives the same p-values; --resamples sets their number, and 0
// leaves them out.
TEST(SimulateDistribution, ResamplesOption) {
    const auto first = nlohmann::json::parse(RunCli(With(kRun, {"--json", "--resamples", "40"})).out);
    const auto again = nlohmann::json::parse(RunCli(With(kRun, {"--json", "--resamples", "40"})).out);
    EXPECT_EQ(first.at("fits"), again.at("fits"));
    for (const auto& f : first.at("fits")) {
        EXPECT_EQ(f.at("resamples"), 40);
        const double p = f.at("p_value").get<double>();
        EXPECT_NEAR(p * 41, std::round(p * 41), 1e-9);
    }
    const auto none = nlohmann::json::parse(RunCli(With(kRun, {"--json", "--resamples", "0"})).out);
    for (const auto& f : none.at("fits")) {
        EXPECT_TRUE(f.at("p_value").is_null());
        EXPECT_EQ(f.at("resamples"), 0);
    }
    const Outcome text = RunCli(With(kRun, {"--resamples", "0"}));
    EXPECT_NE(text.out.find("\nFits ranked by AIC (lowest first):\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("  p -\n"), std::string::npos) << text.out;
    for (const char* bad : {"-1", "100001", "many"}) {
        const Outcome o = RunCli(With(kRun, {"--resamples", bad}));
        EXPECT_EQ(o.status, 2) << bad;
        EXPECT_NE(o.err.find("--resamples"), std::string::npos) << o.err;
    }
    EXPECT_NE(RunCli({"simulate", "--help"}).out.find("--resamples INTEGER=200"), std::string::npos);
}

// One payment uniform on [500, 1500) for 1000: uniform IRRs, which none of
// the laws fits.
TEST(SimulateDistribution, SaysWhenNoLawFits) {
    const std::vector<std::string> uniform = {"simulate", "--dist", "uniform", "--p1",   "500", "--p2",
                                              "1500",     "--sims", "1000",    "--seed", "1"};
    const Outcome o = RunCli(uniform);
    ASSERT_EQ(o.status, 0) << o.err;
    const std::regex said(R"(\nNo law fits at the 1 % level: the best by AIC, ([\w ]+), has p = 0\.00498\.\n)");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(o.out, m, said)) << o.out;
    const auto j = nlohmann::json::parse(RunCli(With(uniform, {"--json"})).out);
    EXPECT_EQ(m[1], j.at("fits")[0].at("name").get<std::string>());
    for (const auto& f : j.at("fits")) EXPECT_LT(f.at("p_value").get<double>(), 0.01);
    // The normal-like IRRs of kRun fit.
    EXPECT_EQ(RunCli(kRun).out.find("No law fits"), std::string::npos);
}

TEST(SimulateDistribution, TextShowsHistogramThenRankedFits) {
    const Outcome o = RunCli(kRun);
    ASSERT_EQ(o.status, 0) << o.err;
    const auto histogram = o.out.find("\nDistribution of the kept IRRs (");
    const auto fits = o.out.find("\nFits ranked by AIC (lowest first)");
    ASSERT_NE(histogram, std::string::npos) << o.out;
    ASSERT_NE(fits, std::string::npos) << o.out;
    EXPECT_LT(o.out.find("Largest IRR used instead:"), histogram);
    EXPECT_LT(histogram, fits);

    // One row a bin, "  low to high  ####  count", counts adding up to the IRRs kept.
    const std::regex row(R"(^  +-?\d+\.\d+ to +-?\d+\.\d+  (#+) +(\d+)$)");
    std::istringstream lines(o.out.substr(histogram, fits - histogram));
    std::string line;
    long total = 0;
    int rows = 0;
    while (std::getline(lines, line)) {
        std::smatch m;
        if (!std::regex_match(line, m, row)) continue;
        ++rows;
        total += std::stol(m[2]);
    }
    EXPECT_GE(rows, 5);
    EXPECT_LE(rows, 20);
    std::smatch kept;
    ASSERT_TRUE(std::regex_search(o.out, kept, std::regex(R"(Simulations with an IRR: +(\d+))")));
    EXPECT_EQ(total, std::stol(kept[1]));

    std::istringstream fitLines(o.out.substr(fits));
    std::getline(fitLines, line);  // the blank line
    std::getline(fitLines, line);  // the heading
    EXPECT_EQ(line,
              "Fits ranked by AIC (lowest first); p-values from 200 resamples of a parametric bootstrap of the KS "
              "distance:");
    const std::regex fitRow(R"(^  (\d)\. (\w+) +(\w+ = [^ ]+,? )+ *AIC +[-\d.e+]+  KS +[\d.e-]+  p [\d.e-]+$)");
    for (int rank = 1; rank <= 6; ++rank) {
        ASSERT_TRUE(std::getline(fitLines, line));
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, fitRow)) << line;
        EXPECT_EQ(m[1], std::to_string(rank));
    }
}

// The text joins the bins --json gives, in equal groups, and says so: the
// same histogram at two sizes.
TEST(SimulateDistribution, TextJoinsTheJsonBins) {
    const Outcome text = RunCli(kRun);
    const Outcome json = RunCli(With(kRun, {"--json"}));
    ASSERT_EQ(json.status, 0) << json.err;
    const auto bins = nlohmann::json::parse(json.out)["histogram"]["counts"].get<std::vector<long>>();
    ASSERT_GT(bins.size(), 20u);
    std::smatch said;
    ASSERT_TRUE(std::regex_search(
        text.out, said,
        std::regex(
            R"(\((\d+) bins of width [^,]+, each joining (\d+) of the (\d+) bins of width [^ ]+ that --json gives\):)")))
        << text.out;
    const std::size_t rows = std::stoul(said[1]), group = std::stoul(said[2]);
    EXPECT_EQ(std::stoul(said[3]), bins.size());
    EXPECT_EQ(rows, (bins.size() + group - 1) / group);
    EXPECT_LE(rows, 20u);
    // The first row counts the first `group` bins.
    const std::regex row(R"(^  +-?\d+\.\d+ to +-?\d+\.\d+  #+ +(\d+)$)");
    std::istringstream lines(text.out.substr(said.position(0)));
    std::string line;
    std::getline(lines, line);
    std::getline(lines, line);
    std::smatch first;
    ASSERT_TRUE(std::regex_match(line, first, row)) << line;
    EXPECT_EQ(std::stol(first[1]), std::accumulate(bins.begin(), bins.begin() + static_cast<long>(group), 0L));
}

// Every key either JSON output holds, at any depth, is documented in the
// manual page.
void KeysOf(const nlohmann::json& j, std::set<std::string>& keys) {
    if (j.is_object())
        for (const auto& [key, value] : j.items()) {
            keys.insert(key);
            if (key != "params") KeysOf(value, keys);  // a fit's parameters are named by its family
        }
    else if (j.is_array())
        for (const auto& item : j) KeysOf(item, keys);
}

TEST(ManPage, DocumentsEveryJsonKey) {
    std::set<std::string> keys;
    KeysOf(nlohmann::json::parse(RunCli(With(kRun, {"--json"})).out), keys);
    const Outcome irr = RunCli({"irr", "--json", "--all-roots", "--", "505", "-2262.5", "3005", "-1000"});
    KeysOf(nlohmann::json::parse(irr.out), keys);
    KeysOf(nlohmann::json::parse(RunCli({"irr", "--json", "--all-roots", "--", "-1e-300", "1e300"}).out), keys);
    std::ifstream in(VALMORA_MAN_PAGE);
    std::stringstream page;
    page << in.rdbuf();
    ASSERT_FALSE(page.str().empty());
    for (const char* key : {"missed", "from_rate", "separating_increment", "note", "p_value", "resamples", "pb"})
        EXPECT_TRUE(keys.count(key)) << key << " is not in the outputs tried";
    for (const std::string& key : keys)
        EXPECT_TRUE(std::regex_search(page.str(), std::regex("(\\.BR? |\" )" + key + "\\b"))) << key;
}

TEST(SimulateDistribution, RunWithoutAnyIrrHasNothingToShow) {
    // Every payment negative: no IRR.
    const std::vector<std::string> args = {"simulate", "--dist", "uniform", "--p1", "-2000",
                                           "--p2",     "-1000",  "--sims",  "20"};
    const Outcome o = RunCli(With(args, {"--json"}));
    ASSERT_EQ(o.status, 0) << o.err;
    const auto j = nlohmann::json::parse(o.out);
    EXPECT_TRUE(j.at("histogram").at("edges").empty());
    EXPECT_TRUE(j.at("histogram").at("counts").empty());
    EXPECT_TRUE(j.at("fits").empty());
    ASSERT_EQ(j.at("not_fitted").size(), 6u);
    EXPECT_EQ(j.at("not_fitted")[0].at("reason"), "needs at least two IRRs");
    const Outcome text = RunCli(args);
    EXPECT_EQ(text.out.find("Distribution of the kept IRRs"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("normal not fitted: needs at least two IRRs"), std::string::npos) << text.out;
}

class IrrProfile : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string File(const std::string& name) { return (dir / name).string(); }

    std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("valmora-profile-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
};

std::vector<std::pair<double, double>> ReadProfile(const std::string& path, std::string& header) {
    std::ifstream in(path);
    std::getline(in, header);
    std::vector<std::pair<double, double>> points;
    std::string line;
    while (std::getline(in, line)) {
        const auto comma = line.find(',');
        points.emplace_back(std::stod(line.substr(0, comma)), std::stod(line.substr(comma + 1)));
    }
    return points;
}

TEST_F(IrrProfile, WritesRateAndNpvOfEveryPoint) {
    for (int m : {1, 12}) {
        SCOPED_TRACE(m);
        const Outcome o =
            RunCli({"irr", "--periods", std::to_string(m), "--profile", File("p.csv"), "--", "-100", "230", "-132"});
        ASSERT_EQ(o.status, 0) << o.err;
        EXPECT_NE(o.out.find("IRR(s)"), std::string::npos);  // the usual report as well
        std::string header;
        const auto points = ReadProfile(File("p.csv"), header);
        EXPECT_EQ(header, "rate,npv");
        ASSERT_GT(points.size(), 400u);
        EXPECT_LT(points.front().first, 0.1 * m - 0.05 * m);
        EXPECT_GT(points.back().first, 0.2 * m + 0.05 * m);
        int nearRoots = 0;
        for (std::size_t k = 0; k < points.size(); ++k) {
            const auto [rate, npv] = points[k];
            if (k > 0) { EXPECT_LT(points[k - 1].first, rate); }
            const double x = 1 / (1 + rate / m);
            EXPECT_NEAR(npv, -100 + 230 * x - 132 * x * x, 1e-9);
            if (std::abs(npv) < 1e-6) ++nearRoots;
        }
        EXPECT_GE(nearRoots, 2);  // the two IRRs themselves
    }
}

TEST_F(IrrProfile, AFileThatCannotBeWrittenIsAUsageError) {
    const std::string bad = File("no-such-folder/p.csv");
    const Outcome o = RunCli({"irr", "--profile", bad, "--", "-100", "230", "-132"});
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err, "valmora-cli: --profile: cannot write the file '" + bad + "': No such file or directory\n");
    EXPECT_EQ(o.out, "");
}

}  // namespace
}  // namespace valmora::cli
