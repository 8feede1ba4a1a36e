// SPDX-License-Identifier: MIT
#pragma once

#include "kalendo/kalendo_export.h"

#include <QColor>
#include <QPalette>
#include <optional>

namespace kalendo {

// A colour as the control stores it: 0x00BBGGRR (red in the low byte), or 0x800000nn for
// system colour nn (0 ... 0x18).
using OleColour = quint32;

// The system colours the control uses.
namespace system_colour {
constexpr OleColour kWindowText = 0x80000008;
constexpr OleColour kButtonFace = 0x8000000F;
constexpr OleColour kButtonText = 0x80000012;
} // namespace system_colour

// Whether `value` is a colour the control accepts.
KALENDO_EXPORT bool isValidOleColour(OleColour value);

// What Qt paints for a stored colour; system colours come from `palette`. An invalid value
// gives an invalid QColor.
KALENDO_EXPORT QColor toQColor(OleColour value, const QPalette& palette);

// The plain 0x00BBGGRR value of a Qt colour (alpha dropped).
KALENDO_EXPORT OleColour fromQColor(const QColor& colour);

} // namespace kalendo
