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

// `text` as a message may quote it: control characters escaped (a NUL byte
// as \0, a tab as \t, others as \xHH), so that nothing of it is cut off or
// acts on the terminal.
std::string Shown(std::string_view text);

// A check for options that name a file: an empty name is refused, since it
// would read or save nothing. For CLI::Option::check.
std::string NonEmptyFileName(const std::string& name);

// The number written in `text` (the whole text must be one number), or a
// UsageError naming `what`.
double ParseNumber(std::string_view text, std::string_view what);

// `text` as a whole number in [low, high], or a UsageError naming `what`.
long ParseWhole(std::string_view text, std::string_view what, long low, long high);

// The numbers of a text, separated by blanks, tabs, commas or line breaks;
// a UsageError when there are more than `most`, or naming the line and
// field of a word that is not a number or of an empty field between commas
// (skipping it would move every later number one place earlier).
std::vector<double> ParseNumberList(std::istream& in, std::string_view what, std::size_t most);

// The cash flows given as arguments or read from a file ("-" for standard input).
std::vector<double> ReadCashFlows(const std::vector<std::string>& args, const std::string& file,
                                  std::istream& stdinStream);

}  // namespace valmora::cli
