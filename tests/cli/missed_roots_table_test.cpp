// The installed program on series whose roots are known, typed as a user
// types them: what `irr --json --all-roots` and the text output say.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct Ran {
    int status;
    std::string out;
};

// valmora-cli with `args` (no shell words in them), its standard output.
Ran RunProgram(const std::string& args) {
    const std::string command = std::string(VALMORA_CLI) + " " + args + " 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return {-1, ""};
    std::string out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

double Rate(double x) { return 1.0 / x - 1.0; }

bool Near(double value, double expected, double relative) {
    return std::fabs(value - expected) <= relative * std::fabs(expected);
}

struct Case {
    const char* flows;             // as typed after "--"
    std::vector<double> listed;    // roots x whose rates are listed, increasing
    int unlisted;                  // roots whose rate is no number
    int inRange;                   // distinct roots in (0, UpperBound]
    std::vector<bool> allFound;    // --all-roots, in increasing x
    int missed;                    // roots in the one missed interval, or 0
    double missedLow, missedHigh;  // roots x of the missed interval's ends
    const char* says;              // in the text output
};

const Case kCases[] = {
    // One payment for 1000: x = 1E+08, a rate of about -0.99999999.
    {"-1000 0.00001", {1e8}, 0, 1, {true}, 0, 0, 0, "    1  -1.0\n"},
    // An investment of 0.0101, payments 10101 and -1000000: x = 1E-06 and 0.0101.
    {"-0.0101 10101 -1000000", {1e-6, 0.0101}, 0, 2, {true, true}, 0, 0, 0, "    2  98.0099\n"},
    // x = 1E-600, nearer 0 than any double: its rate is too large for a number.
    {"-1e-300 1e300", {}, 1, 1, {true}, 0, 0, 0, "too large for a number"},
    // x = 0.5, 0.505 (inside one step of 0.01) and 2: only 2 is listed.
    {"505 -2262.5 3005 -1000", {2}, 0, 3, {false, false, true}, 2, 0.5, 0.505, "The search missed 2 roots between"},
};

TEST(MissedRootsProgram, MeasuredCases) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.flows);
        const Ran json = RunProgram(std::string("irr --json --all-roots -- ") + c.flows);
        ASSERT_EQ(json.status, 0) << json.out;
        const auto j = nlohmann::ordered_json::parse(json.out);

        ASSERT_EQ(j["irrs"].size(), c.listed.size());
        for (std::size_t r = 0; r < c.listed.size(); ++r)
            EXPECT_TRUE(Near(j["irrs"][r].get<double>(), Rate(c.listed[r]), 1e-9)) << j["irrs"][r];
        EXPECT_EQ(j["scan_complete"], true);
        EXPECT_EQ(j["unlisted_roots"], c.unlisted);
        EXPECT_EQ(j["roots_in_range"], c.inRange);

        const auto& missed = j["missed"];
        ASSERT_TRUE(missed.is_array());
        if (c.missed == 0) {
            EXPECT_TRUE(missed.empty());
        } else {
            ASSERT_EQ(missed.size(), 1u);
            EXPECT_EQ(missed[0]["count"], c.missed);
            // from_rate, the interval's lower end in x, is the higher rate;
            // both lie within a step of 0.01 in x of the missed roots.
            const double from = missed[0]["from_rate"].get<double>(), to = missed[0]["to_rate"].get<double>();
            EXPECT_GT(from, Rate(c.missedLow));
            EXPECT_LT(to, Rate(c.missedHigh));
            EXPECT_LE(from, Rate(c.missedLow - 0.0100001));
            EXPECT_GE(to, Rate(c.missedHigh + 0.0100001));
        }

        const auto& all = j["all_roots"];
        ASSERT_EQ(all.size(), c.allFound.size());
        std::size_t listedSeen = 0;
        for (std::size_t r = 0; r < all.size(); ++r) {
            EXPECT_EQ(all[r]["found"], c.allFound[r]) << r;
            if (all[r]["rate"].is_null()) {
                // No number stands for the rate: a note says why.
                EXPECT_NE(all[r]["note"].get<std::string>().find("too large"), std::string::npos);
                continue;
            }
            // Refined to full precision: the found ones to the last digits.
            if (all[r]["found"] == true) {
                ASSERT_LT(listedSeen, c.listed.size());
                EXPECT_TRUE(Near(all[r]["rate"].get<double>(), Rate(c.listed[listedSeen++]), 1e-14)) << all[r];
            }
        }

        const Ran text = RunProgram(std::string("irr -- ") + c.flows);
        ASSERT_EQ(text.status, 0);
        EXPECT_NE(text.out.find(c.says), std::string::npos) << text.out;
    }
}

}  // namespace
