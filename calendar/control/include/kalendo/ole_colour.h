// SPDX-License-Identifier: MIT
#pragma once

#include "kalendo/kalendo_export.h"
#include "kalendo/ole_colour_value.h"

#include <QColor>
#include <QPalette>
#include <optional>

namespace kalendo {

// Whether `value` is a colour the control accepts.
KALENDO_EXPORT bool isValidOleColour(OleColour value);

// What Qt paints for a stored colour; system colours come from `palette`. An invalid value
// gives an invalid QColor.
KALENDO_EXPORT QColor toQColor(OleColour value, const QPalette& palette);

// The plain 0x00BBGGRR value of a Qt colour (alpha dropped).
KALENDO_EXPORT OleColour fromQColor(const QColor& colour);

} // namespace kalendo
