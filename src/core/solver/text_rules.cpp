#include "core/solver/text_rules.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace valmora {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest prefix of `text` (starting at `pos`) that reads as a
// number, or 0 when none does.
std::size_t NumberLength(std::string_view text, std::size_t pos) {
    std::size_t i = pos;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        std::size_t j = i + 1;
        std::size_t fraction = 0;
        while (j < text.size() && IsDigit(text[j])) {
            ++j;
            ++fraction;
        }
        if (digits + fraction > 0) {
            i = j;
            digits += fraction;
        }
    }
    if (digits == 0) return 0;
    // An exponent counts only when digits follow it.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        std::size_t expDigits = 0;
        while (j < text.size() && IsDigit(text[j])) {
            ++j;
            ++expDigits;
        }
        if (expDigits > 0) i = j;
    }
    return i - pos;
}

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    return pos;
}

}  // namespace

bool IsNumeric(std::string_view text) {
    std::size_t start = SkipBlanks(text, 0);
    std::size_t len = NumberLength(text, start);
    if (len == 0) return false;
    return SkipBlanks(text, start + len) == text.size();
}

double LeadingValue(std::string_view text) {
    std::size_t start = SkipBlanks(text, 0);
    std::size_t len = NumberLength(text, start);
    if (len == 0) return 0.0;
    // strtod reads the same grammar in the C locale (the program's own locale
    // may use a decimal comma); the copy ends the text where the number ends.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    std::string number(text.substr(start, len));
    return strtod_l(number.c_str(), nullptr, cLocale);
}

std::optional<double> FiniteNumber(std::string_view text) {
    if (!IsNumeric(text)) return std::nullopt;
    const double value = LeadingValue(text);
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

std::string GeneralText(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
    if (value == 0.0) return "0";

    // Round to 15 significant digits first; the form depends on the rounded
    // magnitude (9.99999999999999999E+14 prints as 1E+15).
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    std::string text(buf, res.ptr);
    std::size_t ePos = text.find('e');
    int exponent = std::atoi(text.c_str() + ePos + 1);
    bool negative = text[0] == '-';
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < ePos; ++i)
        if (IsDigit(text[i])) digits += text[i];
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent < -4 || exponent >= 15) {
        out += digits[0];
        if (digits.size() > 1) out += "." + digits.substr(1);
        char expText[16];
        std::snprintf(expText, sizeof expText, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        return out + expText;
    }
    if (exponent < 0) {
        out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else if (static_cast<int>(digits.size()) <= exponent + 1) {
        out += digits + std::string(static_cast<std::size_t>(exponent + 1) - digits.size(), '0');
    } else {
        std::size_t point = static_cast<std::size_t>(exponent) + 1;
        out += digits.substr(0, point) + "." + digits.substr(point);
    }
    return out;
}

NumberTyping TypingState(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) ++digits;
        else if (text[i] == '.' && !point) point = true;
        else break;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        // An exponent follows the digits of a number, never a bare sign or point.
        if (digits == 0) return NumberTyping::Invalid;
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        while (i < text.size() && IsDigit(text[i])) ++i;
    }
    if (i != text.size()) return NumberTyping::Invalid;
    if (!IsNumeric(text)) return NumberTyping::Partial;
    return std::isfinite(LeadingValue(text)) ? NumberTyping::Number : NumberTyping::TooLarge;
}

std::string FaithfulText(double value) {
    const std::string general = GeneralText(value);
    if (!std::isfinite(value) || LeadingValue(general) == value) return general;
    char buf[32];
    const auto end = std::to_chars(buf, buf + sizeof buf, value).ptr;
    return std::string(buf, end);
}

std::optional<std::int16_t> ToInt16(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    // nearbyint rounds halves to even in the default rounding mode.
    double rounded = std::nearbyint(value);
    if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

}  // namespace valmora
