// The numbers the stochastic screen reads from its boxes and shows in its
// labels.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string>

#include "core/solver/text_rules.h"
#include "screens/common/qt_strings.h"
#include "ui/decimal_separator.h"

namespace valmora::form3_boxes {

// The general number text (1000, 1E-08), with the locale's decimal separator.
inline QString Plain(double value) { return ui::InLocale(GeneralText(value)); }

// A box's text as the core reads it: a decimal comma of the locale as the point.
inline std::string Typed(const QString& text) { return Std(ui::FromLocale(text)); }

// A number a user typed, finite; the start of one ("-", "1e").
inline bool Numeric(const QString& text) { return FiniteNumber(Typed(text)).has_value(); }
inline bool Begun(const QString& text) { return TypingState(Typed(text)) == NumberTyping::Partial; }
inline double Value(const QString& text) { return LeadingValue(Typed(text)); }

// A typed whole number from `low` to `high` (rounded halves to even), or nothing.
inline std::optional<std::int16_t> Count(const QString& text, int low, int high) {
    if (!Numeric(text)) return std::nullopt;
    auto n = ToInt16(Value(text));
    if (!n || *n < low || *n > high) return std::nullopt;
    return n;
}

}  // namespace valmora::form3_boxes
