// Numbers in boxes too narrow for all their digits.
#pragma once

#include <string>

class QLineEdit;

namespace valmora {

namespace ui {
class Dialogs;
}

// `value` in `box` in the longest form that fits its width: the general
// number text (up to 15 significant digits), else exponent forms with fewer
// digits (3.162E+151, 3E+151), else the shortest of them in a smaller font;
// never its first digits cut off. When shortened, the tool tip holds the
// whole value.
void ShowFitting(QLineEdit* box, double value);

// Only numbers, or the start of one, can be typed or pasted into `box`: a
// keystroke or paste that would make anything else is refused where it
// happens (the text stays, a beep), and one that makes a number too large
// for a double is refused with a message. Where the locale writes decimal
// commas, a comma typed is taken as the decimal point.
void AcceptOnlyNumbers(QLineEdit* box, ui::Dialogs& dialogs);

// Only digits can be typed or pasted into `box` (a count): any other key,
// a comma or a point too, is refused where it happens, the text kept, with
// a beep.
void AcceptOnlyDigits(QLineEdit* box, ui::Dialogs& dialogs);

// The number typed into `box`, a decimal comma of the locale read as the
// point, without the blanks around it.
std::string TypedNumber(const QLineEdit* box);

}  // namespace valmora
