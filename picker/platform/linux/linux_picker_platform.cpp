// SPDX-License-Identifier: MIT
#include "linux_picker_platform.h"

#include "tikko/picker/picker_platform.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>
#include <algorithm>

namespace tikko::pickerplatform {

namespace {

bool isRemovableMount(const QString& root) {
    for (const char* base : {"/media/", "/run/media/", "/mnt/"})
        if (root.startsWith(QLatin1String(base)))
            return true;
    return root == QLatin1String("/mnt");
}

} // namespace

QStringList browsableMounts(const QList<MountEntry>& mounts, const QString& homeRoot) {
    // The root is always there; system mounts (/proc, /boot, snaps, ...) are not for browsing.
    QStringList drives{QStringLiteral("/")};
    if (!homeRoot.isEmpty() && homeRoot != QLatin1String("/") &&
        std::any_of(mounts.cbegin(), mounts.cend(),
                    [&](const MountEntry& m) { return m.ready && m.root == homeRoot; }))
        drives.append(homeRoot);
    QStringList removable;
    for (const MountEntry& m : mounts)
        if (m.ready && isRemovableMount(m.root) && !drives.contains(m.root) &&
            !removable.contains(m.root))
            removable.append(m.root);
    removable.sort();
    return drives + removable;
}

PathRules pathRules() {
    // Programs have no extension here, and the sound backend also plays these formats.
    return {QLatin1Char('/'),
            Qt::CaseSensitive,
            {QStringLiteral("*.ogg"), QStringLiteral("*.oga"), QStringLiteral("*.flac")},
            true};
}

QStringList drives() {
    QList<MountEntry> mounts;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        mounts.append({volume.rootPath(), volume.isValid() && volume.isReady()});
    return browsableMounts(mounts, QStorageInfo(QDir::homePath()).rootPath());
}

QString specialFolder(SpecialFolder which) {
    const QString path = QStandardPaths::writableLocation(which == SpecialFolder::Desktop
                                                              ? QStandardPaths::DesktopLocation
                                                              : QStandardPaths::DocumentsLocation);
    // Without a desktop or documents folder the user folders fall back to home, as the
    // desktop's own user-folder rules do.
    if (!path.isEmpty() && QFileInfo(path).isDir())
        return path;
    return QDir::homePath();
}

} // namespace tikko::pickerplatform
