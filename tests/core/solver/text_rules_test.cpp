#include "core/solver/text_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace valmora {
namespace {

TEST(IsNumeric, AcceptsWholeNumbersOnly) {
    struct Case {
        const char* text;
        bool numeric;
    };
    const Case cases[] = {
        {"1000", true}, {" 12 ", true},    {"-75", true},    {"+3", true},   {".5", true},  {"5.", true},
        {"-.5", true},  {"1.5E+20", true}, {"1e-8", true},   {"0.0", true},  {"", false},   {"-", false},
        {".", false},   {"-.", false},     {"1.2.3", false}, {"12a", false}, {"1e", false}, {"1 2", false},
        {"e5", false},  {"--1", false},    {"1,000", false}, {"  ", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsNumeric(c.text), c.numeric) << '"' << c.text << '"';
}

TEST(LeadingValue, ReadsTheLongestLeadingNumber) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"1.2.3", 1.2},     {"-", 0.0},    {"", 0.0},          {"abc", 0.0},  {"  42xyz", 42.0},
        {"-1000", -1000.0}, {".50", 0.5},  {"1e3", 1000.0},    {"1e", 1.0},   {"2E-2x", 0.02},
        {"-.25", -0.25},    {"12a", 12.0}, {"0.1017", 0.1017}, {" - 5", 0.0},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(LeadingValue(c.text), c.value) << '"' << c.text << '"';
}

TEST(LeadingValue, OverflowReadsAsInfinity) {
    EXPECT_TRUE(std::isinf(LeadingValue("1e999")));
    EXPECT_EQ(LeadingValue("1e-999"), 0.0);
}

TEST(FiniteNumber, WholeTextsThatAreFiniteNumbers) {
    struct Case {
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {" 12 ", 12.0},        {"-.5", -0.5},       {"1e308", 1e308},   {"1e999", std::nullopt},
        {"12a", std::nullopt}, {"-", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(FiniteNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(GeneralText, WritesFifteenSignificantDigits) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {-1000, "-1000"},
        {0.01, "0.01"},
        {1e-08, "1E-08"},
        {1.5e20, "1.5E+20"},
        {0.0001, "0.0001"},
        {0.00009, "9E-05"},
        {1e15, "1E+15"},
        {999999999999999.0, "999999999999999"},
        {0.1017, "0.1017"},
        {0.12, "0.12"},
        {-0.0, "0"},
        {0.0, "0"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {123456789012345678.0, "1.23456789012346E+17"},
        {9.999999999999999e14, "1E+15"},
        {1e100, "1E+100"},
        {-2.5e-300, "-2.5E-300"},
        {500, "500"},
        {1500, "1500"},
        {-0.5, "-0.5"},
    };
    for (const auto& c : cases) EXPECT_EQ(GeneralText(c.value), c.text) << c.value;
}

TEST(TypingState, TellsNumbersFromTheirStartsAndFromNonsense) {
    struct Case {
        const char* text;
        NumberTyping state;
    };
    const Case cases[] = {
        {"", NumberTyping::Partial},        {"-", NumberTyping::Partial},       {".", NumberTyping::Partial},
        {"-.", NumberTyping::Partial},      {"1e", NumberTyping::Partial},      {"1e-", NumberTyping::Partial},
        {"1.", NumberTyping::Number},       {"1e5", NumberTyping::Number},      {"-0.25", NumberTyping::Number},
        {"+5", NumberTyping::Number},       {"1.5E+300", NumberTyping::Number}, {"1e400", NumberTyping::TooLarge},
        {"-1e309", NumberTyping::TooLarge}, {"1,5", NumberTyping::Invalid},     {"1.2.3", NumberTyping::Invalid},
        {"--1", NumberTyping::Invalid},     {"e5", NumberTyping::Invalid},      {"-e", NumberTyping::Invalid},
        {"1e5e", NumberTyping::Invalid},    {"1e5.", NumberTyping::Invalid},    {"abc", NumberTyping::Invalid},
        {" 1", NumberTyping::Invalid},      {"1-", NumberTyping::Invalid},
    };
    for (const auto& c : cases) EXPECT_EQ(TypingState(c.text), c.state) << c.text;
}

TEST(FaithfulText, IsTheGeneralTextUnlessThatIsAnotherNumber) {
    EXPECT_EQ(FaithfulText(-1000), "-1000");
    EXPECT_EQ(FaithfulText(1e-8), "1E-08");
    EXPECT_EQ(FaithfulText(0.12345678901234568), "0.12345678901234568");
    EXPECT_EQ(FaithfulText(1.0 / 3), "0.3333333333333333");
    for (const double v : {0.1, 1716.0, 1e300, -123456789.123, 1.0 / 7, 5e-324})
        EXPECT_EQ(LeadingValue(FaithfulText(v)), v) << v;
}

TEST(ToInt16, RoundsHalvesToEvenAndReportsOverflow) {
    struct Case {
        double value;
        std::optional<std::int16_t> result;
    };
    const Case cases[] = {
        {0.5, 0},
        {1.5, 2},
        {2.5, 2},
        {-2.5, -2},
        {12.4, 12},
        {32767, 32767},
        {32767.4, 32767},
        {32767.5, std::nullopt},
        {-32768, -32768},
        {-32768.6, std::nullopt},
        {1e9, std::nullopt},
        {std::numeric_limits<double>::quiet_NaN(), std::nullopt},
        {std::numeric_limits<double>::infinity(), std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ToInt16(c.value), c.result) << c.value;
}

}  // namespace
}  // namespace valmora
