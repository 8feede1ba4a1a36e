// SPDX-License-Identifier: MIT
#pragma once

// The colour value without Qt, for code that paints without it (the ActiveX control).

#include <cstdint>

namespace kalendo {

// A colour as the control stores it: 0x00BBGGRR (red in the low byte), or 0x800000nn for
// system colour nn (0 ... 0x18).
using OleColour = std::uint32_t;

// The system colours the control uses.
namespace system_colour {
constexpr OleColour kWindowText = 0x80000008;
constexpr OleColour kButtonFace = 0x8000000F;
constexpr OleColour kButtonText = 0x80000012;
} // namespace system_colour

} // namespace kalendo
