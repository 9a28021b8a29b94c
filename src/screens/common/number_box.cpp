#include "screens/common/number_box.h"

#include <QFontMetrics>
#include <QLineEdit>

#include <cstdio>
#include <string>

#include "core/solver/text_rules.h"
#include "screens/common/qt_strings.h"

namespace valmora {
namespace {

// `value` with `digits` significant digits in exponent form, without
// trailing zeros: 3.162E+151, 1.5E-08, 3E+151.
QString Exponent(double value, int digits) {
    char text[40];
    std::snprintf(text, sizeof text, "%.*E", digits - 1, value);
    std::string s = text;
    const auto e = s.find('E');
    std::string mantissa = s.substr(0, e);
    if (mantissa.find('.') != std::string::npos) {
        while (mantissa.back() == '0') mantissa.pop_back();
        if (mantissa.back() == '.') mantissa.pop_back();
    }
    return Q(mantissa + s.substr(e));
}

bool Fits(const QLineEdit* box, const QFont& font, const QString& text) {
    // The box's frame and text margins, both sides.
    constexpr int kMargins = 6;
    return QFontMetrics(font).horizontalAdvance(text) <= box->width() - kMargins;
}

}  // namespace

void ShowFitting(QLineEdit* box, double value) {
    const QString whole = Q(GeneralText(value));
    // The font the box was given, kept while a smaller one is in use.
    const char* kOwnFont = "valmoraOwnFont";
    if (!box->property(kOwnFont).isValid()) box->setProperty(kOwnFont, box->font());
    QFont font = box->property(kOwnFont).value<QFont>();
    box->setFont(font);
    QString text = whole;
    for (int digits = 14; !Fits(box, font, text) && digits >= 1; --digits) text = Exponent(value, digits);
    // Not even one digit fits: a smaller font, down to six points.
    while (!Fits(box, font, text) && font.pointSizeF() > 6) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        box->setFont(font);
    }
    box->setText(text);
    box->setCursorPosition(0);
    box->setToolTip(text == whole ? QString() : whole);
}

}  // namespace valmora
