// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <functional>

namespace tikko {

enum class PickerMode {
    Sound,   // the alarm sound: soundFilePath, txtWav and the setting "sWavFN"
    Program, // the program of "运行软件...": runProgramPath
};

// What the platform adds to the shared picker rules.
struct PathRules {
    QChar separator;                     // '/' or '\\'
    Qt::CaseSensitivity caseSensitivity; // of path comparisons
    QStringList extraSoundPatterns;      // formats the sound backend plays beyond the caller's
    bool listsExecutables = false;       // program mode also lists files the user may execute
};

// One row of the folder list: an open folder on the way from the drive root to the current
// folder (depth 0 is the root), or a closed subfolder of the current folder.
struct FolderRow {
    QString path;
    QString name;
    int depth = 0;
    bool open = false;
};

// What OK does with the selected file name.
struct OkDecision {
    enum Kind {
        Close,   // no file selected: close, nothing changes
        Refuse,  // the window stays open and tells `message`
        Sound,   // `path` becomes the alarm sound
        Program, // `path` becomes the program to run
    };
    Kind kind = Close;
    QString path;
    QString message;
};

// The picker's decisions and the state its three lists show; no widgets. Paths are in the
// platform's native form. Every operation that fails returns a one-line message for the
// user and leaves the state as it was; success returns an empty text.
class PickerLogic {
public:
    static inline const QString SoundCaption = QStringLiteral("请选择报警声音文件");
    static inline const QString ProgramCaption = QStringLiteral("请选择要运行的软件");
    static inline const QString SoundPattern = QStringLiteral("*.wav;*.mid;*.mp3");
    static inline const QString ProgramPattern = QStringLiteral("*.exe;*.com;*.bat");
    static inline const QString NewFolderName = QStringLiteral("新建文件夹");

    // The mode a caption stands for: sound for SoundCaption exactly, program for any other.
    static PickerMode modeFromCaption(const QString& caption);
    // `name` inside `folder`, with a separator unless the folder already ends with one.
    static QString joinPath(const QString& folder, const QString& name, QChar separator);
    // The first free name of 新建文件夹, 新建文件夹( 2), 新建文件夹( 3), ... inside `parent`;
    // empty when every number up to a sane limit is taken.
    static QString nextNewFolderPath(const QString& parent,
                                     const std::function<bool(const QString&)>& exists,
                                     QChar separator);
    // The path OK chooses: the file list's folder and the selected file name.
    static QString chosenPath(const QString& folder, const QString& fileName, QChar separator);
    // Why a program path cannot go into an alarm line; empty when it can.
    static QString programPathRefusal(const QString& path);
    // Where the picker opens: `current` when it is a readable folder other than a root,
    // otherwise `home` (and the root when even that is unusable).
    static QString startFolder(const QString& current, const QString& home);
    // The drive of `folder`: the longest root in `drives` that contains it; empty if none.
    static QString driveOf(const QString& folder, const QStringList& drives,
                           const PathRules& rules);
    // The open rows from `driveRoot` down to `folder`.
    static QList<FolderRow> ancestorRows(const QString& driveRoot, const QString& folder,
                                         QChar separator);
    // The name patterns the file list shows: the caller's, plus the platform's sound formats.
    static QStringList filePatterns(PickerMode mode, const QString& callerPattern,
                                    const PathRules& rules);

    PickerLogic(const QString& caption, const QString& pattern, const PathRules& rules,
                const QStringList& drives);

    // Opens a folder (on its drive) and lists it.
    QString openFolder(const QString& path);
    // Moves to a drive, at the folder last open there or else at its root.
    QString selectDrive(const QString& root);
    // Creates the next free new folder in the current folder, then opens it.
    QString createNewFolder();
    // OK with the file name selected in the file list (empty when none is).
    OkDecision decideOk(const QString& selectedFileName) const;

    PickerMode mode() const { return m_mode; }
    const PathRules& rules() const { return m_rules; }
    const QStringList& drives() const { return m_drives; }
    const QString& drive() const { return m_drive; }
    const QString& folder() const { return m_folder; }
    const QStringList& subfolders() const { return m_subfolders; }
    const QStringList& files() const { return m_files; }
    // Ancestors first, then the subfolders; the current folder is the last open row.
    QList<FolderRow> folderRows() const;
    int currentFolderRow() const { return int(m_ancestors.size()) - 1; }

private:
    QString normalised(const QString& path) const;

    PickerMode m_mode;
    PathRules m_rules;
    QStringList m_patterns;
    QList<QRegularExpression> m_matchers; // m_patterns, compiled once
    QStringList m_drives;
    QString m_drive;
    QString m_folder;
    QStringList m_subfolders;
    QStringList m_files;
    QList<FolderRow> m_ancestors;
    QHash<QString, QString> m_lastFolderOfDrive;
};

} // namespace tikko
