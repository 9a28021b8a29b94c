#include "core/reading/cash_flow_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace valmora {
namespace {

using Values = std::vector<double>;

// How a file is read: the series, or a refusal whose message holds `error`.
struct FileCase {
    const char* name;
    std::string text;
    Values values;       // empty: refused
    std::string error;   // a part of the refusal
    std::string column;  // --column
    bool decimalComma = false;
    std::string header;      // the header named as skipped
    std::string columnName;  // the column read
};

class Files : public ::testing::TestWithParam<FileCase> {};

TEST_P(Files, ReadRightOrRefusedNeverAnotherSeries) {
    const FileCase& c = GetParam();
    CashFlowReading how;
    how.column = c.column;
    how.decimalComma = c.decimalComma;
    const CashFlowText read = ReadCashFlowText(c.text, how);
    if (c.values.empty()) {
        EXPECT_FALSE(read.Ok()) << "read " << read.values.size() << " values";
        EXPECT_TRUE(read.values.empty());
        EXPECT_NE(read.error.find(c.error), std::string::npos) << read.error;
        return;
    }
    ASSERT_TRUE(read.Ok()) << read.error;
    EXPECT_EQ(read.values, c.values);
    EXPECT_EQ(read.header, c.header);
    EXPECT_EQ(read.columnName, c.columnName);
}

const std::string kBom = "\xEF\xBB\xBF";
const Values kStart{-1000, 500, 500, 500};

std::string Utf16Le(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) out += std::string{c, '\0'};
    return out;
}
std::string Utf16Be(const std::string& ascii) {
    std::string out = "\xFE\xFF";
    for (char c : ascii) out += std::string{'\0', c};
    return out;
}

FileCase Reads(const char* name, std::string text, Values values, std::string header = "", std::string column = "",
               std::string columnName = "", bool decimalComma = false) {
    return {name,         std::move(text),   std::move(values),    "", std::move(column),
            decimalComma, std::move(header), std::move(columnName)};
}

FileCase Refuses(const char* name, std::string text, std::string error, std::string column = "",
                 bool decimalComma = false) {
    return {name, std::move(text), {}, std::move(error), std::move(column), decimalComma, "", ""};
}

INSTANTIATE_TEST_SUITE_P(
    AsPeopleWriteThem, Files,
    ::testing::Values(
        // Plain lists.
        Reads("OneALine", "-1000\n500\n500\n500\n", kStart), Reads("OneLineOfCommas", "-1000,500,500,500", kStart),
        Reads("OneLineOfSpaces", "-1000 500  500 500", kStart),
        Reads("CommasAndBlanks", "-1000, 500, 500, 500\n", kStart), Reads("Semicolons", "-1000;500;500;500", kStart),
        Reads("Tabs", "-1000\t500\t500\t500\r\n", kStart), Reads("Crlf", "-1000\r\n500\r\n500\r\n500\r\n", kStart),
        Reads("OldMacCr", "-1000\r500\r500\r500\r", kStart),
        Reads("Bom", kBom + "-1000\r\n500\r\n500\r\n500\r\n", kStart),
        Reads("Utf16LeWithMark", Utf16Le("-1000\r\n500\r\n500\r\n500\r\n"), kStart),
        Reads("Utf16BeWithMark", Utf16Be("-1000;500;500;500"), kStart),
        Reads("Comments", "# my project\n-1000\n  # year one\n500\n500\n500\n# end\n", kStart),
        Reads("BlankLinesAroundTheData", "\n\n-1000\n500\n500\n500\n\n\n", kStart),
        Reads("Quoted", "\"-1000\",\"500\",\"500\",\"500\"", kStart),
        Reads("Exponents", "-1E3\n5e2\n+500\n500.0", kStart),
        // A tab among blanks: tab-delimited (two tabs are an empty field), so
        // the first field holds blanks.
        Refuses("TabAmongBlanks", "  -1000   500 500\t500  ", "line 1, field 1: '-1000   500 500' is not a number"),
        // Headers.
        Reads("Header", "amount\n-1000\n500\n500\n500", kStart, "amount"),
        Reads("QuotedHeaderBom", kBom + "\"Amount\"\r\n-1000\r\n500\r\n500\r\n500\r\n", kStart, "\"Amount\""),
        Refuses("HeaderOnly", "amount\n", "only the header"),
        // A name of several words over a column copied from a spreadsheet.
        Reads("HeaderWithBlanks", "Cash flow\n-1000\n500\n500\n500\n", kStart, "Cash flow"),
        // Tables: never flattened.
        Refuses("PeriodAmount", "1,-1000\n2,500\n3,500\n4,500", "the file has 2 columns: choose one with --column"),
        Refuses("PeriodAmountHeader", "period,amount\n1,-1000\n2,500\n3,500\n4,500",
                "the file has 2 columns (period, amount): choose one with --column"),
        Reads("PeriodAmountByName", "period,amount\n1,-1000\n2,500\n3,500\n4,500", kStart, "period,amount", "amount",
              "amount"),
        Reads("PeriodAmountByNameAnyCase", "Period;Amount\n1;-1000\n2;500\n3;500\n4;500", kStart, "Period;Amount",
              "AMOUNT", "Amount"),
        Reads("PeriodAmountByNumber", "1\t-1000\n2\t500\n3\t500\n4\t500", kStart, "", "2"),
        Refuses("NoSuchColumn", "1,-1000\n2,500", "there is no column 3: the file has 2 columns", "3"),
        Refuses("NoSuchName", "period,amount\n1,-1000\n2,500",
                "no column is named 'flow': the columns are period, amount", "flow"),
        Refuses("RaggedTable", "1,-1000\n2,500\n3,500,7\n4,500", "line 3 has 3 fields where line 1 has 2", "2"),
        Refuses("HeaderWidth", "period,amount,note\n1,-1000\n2,500", "names 3 columns where line 2 has 2 fields", "2"),
        Refuses("SpacesTable", "-1000 500\n500 500", "the file has 2 columns"),
        // Delimiters at every line's end are no column.
        Reads("TrailingDelimiters", "-1000;\r\n500;\r\n500;\r\n500;\r\n", kStart),
        Reads("TrailingEmptyColumns", "amount,,\n-1000,,\n500,,\n500,,\n500,,\n", kStart, "amount,,"),
        // Separators are never guessed.
        Refuses("ThousandsInOneLine", "-10,000,4,000,4,000", "line 1, field 2: '000' begins with 0 and another digit"),
        Refuses("BlankThousands", "-10 000\n4 000\n4 000", "If its blanks separate thousands"),
        Refuses("DecimalCommasUnderAHeader", "amount\n-1000,50\n500,25",
                "names 1 column where line 2 has 2 fields. If its commas are thousands separators"),
        Refuses("ThousandsSeparators", "-10,000\n4,000\n4,000\n4,000", "If its commas are thousands separators"),
        Refuses("DecimalCommasAsCsv", "-1000,50\n500,25", "use --decimal-comma"),
        Refuses("QuotedThousands", "\"-10,000\",\"4,000\"", "field 1: '-10,000' has a comma"),
        Refuses("CommaInASemicolonField", "-1000;500,5", "line 1, field 2: '500,5' has a comma"),
        Reads("DecimalCommaOneALine", "-1000,50\n500,25\n", {-1000.50, 500.25}, "", "", "", true),
        Reads("DecimalCommaSemicolons", "-1.000,50;500,25;1.250.000", {-1000.50, 500.25, 1250000}, "", "", "", true),
        Refuses("DecimalCommaRefusesAPoint", "-1000;1.5", "field 2: '1.5' is not a number written with a decimal comma",
                "", true),
        // Holes are refused, naming where.
        Refuses("BlankLineInside", "-1000\n500\n\n500\n500", "line 3 is blank: write 0"),
        Refuses("EmptyField", "-1000,500,,500", "line 1, field 3 is empty: write 0"),
        Refuses("TrailingComma", "-1000,500,500,", "line 1, field 4 is empty"),
        Refuses("EmptyColumnCell", "a,b\n1,-1000\n2,\n3,500", "line 3, field 2 is empty", "b"),
        Refuses("NotANumber", "-1000\n5OO\n500", "line 2, field 1: '5OO' is not a number"),
        Refuses("TooLarge", "-1000\n1e400", "'1e400' is too large"),
        Refuses("UnclosedQuote", "\"-1000,500", "line 1, field 1: the quote that opens the field is not closed"),
        Refuses("TextAfterQuote", "\"-1000\"x,500", "text after the closing quote"),
        Refuses("Empty", "", "no cash flows"), Refuses("OnlyComments", "# nothing yet\n\n", "no cash flows"),
        // Not text: refused without echoing raw bytes.
        Refuses("Binary",
                std::string("\x7F"
                            "ELF\x02\x01\x01\0\0\0",
                            10),
                "not a text file (UTF-8 or UTF-16): it begins with \\x7FELF\\x02"),
        Refuses("Latin1", "-1000\n500 \xA4\n", "not a text file"),
        Refuses("Utf16WithoutMark",
                std::string("-\0"
                            "1\0",
                            4),
                "not a text file"),
        Refuses("OddUtf16",
                "\xFF\xFE-\0"
                "1",
                "not a text file")),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Files, HoldAtMostTheLongestSeries) {
    std::string text = "-1000";
    for (int k = 0; k < kMaxPayments; ++k) text += "\n1";
    CashFlowText read = ReadCashFlowText(text);
    ASSERT_TRUE(read.Ok()) << read.error;
    EXPECT_EQ(read.values.size(), static_cast<std::size_t>(kMaxPayments) + 1);
    read = ReadCashFlowText(text + "\n1");
    EXPECT_EQ(read.error, "too many cash flows: P0 and at most 32766 payments can be read");
}

TEST(Files, SayHowTheyWereRead) {
    const CashFlowText read = ReadCashFlowText("period;amount\n1;-1000\n2;1100\n", {.column = "amount"});
    ASSERT_TRUE(read.Ok()) << read.error;
    EXPECT_EQ(read.delimiter, ';');
    EXPECT_EQ(read.column, 2);
    EXPECT_EQ(read.columnName, "amount");
    EXPECT_EQ(read.header, "period;amount");
    EXPECT_EQ(ReadCashFlowText("-1000\n1100").delimiter, 0);
}

}  // namespace
}  // namespace valmora
