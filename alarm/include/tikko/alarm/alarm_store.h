// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace tikko {

class ProgramFiles;

inline constexpr const char* StoreFileName = "alarm.ini";

// One line of the store. A line that no encoding reads cleanly is kept as its bytes and
// written back byte for byte; its text then shows it with replacement characters.
struct StoreLine {
    QString text;
    QByteArray raw; // empty unless the line is kept as bytes

    bool isKeptAsBytes() const { return !raw.isEmpty(); }
    bool operator==(const StoreLine&) const = default;
};
using StoreLines = QList<StoreLine>;

// Lines of texts that every encoding reads (the editor's, the tests').
StoreLines storeLinesFromTexts(const QStringList& texts);
QStringList textsOf(const StoreLines& lines);

// The lines of a store file. A byte-order mark (UTF-8, UTF-16LE, UTF-16BE) decides the
// encoding of the whole file. Without one each line is decoded on its own: UTF-8 when it is
// valid UTF-8, otherwise the code page of a store from Chinese Windows (GB18030; the ANSI code
// page on Windows itself) when that reads it cleanly, otherwise the line is kept as bytes.
// Lines end at CR, at CR LF, or at a lone LF (a file edited by hand on Linux).
StoreLines decodeStoreLines(const QByteArray& bytes);

// The bytes written for a list: every line ended by CR LF, one empty line for an empty list.
// Texts are written in UTF-8 (the ANSI code page on Windows, UTF-8 for a line it cannot
// hold); kept lines as their bytes.
QByteArray encodeStore(const StoreLines& lines);
QByteArray encodeStore(const QStringList& lines);

// What a load found: the lines for the list and the expired lines that auto-clear dropped
// (shutdown lines are never among them: a shutdown that did not happen is no missed alarm).
struct LoadedStore {
    StoreLines lines;
    StoreLines missed;
    // Positions in `lines` of the lines whose alarm time cannot be read: they never fire.
    QList<qsizetype> unreadableTimes;
    // Why a store that exists could not be read, as a short phrase; empty otherwise.
    QString error;
};

// The load rules: lines of 10 characters or fewer are skipped; due and not yet expired lines
// are kept; expired lines are kept only with auto-clear off and never when they shut the
// computer down; lines whose time cannot be read are kept so that the user sees them.
LoadedStore applyLoadRules(const StoreLines& lines, bool autoClear, const QDateTime& now);

// Reads the store at path and applies the load rules. A missing or unreadable file gives
// an empty list.
LoadedStore loadStore(const QString& path, bool autoClear, const QDateTime& now);

// Whether a save worked and, when not, why, as a short phrase for a message that names the
// file ("是一个文件夹", "文件是只读的", "没有写入权限", "磁盘已满", or the system's reason).
struct SaveResult {
    bool ok = true;
    QString reason;

    explicit operator bool() const { return ok; }
};

// Writes the store through a temporary file renamed over the old one, so that the file is
// always either the old or the new list, and keeps the file's permissions. A read-only file
// is left alone, also for a user whom the system would let write it.
SaveResult saveStore(const QString& path, const StoreLines& lines);
SaveResult saveStore(const QString& path, const QStringList& lines);

// True when a file can be created in the folder (a permission bit alone can mislead).
bool isFolderWritable(const QString& folder);

// Where the store lives. The program folder holds it for portable use when that folder is
// writable and the program is not an installed one; otherwise the user's data folder does, created
// when missing, and a store that only the program folder holds is read from there until the first
// save writes the data folder's own. The program folder's file is then never changed.
struct StoreLocation {
    QString folder;    // the folder that holds the store from now on (and its lock)
    QString readPath;  // the file to load at start-up
    QString writePath; // the file every save writes
};
StoreLocation chooseStoreLocation(const ProgramFiles& files);

} // namespace tikko
