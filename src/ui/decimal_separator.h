// Numbers as the user's locale writes them. The program's own texts and the
// core read and write a decimal point; where the locale writes a decimal
// comma, the screens show one and take one typed.
#pragma once

#include <QString>

#include <string>

namespace valmora::ui {

// Whether the user's locale writes decimal commas (de_DE, fr_FR).
bool DecimalComma();

// A number's text (1.5, -2.5E-08) with the locale's decimal separator; any
// other text as it is.
QString InLocale(const QString& text);
QString InLocale(const std::string& text);

// Every decimal point between two digits of a sentence or a label
// ("worth -0.25 today") as the locale writes it; where that is a comma, a
// list's comma after a number becomes a semicolon ("0,1; 0,2 and 0,3").
QString NumbersInLocale(const QString& text);

// A number's text as typed or shown with the locale's decimal comma, with
// the decimal point the program reads (a point typed stays a point).
QString FromLocale(const QString& text);

}  // namespace valmora::ui
