#include "core/entry/cell_typing.h"

#include <gtest/gtest.h>

namespace valmora {
namespace {

using Outcome = TypedCell::Outcome;

struct KeyCase {
    const char* name;
    const char* text;  // the cell's text before the key
    bool fresh;        // the cell was just entered
    char32_t key;
    Outcome outcome;
    const char* after;  // the cell's text after the key
    bool freshAfter;
};

class CellKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(CellKeys, ChangeTheTextAsASpreadsheetDoes) {
    const KeyCase& c = GetParam();
    const TypedCell typed = TypeIntoCell(c.text, c.fresh, c.key, "500");
    EXPECT_EQ(typed.outcome, c.outcome);
    EXPECT_EQ(typed.text, c.after);
    EXPECT_EQ(typed.fresh, c.freshAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CellKeys,
    ::testing::Values(KeyCase{"FirstDigitReplacesTheOldNumber", "500", true, '1', Outcome::Taken, "1", false},
                      KeyCase{"LaterDigitsAppend", "1", false, '7', Outcome::Taken, "17", false},
                      KeyCase{"FirstMinusStartsANegativeNumber", "500", true, '-', Outcome::Taken, "-", false},
                      KeyCase{"MinusAfterDigitsStartsAgain", "250", false, '-', Outcome::Taken, "-", false},
                      KeyCase{"MinusAfterAnExponentSignsIt", "1e", false, '-', Outcome::Taken, "1e-", false},
                      KeyCase{"ExponentAfterDigits", "1", false, 'e', Outcome::Taken, "1e", false},
                      KeyCase{"ExponentDigits", "1e", false, '4', Outcome::Taken, "1e4", false},
                      KeyCase{"PointStartsAFraction", "", true, '.', Outcome::Taken, ".", false},
                      KeyCase{"CommaIsRefused", "1", false, ',', Outcome::Refused, "1", false},
                      KeyCase{"ASecondPointIsRefused", "1.2", false, '.', Outcome::Refused, "1.2", false},
                      KeyCase{"ALetterIsRefused", "12", false, 'x', Outcome::Refused, "12", false},
                      KeyCase{"ABlankIsRefused", "500", true, ' ', Outcome::Refused, "500", true},
                      KeyCase{"AnExponentWithoutDigitsIsRefused", "-", false, 'e', Outcome::Refused, "-", false},
                      KeyCase{"ASecondExponentIsRefused", "1e5", false, 'e', Outcome::Refused, "1e5", false},
                      KeyCase{"ADigitMakingItTooLargeIsRefused", "1e30", false, '9', Outcome::TooLarge, "1e30", false},
                      KeyCase{"BackspaceRemovesTheLastCharacter", "500", true, kKeyBackspace, Outcome::Taken, "50",
                              false},
                      KeyCase{"BackspaceOnAnEmptyCell", "", false, kKeyBackspace, Outcome::Taken, "", false},
                      KeyCase{"DeleteEmptiesTheCell", "500", true, kKeyDelete, Outcome::Taken, "", false},
                      KeyCase{"EscRestoresTheEnteredText", "17", false, kKeyEscape, Outcome::Taken, "500", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace valmora
