// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

namespace tikko {

// The style sheet a skin file holds, or nothing when it holds none (a skin of the old
// binary kind, or anything else that is no style sheet text).
QString styleSheetFromSkin(const QByteArray& bytes);

// Applies skin.she at that path to the whole program when it is a style sheet; false when
// there is no such file or it was left alone.
bool applySkinFile(const QString& path);

} // namespace tikko
