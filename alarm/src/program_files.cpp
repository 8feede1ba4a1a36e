// SPDX-License-Identifier: MIT
#include "tikko/alarm/program_files.h"

#include <QDir>
#include <QFileInfo>

namespace tikko {

ProgramFiles::ProgramFiles(QString programFolder, QString installedDataFolder,
                           QString userDataFolder)
    : m_programFolder(std::move(programFolder))
    , m_installedDataFolder(std::move(installedDataFolder))
    , m_userDataFolder(std::move(userDataFolder)) {}

ProgramFiles ProgramFiles::locate(const QString& programFolder, const QString& userDataFolder) {
    const QString data = QDir::cleanPath(
        QDir(programFolder).filePath(QStringLiteral(TIKKO_INSTALLED_DATA_FROM_BIN)));
    return ProgramFiles(programFolder, QFileInfo(data).isDir() ? data : QString(), userDataFolder);
}

QString ProgramFiles::firstExisting(const QString& name, bool withUserFolder) const {
    QStringList folders{m_programFolder, m_installedDataFolder};
    if (withUserFolder)
        folders << m_userDataFolder;
    for (const QString& folder : folders) {
        if (folder.isEmpty())
            continue;
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo(path).isFile())
            return QDir::toNativeSeparators(path);
    }
    return {};
}

QString ProgramFiles::defaultSound() const {
    const QString found = firstExisting(QStringLiteral("alarm.wav"), false);
    return found.isEmpty() ? QDir::toNativeSeparators(
                                 QDir(m_programFolder).filePath(QStringLiteral("alarm.wav")))
                           : found;
}

QString ProgramFiles::skinFile() const {
    return firstExisting(QStringLiteral("skin.she"), true);
}

} // namespace tikko
