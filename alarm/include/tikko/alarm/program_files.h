// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace tikko {

// Where the program finds its own files. Its folder comes first, so that a copied or
// portable program keeps working as it always has; then, for a program that runs from an
// installed tree (bin/ with share/tikkoclock/ beside it), the installed data folder; and
// for the skin also the user's data folder.
class ProgramFiles {
public:
    explicit ProgramFiles(QString programFolder, QString installedDataFolder = {},
                          QString userDataFolder = {});

    // Finds the installed data folder relative to the program folder, so that a tree moved
    // as a whole (a package, a staging folder) is still recognised.
    static ProgramFiles locate(const QString& programFolder, const QString& userDataFolder);

    const QString& programFolder() const { return m_programFolder; }
    const QString& installedDataFolder() const { return m_installedDataFolder; }
    const QString& userDataFolder() const { return m_userDataFolder; }
    // An installed program never writes into its own folder: that is a system folder.
    bool installed() const { return !m_installedDataFolder.isEmpty(); }

    // The default alarm sound: the first alarm.wav that exists, else the program folder's.
    QString defaultSound() const;
    // skin.she: the first that exists; empty when there is none.
    QString skinFile() const;

private:
    QString firstExisting(const QString& name, bool withUserFolder) const;

    QString m_programFolder;
    QString m_installedDataFolder;
    QString m_userDataFolder;
};

} // namespace tikko
