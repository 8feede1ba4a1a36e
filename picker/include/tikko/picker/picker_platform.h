// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/picker/picker_logic.h"

#include <QString>
#include <QStringList>

// The little the picker asks of the platform; one implementation file per platform.
namespace tikko::pickerplatform {

enum class SpecialFolder { Desktop, Documents };

// Separator, path case and the platform's file-list additions.
PathRules pathRules();
// The drive list: the roots a user browses, in native form, in the order shown.
QStringList drives();
// The user's desktop or documents folder in native form; empty when there is none.
QString specialFolder(SpecialFolder which);

} // namespace tikko::pickerplatform
