// SPDX-License-Identifier: MIT
#include "element_colours.h"

namespace kalendo::activex {

OleColour* ElementColours::at(Slot s, Attribute a) {
    const auto i = static_cast<std::size_t>(s.index);
    const bool fore = a == Attribute::ForeColour;
    switch (s.element) {
    case Element::Surface:
        return &surfaceBack;
    case Element::TitleStrip:
        return &titleStripBack;
    case Element::TitleLabel:
        return &titleFore.at(i);
    case Element::YearName:
        return &yearNameFore;
    case Element::LeapYear:
        return &leapYearFore;
    case Element::StarSign:
        return &starSignFore;
    case Element::YearWatermark:
        return &yearWatermarkFore;
    case Element::MonthWatermark:
        return &monthWatermarkFore;
    case Element::Weekday:
        return fore ? &weekdayFore.at(i) : &weekdayBack.at(i);
    case Element::Day:
        return &dayFore.at(i);
    case Element::Button:
        return &buttonBack.at(i);
    case Element::BackgroundPicture:
        break;
    }
    return nullptr;
}

ElementColours ElementColours::initial() {
    ElementColours c;
    c.dayFore.fill(system_colour::kWindowText);
    for (const AppearanceProperty& p : appearanceProperties())
        if (p.isColour())
            for (const Slot& s : p.writes)
                *c.at(s, p.attribute) = p.defaultColour;
    return c;
}

} // namespace kalendo::activex
