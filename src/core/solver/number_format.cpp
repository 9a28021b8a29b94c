#include "core/solver/number_format.h"

#include <charconv>
#include <cmath>

#include "core/solver/text_rules.h"

namespace valmora {
namespace {

// The value rounded to `decimals` places, halves away from zero, as
// "-123.45000"; a result that is all zeros carries no sign. Thirty more
// digits than kept show the exact binary value far enough to tell a true
// half from a value just below or above it.
std::string Fixed(double value, int decimals) {
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed, decimals + 30);
    std::string text(buf, res.ptr);
    const bool up = text[text.size() - 30] >= '5';
    text.resize(text.size() - 30);
    if (decimals == 0) text.pop_back();  // the point
    if (up) {
        // Add one in the last place kept, carrying to the left.
        int i = static_cast<int>(text.size()) - 1;
        for (; i >= 0; --i) {
            if (text[i] == '.') continue;
            if (text[i] != '9') {
                ++text[i];
                break;
            }
            text[i] = '0';
        }
        if (i < 0) text.insert(text.begin(), '1');
    }
    if (std::signbit(value) && text.find_first_not_of("0.") != std::string::npos) text = "-" + text;
    return text;
}

// Drops trailing zeros beyond `keep` decimals (and the point when none stay).
std::string TrimDecimals(std::string text, std::size_t keep) {
    std::size_t point = text.find('.');
    if (point == std::string::npos) return text;
    std::size_t minEnd = point + 1 + keep;
    while (text.size() > minEnd && text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

bool Printable(double value) { return std::isfinite(value); }

// "0.5" as ".5", "-0.5" as "-.5"; other texts as they are.
std::string WithoutLeadingZero(std::string text) {
    const std::size_t digitsStart = text[0] == '-' ? 1 : 0;
    if (text.compare(digitsStart, 2, "0.") == 0) text.erase(digitsStart, 1);
    return text;
}

}  // namespace

std::string FormatRate(double value) {
    if (!Printable(value)) return GeneralText(value);
    return TrimDecimals(Fixed(value, 5), 1);
}

std::string FormatMean(double value) {
    if (!Printable(value)) return GeneralText(value);
    return TrimDecimals(Fixed(value, 5), 0);
}

std::string FormatBalance(double value) {
    if (!Printable(value)) return GeneralText(value);
    return Fixed(value, 2);
}

std::string FormatCoefficient(double value) {
    if (!Printable(value)) return GeneralText(value);
    return WithoutLeadingZero(Fixed(value, 2));
}

std::string FormatDecimal(double value) {
    if (!Printable(value)) return GeneralText(value);
    char buf[400];
    const auto end = std::to_chars(buf, buf + sizeof buf, value == 0.0 ? 0.0 : value, std::chars_format::fixed).ptr;
    return std::string(buf, end);
}

std::string FormatDecimalNoLeadingZero(double value) {
    if (!Printable(value)) return GeneralText(value);
    return WithoutLeadingZero(FormatDecimal(value));
}

std::string FileNumberText(double value) {
    std::string text = GeneralText(value);
    if (text[0] == '-') return text + " ";
    return " " + text + " ";
}

std::string ShortestText(double value) {
    char buf[32];
    const auto end = std::to_chars(buf, buf + sizeof buf, value == 0.0 ? 0.0 : value).ptr;
    return std::string(buf, end);
}

}  // namespace valmora
