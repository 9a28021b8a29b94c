#include "core/reading/cash_flow_reader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <optional>

#include "core/solver/text_rules.h"

namespace valmora {
namespace {

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool AllDigits(std::string_view s) { return !s.empty() && std::all_of(s.begin(), s.end(), IsDigit); }

// A refusal, carried out of the nested steps to ReadCashFlowText.
struct Refused {
    std::string message;
};

// Bytes as a message may show them: printable ASCII as it is, the rest as \xNN.
std::string Escaped(std::string_view bytes) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string shown;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f) {
            shown += c;
        } else {
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 0xf];
        }
    }
    return shown;
}

// Decoded text as a message may show it: control characters as \xNN, the
// rest (UTF-8 included) as it is; a long text cut after 40 bytes.
std::string Shown(std::string_view text) {
    constexpr std::size_t kLongest = 40;
    std::string shown;
    if (text.size() > kLongest) return Shown(text.substr(0, kLongest)) + "...";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) shown += Escaped(std::string_view(&c, 1));
        else shown += c;
    }
    return shown;
}

[[noreturn]] void NotText(std::string_view bytes) {
    throw Refused{"not a text file (UTF-8 or UTF-16): it begins with " + Escaped(bytes.substr(0, 16))};
}

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// UTF-16 after its byte-order mark, as UTF-8.
std::string FromUtf16(std::string_view all, bool bigEndian) {
    const std::string_view units = all.substr(2);
    if (units.size() % 2 != 0) NotText(all);
    auto unit = [&](std::size_t i) -> std::uint32_t {
        const auto a = static_cast<unsigned char>(units[2 * i]);
        const auto b = static_cast<unsigned char>(units[2 * i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    std::string out;
    const std::size_t count = units.size() / 2;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t code = unit(i);
        if (code >= 0xD800 && code < 0xDC00) {
            if (i + 1 >= count || unit(i + 1) < 0xDC00 || unit(i + 1) >= 0xE000) NotText(all);
            code = 0x10000 + ((code - 0xD800) << 10) + (unit(++i) - 0xDC00);
        } else if (code >= 0xDC00 && code < 0xE000) {
            NotText(all);
        }
        if (code == 0) NotText(all);
        AppendUtf8(out, code);
    }
    return out;
}

// The text as UTF-8 without a byte-order mark; binary data and other
// encodings are refused.
std::string Decoded(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) return FromUtf16(bytes, false);
    if (bytes.starts_with("\xFE\xFF")) return FromUtf16(bytes, true);
    std::string_view text = bytes;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == 0) NotText(bytes);
        std::size_t length = byte < 0x80           ? 1
                             : (byte >> 5) == 0x6  ? 2
                             : (byte >> 4) == 0xE  ? 3
                             : (byte >> 3) == 0x1E ? 4
                                                   : 0;
        if (length == 0 || i + length > text.size()) NotText(bytes);
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x2) NotText(bytes);
        i += length;
    }
    return std::string(text);
}

struct Line {
    int number;  // from 1
    std::string_view text;
};

// Lines ending in LF, CRLF or CR.
std::vector<Line> Lines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    int number = 1;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\n' && text[i] != '\r') continue;
        if (i == text.size() && start == i) break;  // no line after the last line end
        lines.push_back({number++, text.substr(start, i - start)});
        if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    return lines;
}

bool IsBlankChar(char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v'; }

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && IsBlankChar(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlankChar(s.back())) s.remove_suffix(1);
    return s;
}

bool IsBlank(std::string_view s) { return Trimmed(s).empty(); }
bool IsComment(std::string_view s) { return Trimmed(s).starts_with('#'); }

std::string Where(const Line& line) { return "line " + std::to_string(line.number); }
std::string Where(const Line& line, std::size_t field) { return Where(line) + ", field " + std::to_string(field + 1); }

// The characters of a line outside quotes.
template <typename Visit>
void OutsideQuotes(std::string_view s, Visit visit) {
    bool quoted = false;
    for (const char c : s) {
        if (c == '"') quoted = !quoted;
        else if (!quoted) visit(c);
    }
}

// The file's delimiter, from every data line.
char DelimiterOf(const std::vector<Line>& data, bool decimalComma) {
    bool tab = false, semicolon = false, comma = false, blanks = false;
    for (const Line& line : data) {
        const std::string_view s = Trimmed(line.text);
        OutsideQuotes(s, [&](char c) {
            tab |= c == '\t';
            semicolon |= c == ';';
            comma |= c == ',';
            blanks |= c == ' ';
        });
    }
    if (semicolon) return ';';
    if (comma && !decimalComma) return ',';
    if (tab) return '\t';
    return blanks ? ' ' : 0;
}

// The fields of a line, unquoted and without the blanks around them.
std::vector<std::string> FieldsOf(const Line& line, char delimiter) {
    const std::string_view s = Trimmed(line.text);
    std::vector<std::string> fields;
    std::size_t i = 0;
    while (true) {
        while (i < s.size() && s[i] == ' ' && delimiter != ' ') ++i;
        std::string field;
        bool quoted = false;
        if (i < s.size() && s[i] == '"') {
            quoted = true;
            std::size_t k = i + 1;
            while (true) {
                if (k >= s.size())
                    throw Refused{Where(line, fields.size()) + ": the quote that opens the field is not closed"};
                if (s[k] == '"') {
                    if (k + 1 < s.size() && s[k + 1] == '"') {
                        field += '"';
                        k += 2;
                        continue;
                    }
                    break;
                }
                field += s[k++];
            }
            i = k + 1;
            while (i < s.size() && IsBlankChar(s[i]) && s[i] != delimiter) ++i;
        }
        const std::size_t end = delimiter == 0 ? s.size() : s.find(delimiter, i);
        const std::string_view rest = s.substr(i, (end == std::string_view::npos ? s.size() : end) - i);
        if (quoted && !Trimmed(rest).empty())
            throw Refused{Where(line, fields.size()) + ": text after the closing quote"};
        if (!quoted) field = std::string(Trimmed(rest));
        fields.push_back(std::move(field));
        if (end == std::string_view::npos || delimiter == 0) break;
        i = end + 1;
        if (delimiter == ' ')
            while (i < s.size() && s[i] == ' ') ++i;
    }
    return fields;
}

// A number written with a decimal comma ("1.000,50", "500,25", "-2,5E3") in
// the command line's form ("1000.50"); nothing when it is not one.
std::optional<std::string> FromDecimalComma(std::string_view field) {
    std::string out;
    std::size_t i = 0;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) out += field[i++];
    const std::size_t intStart = i;
    std::size_t digits = 0, groupDigits = 0;
    bool grouped = false;
    for (; i < field.size(); ++i) {
        const char c = field[i];
        if (IsDigit(c)) {
            out += c;
            ++digits;
            ++groupDigits;
        } else if (c == '.') {
            // Thousands: one to three digits before the first point, three between points.
            if ((grouped ? groupDigits != 3 : (groupDigits == 0 || groupDigits > 3))) return std::nullopt;
            grouped = true;
            groupDigits = 0;
        } else {
            break;
        }
    }
    if (grouped && groupDigits != 3) return std::nullopt;
    if (i < field.size() && field[i] == ',') {
        out += '.';
        ++i;
        while (i < field.size() && IsDigit(field[i])) {
            out += field[i++];
            ++digits;
        }
    }
    if (digits == 0 || i == intStart) return std::nullopt;
    if (i < field.size() && (field[i] == 'e' || field[i] == 'E')) out += field.substr(i);
    else if (i != field.size()) return std::nullopt;
    if (!IsNumeric(out)) return std::nullopt;
    return out;
}

// A field a header cannot hold: a number, or digits written with commas and
// points ("-10,000", "1.000,50"), which the reading of numbers then refuses
// or reads.
bool HoldsNumber(const std::string& field, bool decimalComma) {
    if (decimalComma ? FromDecimalComma(field).has_value() : IsNumeric(field)) return true;
    return std::any_of(field.begin(), field.end(), IsDigit) && std::all_of(field.begin(), field.end(), [](char c) {
               return IsDigit(c) || c == ',' || c == '.' || c == '-' || c == '+';
           });
}

double NumberOf(const std::string& field, const Line& line, std::size_t index, const CashFlowReading& how) {
    const std::string place = Where(line, index);
    if (field.empty()) throw Refused{place + " is empty: write 0 for a period without a payment"};
    std::string text = field;
    if (how.decimalComma) {
        const auto plain = FromDecimalComma(field);
        if (!plain) throw Refused{place + ": '" + Shown(field) + "' is not a number written with a decimal comma"};
        text = *plain;
    } else if (field.find(',') != std::string::npos) {
        throw Refused{place + ": '" + Shown(field) + "' has a comma: write numbers without thousands separators" +
                      (how.useDecimalComma.empty() ? std::string(", with a point before decimals")
                                                   : "; for decimal commas use " + how.useDecimalComma +
                                                         ", with the fields separated by semicolons or tabs")};
    }
    if (!IsNumeric(text)) throw Refused{place + ": '" + Shown(field) + "' is not a number"};
    const double value = LeadingValue(text);
    if (!std::isfinite(value)) throw Refused{place + ": '" + Shown(field) + "' is too large"};
    return value;
}

std::string Fields(std::size_t n) { return std::to_string(n) + (n == 1 ? " field" : " fields"); }

std::string Joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names) out += (out.empty() ? "" : ", ") + Shown(name);
    return out;
}

// When every line ends in digits alone after the delimiter, the delimiter may
// be a thousands separator ("-10,000", "10 000") or a decimal comma
// ("500,25"): what to write instead. Empty otherwise.
std::string SeparatorHint(const std::vector<std::vector<std::string>>& rows, char delimiter,
                          const CashFlowReading& how) {
    const bool digitsLast = !rows.empty() && std::all_of(rows.begin(), rows.end(), [](const auto& row) {
        return row.size() >= 2 && AllDigits(row.back());
    });
    if (!digitsLast) return "";
    if (delimiter == ',' && how.useDecimalComma.empty())
        return ". If its commas are thousands separators or decimal commas, write the numbers without thousands "
               "separators and with a point before decimals";
    if (delimiter == ',')
        return ". If its commas are thousands separators, write the numbers without them; if they are decimal "
               "commas, separate the fields with semicolons and use " +
               how.useDecimalComma;
    if (delimiter == ' ') return ". If its blanks separate thousands, write the numbers without them";
    return "";
}

// The column `how.column` names, from 0.
std::size_t ChosenColumn(const CashFlowReading& how, std::size_t count, const std::vector<std::string>& names) {
    const std::string& choice = how.column;
    const bool numbered = AllDigits(choice);
    const std::string columns = names.empty() ? "" : " (" + Joined(names) + ")";
    if (numbered) {
        const long k = choice.size() > 6 ? 0 : std::stol(choice);
        if (k < 1 || static_cast<std::size_t>(k) > count)
            throw Refused{"there is no column " + Shown(choice) + ": " + how.source + " has " + std::to_string(count) +
                          (count == 1 ? " column" : " columns") + columns};
        return static_cast<std::size_t>(k - 1);
    }
    for (int pass = 0; pass < 2; ++pass)
        for (std::size_t k = 0; k < names.size(); ++k) {
            const bool same =
                pass == 0
                    ? names[k] == choice
                    : std::equal(names[k].begin(), names[k].end(), choice.begin(), choice.end(),
                                 [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); });
            if (same) return k;
        }
    if (names.empty())
        throw Refused{"no column is named '" + Shown(choice) + "': " + how.source +
                      " has no header; give the column's number"};
    throw Refused{"no column is named '" + Shown(choice) + "': the columns are " + Joined(names)};
}

CashFlowText Read(std::string_view bytes, const CashFlowReading& how) {
    const std::string text = Decoded(bytes);
    const std::vector<Line> lines = Lines(text);
    std::vector<Line> data;
    for (const Line& line : lines) {
        if (IsComment(line.text)) continue;
        if (IsBlank(line.text)) {
            // Blank lines count only between lines of data.
            if (!data.empty()) data.push_back(line);
            continue;
        }
        data.push_back(line);
    }
    while (!data.empty() && IsBlank(data.back().text)) data.pop_back();
    for (const Line& line : data)
        if (IsBlank(line.text)) throw Refused{Where(line) + " is blank: write 0 for a period without a payment"};
    if (data.empty()) throw Refused{"no cash flows: the text holds no numbers"};

    CashFlowText read;
    read.delimiter = DelimiterOf(data, how.decimalComma);
    std::vector<std::vector<std::string>> rows;
    for (const Line& line : data) rows.push_back(FieldsOf(line, read.delimiter));

    std::vector<std::string> names;
    std::size_t first = 0;  // the first row of data
    if (std::none_of(rows[0].begin(), rows[0].end(),
                     [&](const std::string& f) { return HoldsNumber(f, how.decimalComma); })) {
        read.header = std::string(Trimmed(data[0].text));
        names = rows[0];
        first = 1;
        if (rows.size() == 1) throw Refused{"no cash flows: the text holds only the header " + Shown(read.header)};
    }
    // A last column empty on every line of data is an artifact of the export
    // (a delimiter at each line's end), not a column of payments.
    while (rows.size() - first >= 2 &&
           std::all_of(rows.begin() + static_cast<std::ptrdiff_t>(first), rows.end(),
                       [](const auto& row) { return row.size() >= 2 && row.back().empty(); })) {
        const std::size_t last = rows[first].size();
        for (std::size_t r = first; r < rows.size(); ++r) rows[r].pop_back();
        if (names.size() == last && names.back().empty()) names.pop_back();
    }
    const std::vector<std::vector<std::string>> dataRows(rows.begin() + static_cast<std::ptrdiff_t>(first), rows.end());
    const std::size_t width = rows[first].size();
    for (std::size_t r = first + 1; r < rows.size(); ++r)
        if (rows[r].size() != width)
            throw Refused{Where(data[r]) + " has " + Fields(rows[r].size()) + " where " + Where(data[first]) + " has " +
                          std::to_string(width)};
    const bool oneLine = rows.size() - first == 1;
    // Over one column of numbers a header's blanks are part of its name
    // ("Cash flow"), not delimiters.
    if (read.delimiter == ' ' && width == 1 && names.size() > 1) names = {read.header};
    if (!names.empty() && names.size() != width && !(oneLine && names.size() == 1))
        throw Refused{"the header on " + Where(data[0]) + " names " + std::to_string(names.size()) +
                      (names.size() == 1 ? " column" : " columns") + " where " + Where(data[first]) + " has " +
                      Fields(width) + SeparatorHint(dataRows, read.delimiter, how)};

    auto add = [&](const std::string& field, const Line& line, std::size_t index) {
        if (read.values.size() >= how.mostValues)
            throw Refused{"too many cash flows: P0 and at most " + std::to_string(how.mostValues - 1) +
                          " payments can be read"};
        // "000" or "050" after a comma or a blank: the end of a number
        // written with thousands separators, not a number of its own.
        const std::string_view digits =
            std::string_view(field).substr(field.starts_with('-') || field.starts_with('+'));
        if ((read.delimiter == ',' || read.delimiter == ' ') && digits.size() >= 2 && digits[0] == '0' &&
            IsDigit(digits[1]))
            throw Refused{Where(line, index) + ": '" + Shown(field) +
                          "' begins with 0 and another digit, like the end of a number written with thousands "
                          "separators: write numbers without them"};
        read.values.push_back(NumberOf(field, line, index, how));
    };
    if (how.column.empty() && (width == 1 || oneLine)) {
        // One value a line, or the series along one line.
        for (std::size_t r = first; r < rows.size(); ++r)
            for (std::size_t k = 0; k < rows[r].size(); ++k) add(rows[r][k], data[r], k);
        return read;
    }
    if (how.column.empty()) {
        std::string message = how.source + " has " + std::to_string(width) + " columns";
        if (!names.empty()) message += " (" + Joined(names) + ")";
        message += ": " + how.chooseColumn;
        throw Refused{message + SeparatorHint(dataRows, read.delimiter, how)};
    }
    const std::size_t column = ChosenColumn(how, width, names);
    read.column = static_cast<int>(column) + 1;
    if (!names.empty()) read.columnName = names[column];
    for (std::size_t r = first; r < rows.size(); ++r) add(rows[r][column], data[r], column);
    return read;
}

}  // namespace

CashFlowText ReadCashFlowText(std::string_view bytes, const CashFlowReading& how) {
    try {
        return Read(bytes, how);
    } catch (const Refused& refused) {
        CashFlowText text;
        text.error = refused.message;
        return text;
    }
}

}  // namespace valmora
