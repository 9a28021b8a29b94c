// Bad command-line input: one line naming the problem, exit status 2.
#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace valmora::cli {

inline constexpr int kUsageStatus = 2;

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The number written in `text` (the whole text must be one number), or a
// UsageError naming `what`.
double ParseNumber(std::string_view text, std::string_view what);

// `text` as a whole number in [low, high], or a UsageError naming `what`.
long ParseWhole(std::string_view text, std::string_view what, long low, long high);

// The numbers of a text, separated by blanks, tabs, commas or line breaks;
// a UsageError when there are more than `most`.
std::vector<double> ParseNumberList(std::istream& in, std::string_view what, std::size_t most);

// The cash flows given as arguments or read from a file ("-" for standard input).
std::vector<double> ReadCashFlows(const std::vector<std::string>& args, const std::string& file,
                                  std::istream& stdinStream);

}  // namespace valmora::cli
