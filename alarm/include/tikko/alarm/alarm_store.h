#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace tikko {

inline constexpr const char* StoreFileName = "alarm.ini";

// The text of a store file: UTF-8 when it is valid UTF-8, otherwise the encoding of a store
// copied from a Chinese Windows system (GB18030; the ANSI code page on Windows itself).
QString decodeStore(const QByteArray& bytes);

// Lines end at CR, at CR LF, or at a lone LF (a file edited by hand on Linux).
QStringList splitStoreLines(const QString& text);

// The load rules: lines of 10 characters or fewer are skipped; due and not yet expired lines
// are kept; expired lines are kept only with auto-clear off and never when they shut the
// computer down; lines whose time cannot be read are kept so that the user sees them.
QStringList applyLoadRules(const QStringList& lines, bool autoClear, const QDateTime& now);

// Reads the store at path and applies the load rules. A missing or unreadable file gives
// an empty list.
QStringList loadStore(const QString& path, bool autoClear, const QDateTime& now);

// The bytes written for a list: every line ended by CR LF, one empty line for an empty list;
// UTF-8, or the ANSI code page on Windows.
QByteArray encodeStore(const QStringList& lines);

// Writes the store through a temporary file renamed over the old one, so that the file is
// always either the old or the new list. False when it could not be written.
bool saveStore(const QString& path, const QStringList& lines);

// True when a file can be created in the folder (a permission bit alone can mislead).
bool isFolderWritable(const QString& folder);

// The folder that holds the store: the program folder for portable use when it is
// writable, otherwise the fallback (the per-user data folder), created when missing.
QString chooseStoreFolder(const QString& programFolder, const QString& fallbackFolder);

} // namespace tikko
