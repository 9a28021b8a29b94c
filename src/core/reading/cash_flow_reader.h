// Cash flows from text as people keep them: a file, standard input or the
// clipboard, typed by hand or exported from a spreadsheet. The reader either
// reads the series the text holds or refuses it with a message naming the
// line and field; it never guesses another series.
//
// - UTF-8 with or without a byte-order mark, or UTF-16 with one; anything
//   else (binary data, other encodings) is not a text file.
// - Lines end in LF, CRLF or CR. Lines whose first character (blanks aside)
//   is # are comments; blank lines before and after the data are ignored, a
//   blank line inside it is refused.
// - One delimiter a file: semicolon, comma (not with decimal commas), tab or
//   runs of blanks, in that order of preference. Fields may be quoted ("").
// - A first line that holds no number is a header.
// - One value a line, or one line of values, is the series. Several lines of
//   several fields are a table: one column is read, chosen by its number or
//   its header name; without a choice the table is refused, its columns
//   listed. Lines with differing numbers of fields are refused.
// - A last column empty on every line of data (a delimiter at each line's
//   end, as some exports write) is no column.
// - Numbers follow the command line's rules ("." the decimal point, no
//   thousands separator). With decimal commas, "1.000,50" and "500,25" are
//   read; a comma inside a field is otherwise refused, never guessed, and so
//   is a field such as "000" after a comma or a blank (the end of a number
//   written with thousands separators).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/solver/limits.h"

namespace valmora {

struct CashFlowReading {
    // The column to read from a table: "" for none, a number from 1, or a
    // header name.
    std::string column;
    // Numbers are written with a decimal comma and "." between thousands.
    bool decimalComma = false;
    // The most values read: P0 and kMaxPayments payments.
    std::size_t mostValues = static_cast<std::size_t>(kMaxPayments) + 1;
    // How the user chooses a column and decimal commas, for the messages.
    std::string chooseColumn = "choose one with --column";
    std::string useDecimalComma = "--decimal-comma";
    // What the text is called in the messages.
    std::string source = "the file";
};

struct CashFlowText {
    std::vector<double> values;  // P0, P1, ... as read
    std::string error;           // why the text was refused; empty when read
    std::string header;          // the header line, when one was skipped
    int column = 0;              // the column read from a table (from 1); 0 for one column or one line
    std::string columnName;      // its header name, when the table has a header
    char delimiter = 0;          // '\t', ';', ',', ' ', or 0 when no line holds two fields

    bool Ok() const { return error.empty(); }
};

CashFlowText ReadCashFlowText(std::string_view bytes, const CashFlowReading& how = {});

}  // namespace valmora
