#include "ui/decimal_separator.h"

#include <QLocale>
#include <QRegularExpression>

namespace valmora::ui {

bool DecimalComma() { return QLocale().decimalPoint() == ","; }

QString InLocale(const QString& text) {
    // A number, or the start of one being typed ("-.", "1.5e", "1.5E-").
    static const QRegularExpression number(R"(^\s*[-+]?\d*\.\d*([Ee][-+]?\d*)?\s*$)");
    if (!DecimalComma() || !text.contains('.') || !number.match(text).hasMatch()) return text;
    QString shown = text;
    return shown.replace('.', ',');
}

QString InLocale(const std::string& text) { return InLocale(QString::fromStdString(text)); }

QString NumbersInLocale(const QString& text) {
    // A list's comma after a number becomes a semicolon first, so that
    // "0.1, 0.2 and 0.3" reads "0,1; 0,2 and 0,3", not "0,1, 0,2 and 0,3".
    static const QRegularExpression listComma(R"((?<=\d), )");
    // A number's point: digits on both sides, and no other point in the
    // token (a version such as 1.1.4 stays as it is).
    static const QRegularExpression number(R"((?<![\d.])(\d+)\.(\d+)(?!\d|\.\d))");
    if (!DecimalComma()) return text;
    QString shown = text;
    return shown.replace(listComma, "; ").replace(number, "\\1,\\2");
}

QString FromLocale(const QString& text) {
    if (!DecimalComma()) return text;
    QString read = text;
    return read.replace(',', '.');
}

}  // namespace valmora::ui
