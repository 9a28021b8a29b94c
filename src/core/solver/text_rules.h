// How numbers are read from and written to text boxes, grid cells and files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace valmora {

// True when the whole text, blanks around it allowed, reads as one number:
// optional sign, digits with an optional decimal point and fraction (or a
// point and a fraction), optional exponent. "", "-" and "." fail.
bool IsNumeric(std::string_view text);

// The value of the longest leading part of the text that reads as a number,
// leading blanks skipped, "." always the decimal separator; 0 when there is
// none ("1.2.3" gives 1.2, "-" gives 0). A number too large for a double
// reads as +/-infinity, so callers that need a finite value must check.
double LeadingValue(std::string_view text);

// The number the whole text holds, when it is one (IsNumeric) and finite.
std::optional<double> FiniteNumber(std::string_view text);

// How far a text typed key by key is from a number: not on the way to one
// ("1a", "1.2.3", "--"), on the way ("", "-", ".", "1e", "1e-"), a number,
// or a number too large for a double ("1e400"). No blanks.
enum class NumberTyping { Invalid, Partial, Number, TooLarge };
NumberTyping TypingState(std::string_view text);

// A number written with up to 15 significant digits, no thousands separator,
// "-" for negatives, in exponent form below 1E-04 and from 1E+15 in magnitude
// (1E-08, 1.5E+20). Zero, negative zero included, is "0".
std::string GeneralText(double value);

// GeneralText where it reads back as the same double; otherwise the shortest
// text that does (0.12345678901234568), so that a value written into a box
// or cell is never another number.
std::string FaithfulText(double value);

// The value rounded to the nearest whole number, halves to the even
// neighbour, when that lies in -32768..32767; nothing otherwise.
std::optional<std::int16_t> ToInt16(double value);

}  // namespace valmora
