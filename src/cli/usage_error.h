// Bad command-line input: one line naming the problem, exit status 2.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

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

}  // namespace valmora::cli
