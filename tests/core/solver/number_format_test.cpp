#include "core/solver/number_format.h"

#include <gtest/gtest.h>

namespace valmora {
namespace {

struct Case {
    double value;
    const char* text;
};

TEST(NumberFormat, RatePattern) {
    const Case cases[] = {
        {0.2337519, "0.23375"}, {0.10170443, "0.1017"}, {0.12, "0.12"},        {0.1, "0.1"},
        {0.0, "0.0"},           {-0.0, "0.0"},          {-0.000001, "0.0"},    {-0.5, "-0.5"},
        {2.804998, "2.805"},    {12.0, "12.0"},         {0.123456, "0.12346"}, {-0.9999, "-0.9999"},
        {1.000004, "1.0"},      {0.015625, "0.01563"},  {0.9999951, "1.0"},    {-0.000005, "-0.00001"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatRate(c.value), c.text) << c.value;
}

TEST(NumberFormat, MeanPattern) {
    const Case cases[] = {
        {0.1, "0.1"},    {3.0, "3"},       {-0.05, "-0.05"}, {0.123456, "0.12346"},
        {0.000001, "0"}, {-0.000004, "0"}, {0.0, "0"},       {1234.5, "1234.5"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatMean(c.value), c.text) << c.value;
}

TEST(NumberFormat, BalancePattern) {
    const Case cases[] = {
        {-1000.0, "-1000.00"},
        {198.29, "198.29"},
        {198.2957, "198.30"},
        {-181.5411, "-181.54"},
        {-0.0000004, "0.00"},
        {0.004, "0.00"},
        {-0.005001, "-0.01"},
        {1.005, "1.00"},
        // Halves of the binary value itself round away from zero; 1.005 lies just below one.
        {0.125, "0.13"},
        {-0.125, "-0.13"},
        {2.5, "2.50"},
        {9.995, "9.99"},
        {999.995, "1000.00"},
        {-0.005, "-0.01"},
        {99.999, "100.00"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatBalance(c.value), c.text) << c.value;
}

TEST(NumberFormat, CoefficientPatternHasNoLeadingZero) {
    const Case cases[] = {
        {0.5, ".50"},        {-0.5, "-.50"},  {0.0, ".00"},         {-0.001, ".00"}, {-1000.0, "-1000.00"},
        {1500.0, "1500.00"}, {0.996, "1.00"}, {12.345678, "12.35"}, {0.625, ".63"},  {-0.995, "-.99"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatCoefficient(c.value), c.text) << c.value;
}

TEST(NumberFormat, OutputFileForm) {
    const Case cases[] = {
        {0.1, " 0.1 "}, {0.125, " 0.125 "}, {-0.05, "-0.05 "},
        {0.0, " 0 "},   {1e-05, " 1E-05 "}, {0.233751890004, " 0.233751890004 "},
        {2.0, " 2 "},
    };
    for (const auto& c : cases) EXPECT_EQ(FileNumberText(c.value), c.text) << c.value;
}

TEST(NumberFormat, DecimalWithoutExponent) {
    const Case cases[] = {
        {0.01, "0.01"},
        {1e-08, "0.00000001"},
        {1e-07, "0.0000001"},
        {1000.0, "1000"},
        {-0.5, "-0.5"},
        {-0.0, "0"},
        {1e+20, "100000000000000000000"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatDecimal(c.value), c.text) << c.value;
    const Case bare[] = {{1e-08, ".00000001"}, {-0.5, "-.5"}, {1000.0, "1000"}, {0.0, "0"}};
    for (const auto& c : bare) EXPECT_EQ(FormatDecimalNoLeadingZero(c.value), c.text) << c.value;
}

}  // namespace
}  // namespace valmora
