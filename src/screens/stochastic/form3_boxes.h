// The numbers the stochastic screen reads from its boxes and shows in its
// labels.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

#include "core/solver/text_rules.h"
#include "screens/common/qt_strings.h"

namespace valmora::form3_boxes {

// The general number text (1000, 1E-08).
inline QString Plain(double value) { return Q(GeneralText(value)); }

// A number a user typed, finite.
inline bool Numeric(const QString& text) { return FiniteNumber(Std(text)).has_value(); }
inline double Value(const QString& text) { return LeadingValue(Std(text)); }

// A typed whole number from `low` to `high` (rounded halves to even), or nothing.
inline std::optional<std::int16_t> Count(const QString& text, int low, int high) {
    if (!Numeric(text)) return std::nullopt;
    auto n = ToInt16(Value(text));
    if (!n || *n < low || *n > high) return std::nullopt;
    return n;
}

}  // namespace valmora::form3_boxes
