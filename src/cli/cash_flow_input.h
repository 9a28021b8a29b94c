// The cash flows of `irr`: given as arguments, or read from a file or
// standard input by the core's reader of cash-flow text.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace valmora::cli {

struct CashFlowInput {
    std::vector<double> flows;  // P0..PN
    std::string source;         // the file read ("standard input"); empty for arguments
    std::string details;        // how it was read: the column, a header skipped
};

// The cash flows given as arguments or read from `file` ("-" for standard
// input): `column` picks a table's column, `decimalComma` reads 1.000,50.
// A UsageError names what is wrong.
CashFlowInput ReadCashFlowInput(const std::vector<std::string>& args, const std::string& file,
                                const std::string& column, bool decimalComma, std::istream& stdinStream);

// The same, without a column or decimal commas.
std::vector<double> ReadCashFlows(const std::vector<std::string>& args, const std::string& file,
                                  std::istream& stdinStream);

// "Read P0 and 3 payments from flows.csv (column 'amount', header skipped)".
std::string ReadLine(const CashFlowInput& input);

}  // namespace valmora::cli
