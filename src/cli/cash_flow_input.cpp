#include "cli/cash_flow_input.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <iterator>

#include "cli/usage_error.h"
#include "core/reading/cash_flow_reader.h"
#include "core/solver/limits.h"

namespace valmora::cli {
namespace {

// No series of the longest kind needs more; a larger file is not one.
constexpr std::size_t kLargestFile = std::size_t{64} << 20;

std::string Bytes(std::istream& in, const std::string& name) {
    std::string bytes;
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > kLargestFile)
            throw UsageError("cannot read " + name + ": it is larger than 64 MiB, more than any series needs");
    }
    if (in.bad()) throw UsageError("cannot read " + name + ": read error");
    return bytes;
}

}  // namespace

CashFlowInput ReadCashFlowInput(const std::vector<std::string>& args, const std::string& file,
                                const std::string& column, bool decimalComma, std::istream& stdinStream) {
    if (!file.empty() && !args.empty()) throw UsageError("give the cash flows as arguments or with --file, not both");
    if (file.empty() && (!column.empty() || decimalComma))
        throw UsageError(std::string(column.empty() ? "--decimal-comma" : "--column") + " needs --file");
    CashFlowInput input;
    if (!file.empty()) {
        std::string bytes;
        if (file == "-") {
            input.source = "standard input";
            bytes = Bytes(stdinStream, input.source);
        } else {
            input.source = file;
            const std::string name = "'" + Shown(file) + "'";
            std::error_code ec;
            if (std::filesystem::is_directory(file, ec)) throw UsageError("cannot read " + name + ": it is a folder");
            std::ifstream in(file, std::ios::binary);
            if (!in) throw UsageError("cannot read " + name + ": " + std::strerror(errno));
            bytes = Bytes(in, name);
        }
        CashFlowReading how;
        how.column = column;
        how.decimalComma = decimalComma;
        const CashFlowText read = ReadCashFlowText(bytes, how);
        if (!read.Ok()) throw UsageError(Shown(input.source) + ": " + read.error);
        input.flows = read.values;
        if (read.column > 0)
            input.details = read.columnName.empty() ? "column " + std::to_string(read.column)
                                                    : "column '" + Shown(read.columnName) + "'";
        if (!read.header.empty()) input.details += std::string(input.details.empty() ? "" : ", ") + "header skipped";
    } else {
        for (const auto& a : args) input.flows.push_back(ParseNumber(a, "cash flow"));
    }
    if (input.flows.empty()) throw UsageError("no cash flows given: P0 P1 ... PN");
    if (input.flows.size() < 2 || input.flows.size() > static_cast<std::size_t>(kMaxPayments) + 1)
        throw UsageError("the number of payments N must be from 1 to " + std::to_string(kMaxPayments) + " (got " +
                         std::to_string(input.flows.size() - 1) + ")");
    return input;
}

std::vector<double> ReadCashFlows(const std::vector<std::string>& args, const std::string& file,
                                  std::istream& stdinStream) {
    return ReadCashFlowInput(args, file, "", false, stdinStream).flows;
}

std::string ReadLine(const CashFlowInput& input) {
    const std::size_t n = input.flows.size() - 1;
    std::string line =
        "Read P0 and " + std::to_string(n) + (n == 1 ? " payment" : " payments") + " from " + Shown(input.source);
    if (!input.details.empty()) line += " (" + input.details + ")";
    return line;
}

}  // namespace valmora::cli
