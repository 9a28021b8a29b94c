// The display patterns of rates, means, balances and coefficients, and the
// form of a number in the IRR output file. Every pattern rounds the exact
// binary value correctly and never prints a negative zero.
#pragma once

#include <string>

namespace valmora {

// "0.0####": at least one digit before and one after the point, at most five
// after it (0.23375, 0.1017, 0.12, -0.5).
std::string FormatRate(double value);

// "0.#####": at most five decimals, none forced (0.1, 3, -0.05).
std::string FormatMean(double value);

// "0.00": exactly two decimals (-1000.00, 198.30, 0.00).
std::string FormatBalance(double value);

// "#.00" and "###.00": exactly two decimals, digits before the point only as
// needed (.50, -.50, 1000.00, .00).
std::string FormatCoefficient(double value);

// Every digit the value needs and no exponent: the shortest decimal that
// reads back as the same double (0.01, 0.00000001, 1000, -0.5), as the
// boxes of the screens first show their defaults.
std::string FormatDecimal(double value);

// The same without a 0 before the point (.00000001, -.5, 1000).
std::string FormatDecimalNoLeadingZero(double value);

// The shortest decimal that reads back as the same double, in plain or
// exponent form, whichever is shorter (1716, 0.1, 1e+300); 0 for -0.
std::string ShortestText(double value);

// A line of the IRR output file without its line break: a blank for a
// non-negative value or "-", the general number text of the magnitude (with
// a leading zero below 1), and a trailing blank: " 0.1 ", "-0.05 ".
std::string FileNumberText(double value);

}  // namespace valmora
