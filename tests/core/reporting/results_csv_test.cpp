#include "core/reporting/results_csv.h"

#include <gtest/gtest.h>

#include "core/reading/cash_flow_reader.h"
#include "core/solver/root_location.h"
#include "core/solver/search_notes.h"

namespace valmora {
namespace {

TEST(SeriesCsv, IsReadBackAsTheSameSeries) {
    const std::vector<double> flows = {-1000, 3600, -4310, 1716, 0.1, 1.0 / 3, -2.5e-300, 1e300};
    const std::string csv = SeriesCsv(flows);
    EXPECT_EQ(csv.substr(0, 22), "-1000\n3600\n-4310\n1716\n");
    const CashFlowText read = ReadCashFlowText(csv);
    ASSERT_TRUE(read.Ok()) << read.error;
    EXPECT_EQ(read.values, flows);
    EXPECT_EQ(SeriesCsv(read.values), csv);
}

struct Searched {
    CashFlowAnalysis analysis;
    SearchSettings settings;
    RootSearch search;
};

Searched Search(const std::vector<double>& flows, double increment = 0.01, int periods = 1) {
    Searched s{AnalyseCashFlows(flows), SearchSettings{increment, 1e-7, periods}, {}};
    s.search = LocateRoots(s.analysis, s.settings);
    return s;
}

// The fields of one line.
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (std::size_t comma; (comma = line.find(',', from)) != std::string::npos; from = comma + 1)
        fields.push_back(line.substr(from, comma - from));
    fields.push_back(line.substr(from));
    return fields;
}

TEST(ResultsCsv, HoldsTheSeriesEveryRateItsBalancesAndClassification) {
    const Searched s = Search({-1000, 3600, -4310, 1716});
    const std::string csv = ResultsCsv(s.analysis, s.settings, s.search);
    std::vector<std::string> lines;
    for (std::size_t from = 0, end; (end = csv.find('\n', from)) != std::string::npos; from = end + 1)
        lines.push_back(csv.substr(from, end - from));
    ASSERT_EQ(lines.size(), 10u) << csv;
    EXPECT_EQ(lines[0], "period,cash flow,PB at IRR 1,PB at IRR 2,PB at IRR 3");
    // Balances to full precision, as computed: PB(1) = -1000 (1 + i) + 3600.
    const double pb1[] = {2300, 2400, 2500};
    for (int r = 0; r < 3; ++r) EXPECT_NEAR(std::stod(Fields(lines[2])[2 + r]), pb1[r], 1e-9);
    EXPECT_EQ(Fields(lines[4])[1], "1716");
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines[6], "IRR,rate,type of investment");
    const double rates[] = {0.3, 0.2, 0.1};
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(Fields(lines[7 + r])[0], std::to_string(r + 1));
        EXPECT_EQ(std::stod(Fields(lines[7 + r])[1]), s.search.rates[r]);
        EXPECT_NEAR(s.search.rates[r], rates[r], 1e-9);
        EXPECT_TRUE(lines[7 + r].ends_with(",\"Nonsimple, mixed\"")) << lines[7 + r];
    }
}

TEST(ResultsCsv, GivesTheRateOfARootTheScanMissed) {
    // F touches 0 at the rate 0.1 without changing sign: no rate is listed.
    const Searched s = Search({-100, 220, -121});
    const std::string csv = ResultsCsv(s.analysis, s.settings, s.search);
    EXPECT_NE(csv.find("No IRR was found"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\nnote\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("The root the scan did not list lies at the rate 0.1."), std::string::npos) << csv;
}

TEST(SearchNotes, NameTheRatesOfEveryUnlistedRoot) {
    const Searched touching = Search({-100, 220, -121});
    EXPECT_EQ(UnlistedRatesSentence(touching.analysis, touching.settings, touching.search),
              "The root the scan did not list lies at the rate 0.1.");
    // Roots at 20 % and 30 % inside one step of 0.3 in x: only 10 % is listed.
    const Searched coarse = Search({-1000, 3600, -4310, 1716}, 0.3);
    EXPECT_EQ(UnlistedRatesSentence(coarse.analysis, coarse.settings, coarse.search),
              "The 2 roots the scan did not list lie at the rates 0.3 and 0.2.");
    const Searched all = Search({-1000, 3600, -4310, 1716});
    EXPECT_EQ(UnlistedRatesSentence(all.analysis, all.settings, all.search), "");
    EXPECT_TRUE(SearchNotes(all.analysis, all.settings, all.search).empty());
}

}  // namespace
}  // namespace valmora
