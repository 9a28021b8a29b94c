#include "palettes.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

#include <memory>

namespace valmora::testing {

QPalette LightPalette() {
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create("Fusion"));
    return fusion->standardPalette();
}

QPalette DarkPalette() {
    const QColor window(53, 53, 53), base(42, 42, 42), text(255, 255, 255), faint(127, 127, 127);
    const QColor highlight(42, 130, 218);
    QPalette dark(text, window, QColor(80, 80, 80), QColor(25, 25, 25), QColor(40, 40, 40), text, QColor(255, 85, 85),
                  base, window);
    dark.setColor(QPalette::Midlight, QColor(66, 66, 66));
    dark.setColor(QPalette::Shadow, QColor(10, 10, 10));
    dark.setColor(QPalette::AlternateBase, QColor(66, 66, 66));
    dark.setColor(QPalette::ToolTipBase, window);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::PlaceholderText, QColor(160, 160, 160));
    dark.setColor(QPalette::Link, highlight);
    dark.setColor(QPalette::Highlight, highlight);
    dark.setColor(QPalette::HighlightedText, QColor(0, 0, 0));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(QPalette::Disabled, role, faint);
    dark.setColor(QPalette::Disabled, QPalette::Base, window);
    return dark;
}

namespace {

// The widgets hear of the new palette through posted events.
void UsePalette(const QPalette& palette) {
    QApplication::setPalette(palette);
    QCoreApplication::sendPostedEvents();
}

}  // namespace

PaletteInUse::PaletteInUse(const QPalette& palette) : before_(QApplication::palette()) { UsePalette(palette); }

PaletteInUse::~PaletteInUse() { UsePalette(before_); }

}  // namespace valmora::testing
