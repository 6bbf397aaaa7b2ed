#include "app/LightPalette.h"

#include <QApplication>

namespace kalvex {

QPalette LightPalette::palette() {
    // The colours of Qt's own light palette, spelled out: a style or Qt version that follows
    // the desktop's dark scheme must not change them.
    const QColor face(0xef, 0xef, 0xef);
    QPalette palette(Qt::black, face, Qt::white, QColor(0x9f, 0x9f, 0x9f), QColor(0xb8, 0xb8, 0xb8),
                     Qt::black, Qt::white, Qt::white, face);
    palette.setColor(QPalette::Midlight, QColor(0xca, 0xca, 0xca));
    palette.setColor(QPalette::Shadow, QColor(0x76, 0x76, 0x76));
    palette.setColor(QPalette::Highlight, QColor(0x30, 0x8c, 0xc6));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, Qt::blue);
    palette.setColor(QPalette::LinkVisited, Qt::magenta);
    palette.setColor(QPalette::AlternateBase, QColor(0xf7, 0xf7, 0xf7));
    palette.setColor(QPalette::ToolTipBase, QColor(0xff, 0xff, 0xdc));
    palette.setColor(QPalette::ToolTipText, Qt::black);
    palette.setColor(QPalette::PlaceholderText, QColor(0, 0, 0, 0x80));

    const QColor disabledText(0xbe, 0xbe, 0xbe);
    for (const auto role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::Dark})
        palette.setColor(QPalette::Disabled, role, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::Base, face);
    palette.setColor(QPalette::Disabled, QPalette::Shadow, QColor(0xb1, 0xb1, 0xb1));
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x91, 0x91, 0x91));
    return palette;
}

void LightPalette::apply() {
    QApplication::setPalette(palette());
}

} // namespace kalvex
