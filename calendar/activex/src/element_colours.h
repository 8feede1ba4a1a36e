// SPDX-License-Identifier: MIT
#pragma once

// The colours of the control's elements, as the appearance table writes, reads, loads and
// saves them.

#include <appearance_table.h>
#include <array>

namespace kalendo::activex {

// The table's names, as the control uses them.
using detail::appearanceProperties;
using detail::AppearanceProperty;
using detail::Attribute;
using detail::Element;
using detail::isValidColour;
using detail::kButtons;
using detail::kCells;
using detail::Slot;

// The colours every element holds; pictures are kept by the control beside them.
struct ElementColours {
    OleColour surfaceBack = 0;
    OleColour titleStripBack = 0;
    std::array<OleColour, 6> titleFore{};
    OleColour yearNameFore = 0, leapYearFore = 0, starSignFore = 0;
    OleColour yearWatermarkFore = 0, monthWatermarkFore = 0;
    std::array<OleColour, 7> weekdayFore{}, weekdayBack{};
    std::array<OleColour, kCells> dayFore{};
    std::array<OleColour, kButtons> buttonBack{};

    // The colour of a slot; nullptr for a slot that holds none.
    OleColour* at(Slot s, Attribute a);
    // The initial look: every colour property's default, window text on the other days.
    static ElementColours initial();
};

} // namespace kalendo::activex
