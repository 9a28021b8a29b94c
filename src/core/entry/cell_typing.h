// How a key typed into a payment cell changes its text, as in a spreadsheet:
// the first key typed into a cell just entered replaces its text, later keys
// edit it, Esc puts back the text the cell had when entered. A key that would
// leave something other than a number, or the start of one, is refused; so is
// a digit that makes the number too large for a double.
#pragma once

#include <string>
#include <string_view>

namespace valmora {

inline constexpr char32_t kKeyBackspace = 8;
inline constexpr char32_t kKeyEscape = 27;
inline constexpr char32_t kKeyDelete = 127;

struct TypedCell {
    enum class Outcome {
        Taken,     // the key was applied (the text may be the same)
        Refused,   // the text would not be a number, nor the start of one
        TooLarge,  // the text would be a number too large for a double
    };
    Outcome outcome = Outcome::Taken;
    std::string text;    // the cell's text after the key
    bool fresh = false;  // the next key replaces the text
};

// `text` is the cell's text, `fresh` whether the next key replaces it, and
// `entered` the text the cell had when the user entered it. Keys: Backspace
// removes the last character, Delete empties the cell, Esc restores
// `entered`; "-" starts a new negative number, or signs an exponent after
// "e"; digits, ".", "e" and "E" are typed; anything else is refused.
TypedCell TypeIntoCell(std::string_view text, bool fresh, char32_t key, std::string_view entered);

}  // namespace valmora
