#include "cli/usage_error.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>

#include "core/solver/limits.h"
#include "core/solver/text_rules.h"

namespace valmora::cli {

std::string Shown(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0) shown += "\\0";
        else if (c == '\t') shown += "\\t";
        else if (c == '\n') shown += "\\n";
        else if (c == '\r') shown += "\\r";
        else if (byte < 0x20 || byte == 0x7f) {
            constexpr char kHex[] = "0123456789ABCDEF";
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 0xf];
        } else shown += c;
    }
    return shown;
}

std::string NonEmptyFileName(const std::string& name) { return name.empty() ? "the file name is empty" : ""; }

double ParseNumber(std::string_view text, std::string_view what) {
    if (!IsNumeric(text)) throw UsageError(std::string(what) + ": '" + Shown(text) + "' is not a number");
    double value = LeadingValue(text);
    if (!std::isfinite(value)) throw UsageError(std::string(what) + ": '" + Shown(text) + "' is too large");
    return value;
}

long ParseWhole(std::string_view text, std::string_view what, long low, long high) {
    double value = ParseNumber(text, what);
    if (value != std::floor(value) || value < static_cast<double>(low) || value > static_cast<double>(high))
        throw UsageError(std::string(what) + " must be a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + " (got " + Shown(text) + ")");
    return static_cast<long>(value);
}

std::vector<double> ParseNumberList(std::istream& in, std::string_view what, std::size_t most) {
    // No number is this long; a longer word is not one.
    constexpr std::size_t kLongestWord = 400;
    std::vector<double> values;
    std::string token;
    long line = 1;
    long field = 0;                 // fields of the line so far, numbers and empty ones
    bool lineHasComma = false;      // the line is a comma-separated list
    bool segmentHasNumber = false;  // a number since the latest comma (or the line's start)
    auto where = [&](long f) {
        return std::string(what) + ", line " + std::to_string(line) + ", field " + std::to_string(f);
    };
    auto endWord = [&] {
        if (token.empty()) return;
        ++field;
        const std::string place = where(field);
        values.push_back(ParseNumber(token, place));
        token.clear();
        segmentHasNumber = true;
        if (values.size() > most) throw UsageError("more than " + std::to_string(most) + " numbers given");
    };
    auto endSegment = [&] {
        if (!segmentHasNumber) throw UsageError(where(field + 1) + " is empty: write 0 for a period without a payment");
        segmentHasNumber = false;
    };
    auto endLine = [&] {
        if (lineHasComma) endSegment();
        ++line;
        field = 0;
        lineHasComma = false;
        segmentHasNumber = false;
    };
    char c;
    while (in.get(c)) {
        if (c == ' ' || c == '\t' || c == '\r') {
            endWord();
        } else if (c == ',') {
            endWord();
            endSegment();
            lineHasComma = true;
        } else if (c == '\n') {
            endWord();
            endLine();
        } else if (token.size() < kLongestWord) {
            token += c;
        } else {
            throw UsageError(where(field + 1) + ": '" + Shown(token.substr(0, 20)) + "...' is not a number");
        }
    }
    endWord();
    if (lineHasComma) endSegment();
    return values;
}

namespace {
// P0 and at most kMaxPayments payments.
constexpr std::size_t kMaxFlows = kMaxPayments + 1;
// What a file is read up to: one more than that says there were too many.
constexpr std::size_t kMostRead = kMaxFlows + 1;
}  // namespace

std::vector<double> ReadCashFlows(const std::vector<std::string>& args, const std::string& file,
                                  std::istream& stdinStream) {
    if (!file.empty() && !args.empty()) throw UsageError("give the cash flows as arguments or with --file, not both");
    std::vector<double> flows;
    if (file == "-") {
        flows = ParseNumberList(stdinStream, "cash flow", kMostRead);
    } else if (!file.empty()) {
        std::error_code ec;
        if (std::filesystem::is_directory(file, ec))
            throw UsageError("cannot read '" + Shown(file) + "': it is a folder");
        std::ifstream in(file, std::ios::binary);
        if (!in) throw UsageError("cannot read '" + Shown(file) + "': " + std::strerror(errno));
        flows = ParseNumberList(in, "cash flow", kMostRead);
        if (in.bad()) throw UsageError("cannot read '" + Shown(file) + "': read error");
    } else {
        for (const auto& a : args) flows.push_back(ParseNumber(a, "cash flow"));
    }
    if (flows.empty()) throw UsageError("no cash flows given: P0 P1 ... PN");
    if (flows.size() < 2 || flows.size() > kMaxFlows)
        throw UsageError("the number of payments N must be from 1 to " + std::to_string(kMaxPayments) + " (got " +
                         std::to_string(flows.size() - 1) + ")");
    return flows;
}

}  // namespace valmora::cli
