// SPDX-License-Identifier: MIT
#include "tikko/picker/picker_platform.h"

#include <QDir>
#include <QFileInfo>
#include <shlobj.h>
#include <windows.h>

namespace tikko::pickerplatform {

PathRules pathRules() {
    // The sound backend plays only the caller's formats; programs carry their extension.
    return {QLatin1Char('\\'), Qt::CaseInsensitive, {}, false};
}

QStringList drives() {
    QStringList roots;
    for (const QFileInfo& drive : QDir::drives())
        roots.append(QDir::toNativeSeparators(drive.absoluteFilePath())); // "C:\"
    return roots;
}

QString specialFolder(SpecialFolder which) {
    const int number = which == SpecialFolder::Desktop ? CSIDL_DESKTOP : CSIDL_PERSONAL;
    PIDLIST_ABSOLUTE items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, number, &items)) || !items)
        return {};
    wchar_t buffer[MAX_PATH + 1] = {};
    const bool found = SHGetPathFromIDListW(items, buffer);
    CoTaskMemFree(items);
    // The buffer ends at its first NUL.
    return found ? QString::fromWCharArray(buffer) : QString();
}

} // namespace tikko::pickerplatform
