#include "cli/usage_error.h"

#include <cmath>

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

}  // namespace valmora::cli
