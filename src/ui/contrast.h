// Whether text reads against what it is drawn on, by the contrast ratio of
// the Web Content Accessibility Guidelines: (L1 + 0.05) / (L2 + 0.05) of the
// relative luminances of the lighter and the darker colour, from 1 (the same
// luminance) to 21 (black on white). Text needs at least 4.5, lines and
// marks of a chart at least 3.
#pragma once

#include <QColor>

namespace valmora::ui {

inline constexpr double kTextContrast = 4.5;
inline constexpr double kGraphicContrast = 3.0;

// From 0 (black) to 1 (white); the alpha channel is not looked at.
double RelativeLuminance(const QColor& color);
double ContrastRatio(const QColor& a, const QColor& b);

// The colour to write on `face`: `preferred` when it reads there, otherwise
// black or white, whichever reads better (one of them always reads: each
// colour has a contrast of at least 4.58 with black or with white).
QColor ReadableText(const QColor& face, const QColor& preferred = QColor());

// `wanted` made lighter or darker, its hue kept, just enough to reach
// `ratio` against `background`; `wanted` itself when it reads already.
QColor ReadableVariant(const QColor& wanted, const QColor& background, double ratio = kTextContrast);

// The text drawn on `face` when the control is disabled: between the text
// and the face, faint enough to look disabled.
QColor DisabledText(const QColor& text, const QColor& face);

}  // namespace valmora::ui
