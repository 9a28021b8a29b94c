#include "screens/common/number_box.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QValidator>

#include <cstdio>
#include <string>
#include <utility>

#include "core/solver/text_rules.h"
#include "screens/common/qt_strings.h"
#include "ui/decimal_separator.h"
#include "ui/dialogs.h"

namespace valmora {
namespace {

// Numbers as typed key by key; remembers the last text refused for being
// too large, for the message.
class NumberValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int&) const override {
        // Where the user's locale writes a decimal comma, a comma typed (or
        // sent by the keypad's decimal key) is the decimal point; the box
        // keeps it as typed.
        switch (TypingState(Std(ui::FromLocale(input)))) {
            case NumberTyping::Number: return Acceptable;
            case NumberTyping::Partial: return Intermediate;
            case NumberTyping::TooLarge: tooLarge_ = input; return Invalid;
            case NumberTyping::Invalid: break;
        }
        return Invalid;
    }

    // The text last refused for being too large, once.
    QString TakeTooLarge() { return std::exchange(tooLarge_, QString()); }

private:
    mutable QString tooLarge_;
};

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
    const QString whole = ui::InLocale(GeneralText(value));
    // The font the box was given, kept while a smaller one is in use.
    const char* kOwnFont = "valmoraOwnFont";
    if (!box->property(kOwnFont).isValid()) box->setProperty(kOwnFont, box->font());
    QFont font = box->property(kOwnFont).value<QFont>();
    box->setFont(font);
    QString text = whole;
    for (int digits = 14; !Fits(box, font, text) && digits >= 1; --digits) text = ui::InLocale(Exponent(value, digits));
    // Not even one digit fits: a smaller font, down to six points.
    while (!Fits(box, font, text) && font.pointSizeF() > 6) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        box->setFont(font);
    }
    box->setText(text);
    box->setCursorPosition(0);
    box->setToolTip(text == whole ? QString() : whole);
}

void AcceptOnlyNumbers(QLineEdit* box, ui::Dialogs& dialogs) {
    auto* validator = new NumberValidator(box);
    box->setValidator(validator);
    QObject::connect(box, &QLineEdit::inputRejected, box, [validator, &dialogs] {
        const QString tooLarge = validator->TakeTooLarge();
        if (tooLarge.isEmpty()) dialogs.Beep();
        else dialogs.Message(tooLarge + " is too large for a number.", "Error!");
    });
}

void AcceptOnlyDigits(QLineEdit* box, ui::Dialogs& dialogs) {
    box->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), box));
    QObject::connect(box, &QLineEdit::inputRejected, box, [&dialogs] { dialogs.Beep(); });
}

std::string TypedNumber(const QLineEdit* box) { return Std(ui::FromLocale(box->text().trimmed())); }

}  // namespace valmora
