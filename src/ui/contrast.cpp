#include "ui/contrast.h"

#include <algorithm>
#include <cmath>

namespace valmora::ui {
namespace {

double Linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

QColor Mix(const QColor& from, const QColor& to, double share) {
    auto channel = [share](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * share)); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()), channel(from.blue(), to.blue()));
}

}  // namespace

double RelativeLuminance(const QColor& color) {
    const QColor rgb = color.toRgb();
    return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) + 0.0722 * Linear(rgb.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableText(const QColor& face, const QColor& preferred) {
    if (preferred.isValid() && ContrastRatio(preferred, face) >= kTextContrast) return preferred;
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    return ContrastRatio(black, face) >= ContrastRatio(white, face) ? black : white;
}

QColor ReadableVariant(const QColor& wanted, const QColor& background, double ratio) {
    if (ContrastRatio(wanted, background) >= ratio) return wanted;
    // Towards black on a light background, towards white on a dark one; the
    // first step that reads, or the end itself.
    const bool darken = ContrastRatio(QColor(0, 0, 0), background) >= ContrastRatio(QColor(255, 255, 255), background);
    const QColor end = darken ? QColor(0, 0, 0) : QColor(255, 255, 255);
    for (int step = 1; step <= 100; ++step) {
        const QColor tried = Mix(wanted, end, step / 100.0);
        if (ContrastRatio(tried, background) >= ratio) return tried;
    }
    return end;
}

QColor DisabledText(const QColor& text, const QColor& face) { return Mix(text, face, 0.6); }

}  // namespace valmora::ui
