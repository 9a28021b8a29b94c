// valmora-cli irr --rate: the decision at a hurdle rate.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli_runner.h"

// Named apart from the other test files compiled in the same unit.
namespace valmora::cli::decision_tests {
namespace {

using testing::Outcome;
using testing::RunCli;

const std::vector<std::string> kThreeIrrs = {"--", "-1000", "3600", "-4310", "1716"};  // 10, 20 and 30 %

std::vector<std::string> Args(std::vector<std::string> options, const std::vector<std::string>& flows) {
    options.insert(options.begin(), "irr");
    options.insert(options.end(), flows.begin(), flows.end());
    return options;
}

nlohmann::ordered_json Json(std::vector<std::string> options, const std::vector<std::string>& flows) {
    options.insert(options.begin(), "--json");
    const Outcome o = RunCli(Args(options, flows));
    EXPECT_EQ(o.status, 0) << o.err;
    return nlohmann::ordered_json::parse(o.out);
}

// Each IRR's verdict is NPV's: reject at 15 %, accept at 25 %; the same flows
// the other way round (borrowing) turn both.
TEST(IrrDecision, EveryIrrGivesTheVerdictOfNpv) {
    struct Case {
        std::string rate;
        std::vector<std::string> flows;
        const char* verdict;
        std::vector<const char*> streams;  // as the IRRs are listed: 30, 20, 10 %
    };
    const std::vector<std::string> borrowed = {"--", "1000", "-3600", "4310", "-1716"};
    const Case cases[] = {
        {"0.15", kThreeIrrs, "reject", {"net borrowing", "net borrowing", "net investment"}},
        {"0.25", kThreeIrrs, "accept", {"net investment", "net borrowing", "net borrowing"}},
        {"0.15", borrowed, "accept", {"net investment", "net investment", "net borrowing"}},
        {"0.05", {"--", "1000", "-1100"}, "reject", {"net borrowing"}},
        {"0.15", {"--", "1000", "-1100"}, "accept", {"net borrowing"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate + " " + c.flows[1]);
        const auto j = Json({"--rate", c.rate}, c.flows);
        const double npv = j["npv"].get<double>();
        EXPECT_EQ(j["verdict"], npv > 0 ? "accept" : "reject");
        EXPECT_EQ(j["verdict"], c.verdict);
        const auto& balances = j["balances"];
        ASSERT_EQ(balances.size(), c.streams.size());
        for (std::size_t k = 0; k < balances.size(); ++k) {
            EXPECT_EQ(balances[k]["verdict"], c.verdict) << k;
            EXPECT_EQ(balances[k]["stream"], c.streams[k]) << k;
            // NPV(R) = (k - R)/(1 + R) * stream PV.
            const double rate = balances[k]["rate"].get<double>(), hurdle = std::stod(c.rate);
            EXPECT_NEAR((rate - hurdle) / (1 + hurdle) * balances[k]["stream_pv"].get<double>(), npv,
                        1e-9 * std::fabs(npv))
                << k;
        }
    }
}

TEST(IrrDecision, JsonKeysAndValues) {
    const auto j = Json({"--rate", "0.1", "--finance-rate", "0.08", "--reinvest-rate", "0.12"},
                        {"--", "-1000", "500", "500", "500"});
    std::vector<std::string> keys;
    for (auto& [k, v] : j.items()) keys.push_back(k);
    EXPECT_EQ(keys, (std::vector<std::string>{"payments",
                                              "flows",
                                              "max_roots",
                                              "upper_bound",
                                              "derivative",
                                              "irrs",
                                              "not_roots",
                                              "scan_complete",
                                              "stopped_at",
                                              "unlisted_roots",
                                              "roots_in_range",
                                              "missed",
                                              "balances",
                                              "hurdle_rate",
                                              "finance_rate",
                                              "reinvest_rate",
                                              "npv",
                                              "verdict",
                                              "mirr",
                                              "payback",
                                              "discounted_payback",
                                              "summary"}));
    EXPECT_EQ(j["hurdle_rate"], 0.1);
    EXPECT_EQ(j["finance_rate"], 0.08);
    EXPECT_EQ(j["reinvest_rate"], 0.12);
    EXPECT_NEAR(j["npv"].get<double>(), -1000 + 500 / 1.1 + 500 / 1.21 + 500 / 1.331, 1e-9);
    // (500 * 1.12^2 + 500 * 1.12 + 500) / 1000, to the power 1/3.
    EXPECT_NEAR(j["mirr"].get<double>(), std::cbrt(1.6872) - 1, 1e-12);
    EXPECT_EQ(j["payback"], 2);
    EXPECT_EQ(j["discounted_payback"], 3);
    EXPECT_EQ(j["balances"][0]["stream"], "net investment");
    EXPECT_EQ(j["balances"][0]["verdict"], "accept");
    EXPECT_EQ(j["summary"],
              "At a hurdle rate of 10 % the project is worth 243.43 today: accept. Its IRR agrees, read as the return "
              "on its own investment stream.");
    // F and G default to R.
    const auto same = Json({"--rate", "0.1"}, {"--", "-1000", "500", "500", "500"});
    EXPECT_EQ(same["finance_rate"], 0.1);
    EXPECT_EQ(same["reinvest_rate"], 0.1);
    EXPECT_NEAR(same["mirr"].get<double>(), std::cbrt(1.655) - 1, 1e-12);
}

TEST(IrrDecision, NothingToComputeIsNull) {
    // Every flow negative: no IRR, no MIRR, no payback.
    const auto j = Json({"--rate", "0.1"}, {"--", "-1000", "-500"});
    EXPECT_TRUE(j["mirr"].is_null());
    EXPECT_EQ(j["mirr_refused"], "MIRR needs both a negative and a positive cash flow");
    EXPECT_TRUE(j["payback"].is_null());
    EXPECT_TRUE(j["discounted_payback"].is_null());
    EXPECT_EQ(j["verdict"], "reject");
    EXPECT_EQ(j["summary"],
              "At a hurdle rate of 10 % the project is worth -1454.55 today: reject. No IRR was found, so NPV alone "
              "decides.");
    // With a MIRR there is no reason key.
    EXPECT_FALSE(Json({"--rate", "0.1"}, kThreeIrrs).contains("mirr_refused"));
}

TEST(IrrDecision, AHurdleRateThatIsAnIrrIsIndifferent) {
    const auto j = Json({"--rate", "0.2"}, kThreeIrrs);
    EXPECT_EQ(j["verdict"], "indifferent");
    const char* streams[] = {"balanced", "net borrowing", "balanced"};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(j["balances"][k]["verdict"], "indifferent") << k;
        EXPECT_EQ(j["balances"][k]["stream"], streams[k]) << k;
    }
}

// With M periods a year the rates are annual: R = 1.8 at 12 periods is 15 % a
// period, and decides as R = 0.15 does once a year.
TEST(IrrDecision, PeriodsMakeTheRatesAnnual) {
    const auto once = Json({"--rate", "0.15", "--reinvest-rate", "0.12"}, kThreeIrrs);
    const auto monthly = Json({"--periods", "12", "--rate", "1.8", "--reinvest-rate", "1.44"}, kThreeIrrs);
    EXPECT_NEAR(monthly["npv"].get<double>(), once["npv"].get<double>(), 1e-12);
    EXPECT_EQ(monthly["verdict"], once["verdict"]);
    EXPECT_NEAR(monthly["mirr"].get<double>(), 12 * once["mirr"].get<double>(), 1e-12);
    EXPECT_EQ(monthly["payback"], once["payback"]);
    EXPECT_EQ(monthly["discounted_payback"], once["discounted_payback"]);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(monthly["balances"][k]["verdict"], once["balances"][k]["verdict"]);
        EXPECT_NEAR(monthly["balances"][k]["stream_pv"].get<double>(), once["balances"][k]["stream_pv"].get<double>(),
                    1e-9);
    }
    EXPECT_EQ(monthly["summary"].get<std::string>().rfind(
                  "At an annual hurdle rate of 180 % (15 % a period) the project is worth -0.25 today: reject.", 0),
              0u)
        << monthly["summary"];
}

TEST(IrrDecision, TextEndsWithTheBlockAndTheSentence) {
    const Outcome o = RunCli(Args({"--rate", "0.15"}, kThreeIrrs));
    ASSERT_EQ(o.status, 0) << o.err;
    const std::string block =
        "Type of Investment: Nonsimple, mixed\n"
        "\n"
        "Decision at a hurdle rate of 0.15:\n"
        "  NPV = -0.25: reject\n"
        "  MIRR = 0.14998 (finance rate 0.15, reinvestment rate 0.15)\n"
        "  Payback period: 1\n"
        "  Discounted payback period: 1\n"
        "  IRR 1 = 0.3: stream PV -1.89, net borrowing: reject\n"
        "  IRR 2 = 0.2: stream PV -5.67, net borrowing: reject\n"
        "  IRR 3 = 0.1: stream PV 5.67, net investment: reject\n"
        "At a hurdle rate of 15 % the project is worth -0.25 today: reject. Each of its 3 IRRs agrees, read as the "
        "return on its own investment stream.\n";
    ASSERT_GE(o.out.size(), block.size());
    EXPECT_EQ(o.out.substr(o.out.size() - block.size()), block) << o.out;

    const Outcome none = RunCli(Args({"--periods", "12", "--rate", "0.12"}, {"--", "-1000", "-500"}));
    EXPECT_NE(none.out.find("  MIRR API = none (MIRR needs both a negative and a positive cash flow) (finance rate "
                            "0.12, reinvestment rate 0.12)\n"
                            "  Payback period: none\n"
                            "  Discounted payback period: none\n"
                            "At an annual hurdle rate of 12 % (1 % a period)"),
              std::string::npos)
        << none.out;
    // Without --rate there is no decision.
    EXPECT_EQ(RunCli(Args({}, kThreeIrrs)).out.find("Decision"), std::string::npos);
    EXPECT_FALSE(Json({}, kThreeIrrs).contains("npv"));
    EXPECT_FALSE(Json({}, kThreeIrrs)["balances"][0].contains("verdict"));
}

// -1000 then 40 payments of 2000, an IRR just below 200 %: the balances of
// the root end at 0, and its stream gives NPV's verdict.
TEST(IrrDecision, AHighIrrOverManyPeriods) {
    std::vector<std::string> flows = {"--", "-1000"};
    flows.insert(flows.end(), 40, "2000");
    const Outcome o = RunCli(Args({"--rate", "0.1"}, flows));
    ASSERT_EQ(o.status, 0) << o.err;
    for (const char* part :
         {"     39         -666.67\n     40            0.00\nType of Investment: Simple, pure investment\n",
          "  NPV = 18558.10: accept\n", "  IRR 1 = 2.0: stream PV 10744.16, net investment: accept\n",
          "accept. Its IRR agrees, read as the return on its own investment stream.\n"})
        EXPECT_NE(o.out.find(part), std::string::npos) << part << "\n" << o.out;
    const auto j = Json({"--rate", "0.1"}, flows);
    const auto& entry = j["balances"][0];
    EXPECT_EQ(entry["pb"].back(), 0.0);
    EXPECT_EQ(entry["verdict"], "accept");
    EXPECT_EQ(entry["verdict_certain"], true);
    EXPECT_LT(entry["identity_bound"].get<double>(), 1e-6);
    EXPECT_NEAR(entry["stream_pv"].get<double>(), 10744.16, 0.005);
}

TEST(IrrDecision, BadRatesAreOneLineAndStatusTwo) {
    struct Case {
        std::vector<std::string> options;
        const char* message;
    };
    const Case cases[] = {
        {{"--finance-rate", "0.1"}, "--finance-rate needs --rate"},
        {{"--reinvest-rate", "0.1"}, "--reinvest-rate needs --rate"},
        {{"--finance-rate", "0.1", "--reinvest-rate", "0.1"}, "--finance-rate needs --rate"},
        {{"--rate", "-1"}, "--rate: the rate must be above -100 % (got -100 %)"},
        {{"--rate", "-2.5"}, "--rate: the rate must be above -100 % (got -250 %)"},
        {{"--rate", "abc"}, "--rate: 'abc' is not a number"},
        {{"--rate", "1e999"}, "--rate: '1e999' is too large"},
        {{"--rate", ""}, "--rate: the rate is empty"},
        {{"--rate", "0.1", "--finance-rate", ""}, "--finance-rate: the rate is empty"},
        {{"--rate", "0.1", "--finance-rate", "-1"}, "--finance-rate: the rate must be above -100 % (got -100 %)"},
        {{"--rate", "0.1", "--reinvest-rate", "x"}, "--reinvest-rate: 'x' is not a number"},
        {{"--periods", "12", "--rate", "-12"},
         "--rate: the annual rate must be above -1200 %, -100 % a period (got -1200 %)"},
        {{"--rate", "0.1", "--rate", "0.2"}, "--rate was given twice"},
    };
    for (const Case& c : cases) {
        const Outcome o = RunCli(Args(c.options, {"--", "-1000", "1100"}));
        EXPECT_EQ(o.status, 2) << c.message;
        EXPECT_TRUE(o.out.empty()) << c.message;
        EXPECT_EQ(o.err, std::string("valmora-cli: ") + c.message + "\n");
    }
    // Just above -100 % a period is a rate.
    EXPECT_EQ(RunCli(Args({"--periods", "12", "--rate", "-11.9"}, {"--", "-1000", "1100"})).status, 0);
}

TEST(IrrDecision, HelpAndManualPageDescribeIt) {
    const Outcome help = RunCli({"irr", "--help"});
    for (const char* text : {"--rate R", "--finance-rate F", "--reinvest-rate G", "irr --rate 0.15"})
        EXPECT_NE(help.out.find(text), std::string::npos) << text;

    // Every key of the decision's JSON output, with and without a MIRR, is
    // documented as the other keys are.
    std::set<std::string> keys;
    for (const auto& flows : {kThreeIrrs, std::vector<std::string>{"--", "-1000", "-500"}}) {
        const auto j = Json({"--rate", "0.15"}, flows);
        for (const auto& [key, value] : j.items()) keys.insert(key);
        for (const auto& entry : j["balances"])
            for (const auto& [key, value] : entry.items()) keys.insert(key);
    }
    for (const char* key : {"mirr_refused", "stream_pv", "discounted_payback"}) EXPECT_TRUE(keys.count(key)) << key;
    std::ifstream in(VALMORA_MAN_PAGE);
    std::stringstream page;
    page << in.rdbuf();
    ASSERT_FALSE(page.str().empty());
    for (const char* option : {"\\-\\-rate", "\\-\\-finance\\-rate", "\\-\\-reinvest\\-rate"})
        EXPECT_NE(page.str().find(std::string(".BI ") + option + " \""), std::string::npos) << option;
    for (const std::string& key : keys)
        EXPECT_TRUE(std::regex_search(page.str(), std::regex("(\\.BR? |\" )" + key + "\\b"))) << key;
}

}  // namespace
}  // namespace valmora::cli::decision_tests
