#include "ui/decimal_separator.h"

#include <QLocale>
#include <QRegularExpression>

namespace valmora::ui {

bool DecimalComma() { return QLocale().decimalPoint() == ","; }

QString InLocale(const QString& text) {
    static const QRegularExpression number(R"(^\s*[-+]?(\d+\.?\d*|\.\d+)([Ee][-+]?\d+)?\s*$)");
    if (!DecimalComma() || !text.contains('.') || !number.match(text).hasMatch()) return text;
    QString shown = text;
    return shown.replace('.', ',');
}

QString NumbersInLocale(const QString& text) {
    static const QRegularExpression point(R"((?<=\d)\.(?=\d))");
    if (!DecimalComma()) return text;
    QString shown = text;
    return shown.replace(point, ",");
}

QString FromLocale(const QString& text) {
    if (!DecimalComma()) return text;
    QString read = text;
    return read.replace(',', '.');
}

}  // namespace valmora::ui
