// SPDX-License-Identifier: MIT
#include "kalendo/ole_colour.h"

#include "appearance_table.h"

namespace kalendo {

namespace {

// The nearest palette role for each system colour index.
QColor systemColour(unsigned index, const QPalette& pal) {
    using R = QPalette::ColorRole;
    switch (index) {
    case 0x00:
        return pal.color(R::Button); // scroll bars
    case 0x01:
        return pal.color(R::Dark); // desktop
    case 0x02:
        return pal.color(QPalette::Active, R::Highlight); // active caption
    case 0x03:
        return pal.color(QPalette::Inactive, R::Highlight); // inactive caption
    case 0x04:
        return pal.color(R::Window); // menu
    case 0x05:
        return pal.color(R::Base); // window background
    case 0x06:
        return pal.color(R::Shadow); // window frame
    case 0x07:
        return pal.color(R::WindowText); // menu text
    case 0x08:
        return pal.color(R::Text); // window text
    case 0x09:
        return pal.color(QPalette::Active, R::HighlightedText); // caption text
    case 0x0A:
        return pal.color(R::Window); // active border
    case 0x0B:
        return pal.color(R::Window); // inactive border
    case 0x0C:
        return pal.color(R::Dark); // application workspace
    case 0x0D:
        return pal.color(R::Highlight);
    case 0x0E:
        return pal.color(R::HighlightedText);
    case 0x0F:
        return pal.color(R::Button); // button face
    case 0x10:
        return pal.color(R::Dark); // button shadow
    case 0x11:
        return pal.color(QPalette::Disabled, R::Text); // grey text
    case 0x12:
        return pal.color(R::ButtonText);
    case 0x13:
        return pal.color(QPalette::Inactive, R::HighlightedText);
    case 0x14:
        return pal.color(R::Light); // 3-D highlight
    case 0x15:
        return pal.color(R::Shadow); // 3-D dark shadow
    case 0x16:
        return pal.color(R::Midlight); // 3-D light
    case 0x17:
        return pal.color(R::ToolTipText);
    case 0x18:
        return pal.color(R::ToolTipBase);
    default:
        return {};
    }
}

} // namespace

bool isValidOleColour(OleColour value) {
    return detail::isValidColour(value);
}

QColor toQColor(OleColour value, const QPalette& palette) {
    if (!isValidOleColour(value))
        return {};
    if (value & detail::kSystemColourFlag)
        return systemColour(value & 0xFFu, palette);
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

OleColour fromQColor(const QColor& colour) {
    const QColor c = colour.toRgb();
    return OleColour(c.red()) | OleColour(c.green()) << 8 | OleColour(c.blue()) << 16;
}

} // namespace kalendo
