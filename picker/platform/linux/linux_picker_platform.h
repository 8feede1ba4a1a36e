// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tikko::pickerplatform {

// One mounted file system as the system reports it.
struct MountEntry {
    QString root;
    bool ready = false;
};

// The drives a user browses among the mounted file systems: the root first, then the home
// volume when it is separate, then the removable media (under /media, /run/media, /mnt).
QStringList browsableMounts(const QList<MountEntry>& mounts, const QString& homeRoot);

} // namespace tikko::pickerplatform
