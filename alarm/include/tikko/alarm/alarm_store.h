// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/alarm/alarm_model.h"
#include "tikko/alarm/store_text.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QSettings;

namespace tikko {

class ProgramFiles;

inline constexpr const char* StoreFileName = "alarm.ini";
// Where alarms go while the store cannot be read or written whole: beside it.
inline constexpr const char* AddedFileName = "alarm-added.ini";

// An alarm whose time passed while the program was not running: a one-shot alarm that
// auto-clear dropped, or a repeating alarm with how many of its occurrences passed.
struct MissedAlarm {
    Alarm alarm;
    int times = 1;
};

// What a load found: the alarms for the list and those that were missed (shutdown lines are
// never among them: a shutdown that did not happen is no missed alarm).
struct LoadedStore {
    QList<Alarm> alarms;
    QList<MissedAlarm> missed;
    // Why a store that exists could not be read, as a short phrase; empty otherwise.
    QString error;
    // False when the file was read but not whole (see DecodedStore): it must not be rewritten.
    bool whole = true;
    // The store should be written at once: repeating alarms moved on, it still holds alarms
    // that fired, or alarms of alarm-added.ini were taken into it.
    bool saveNeeded = false;

    StoreLines lines() const;
    int unreadableCount() const;
};

// Whether a line can hold an alarm: one of 10 characters or fewer (the empty line of an empty
// store) is passed over wherever store lines are read.
bool holdsAnAlarm(const StoreLine& line);
// The lines that can hold an alarm, as alarms, in their order; no load rules.
QList<Alarm> alarmsOf(StoreLines lines);

// The load rules: lines of 10 characters or fewer are skipped; due and not yet expired lines
// are kept; expired lines are kept only with auto-clear off and never when they shut the
// computer down; lines whose time cannot be read are kept so that the user sees them (they
// never fire and never expire). An expired repeating alarm fires none of the occurrences that
// passed: it is missed, moves on to its next occurrence from the present minute on, and is
// always kept.
LoadedStore applyLoadRules(StoreLines lines, bool autoClear, const QDateTime& now,
                           const AlarmTimeForms& forms = AlarmTimeForms::system());

// Size, time and identity of a file, to notice that another program replaced or changed it.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp stampOf(const QString& path);

// A store file as read: its text, or why it could not be read.
struct StoreFile {
    DecodedStore text;
    FileStamp stamp;
    QString error;        // empty when read, or when there is no file
    bool regular = false; // a regular file is there (read or not)

    // A file that is there but was not read whole: rewriting it would lose its alarms.
    bool mustBeKept() const { return regular && (!error.isEmpty() || !text.whole); }
};

// Reads the whole file without ever waiting: a FIFO, a device or a folder under that name is
// refused, not opened for reading.
StoreFile readStoreFile(const QString& path);

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

// Writes the bytes to a new file beside the old one, checking every write, flushes it to the
// disk and only then renames it over the old one (and flushes the folder), so that the file
// is always either the old or the new store, whatever fails or whenever the power goes. Keeps
// the file's permissions. A read-only file, or anything that is no regular file, is left alone.
SaveResult writeStoreFile(const QString& path, const QByteArray& bytes);
SaveResult saveStore(const QString& path, const StoreLines& lines);
SaveResult saveStore(const QString& path, const QStringList& lines);

// A three-way merge of store lines, for a store that another program changed while this one
// ran: the file's lines in their order, without the lines that this program removed since
// `base` (fired or deleted), followed by the lines that it added since.
StoreLines mergeStoreLines(const StoreLines& base, const StoreLines& ours,
                           const StoreLines& theirs);

// The alarm store as the program keeps it from start to exit. It reads the store once, writes
// it after every change, notices when another program changed it meanwhile (and merges that
// change rather than overwrite it), and never writes a store that it could not read whole:
// alarms made then are kept in alarm-added.ini beside it, and merged into the store when it
// can be read again. Alarms that fired but could not be removed from the store are
// remembered in the settings, so that they neither fire again nor count as missed.
class AlarmStore {
public:
    struct Paths {
        QString read;  // read at start-up
        QString write; // every save writes it (the same file, unless the store moves)
    };

    // `state` keeps the fired alarms that the store still holds; it may be null.
    AlarmStore(Paths paths, QSettings* state);

    const QString& path() const { return m_paths.write; }
    const QString& addedPath() const { return m_addedPath; }

    // Start-up: puts into the model the store, less the alarms that fired already, and the
    // alarms of alarm-added.ini. The result holds what else the load found.
    LoadedStore load(AlarmModel& model, bool autoClear, const QDateTime& now);
    // True while the store is left alone (it exists but could not be read whole).
    bool leftAlone() const { return m_leftAlone; }
    // How many alarms of alarm-added.ini the load took into the store.
    int mergedAddedCount() const { return m_mergedAdded; }

    // An alarm fired and left the model; the next save takes it out of the store.
    void recordFired(const StoreLine& line);

    struct Saved {
        SaveResult result;
        // Set when the store had changed behind the program's back: the model now holds the
        // merged list.
        bool merged = false;
        // Set when it had become a file that cannot be read whole: it is left alone from now.
        bool leftAloneNow = false;
    };
    // Writes the model (to alarm-added.ini while the store is left alone).
    Saved save(AlarmModel& model);

    // True when the file on disk is what the model holds: nothing to write.
    bool upToDate(const AlarmModel& model) const;

    // Whether another program changed the store since this one last read or wrote it; when so,
    // merges the change into the model. Cheap: one look at the file's size and time.
    bool mergeOutsideChange(AlarmModel& model);

private:
    bool storeChangedOnDisk() const;
    void mergeFrom(const StoreFile& file, AlarmModel& model);
    void rememberWritten(const StoreLines& lines);
    void saveFiredRecord();

    Paths m_paths;
    QString m_addedPath;
    QSettings* m_state;
    bool m_leftAlone = false;
    AlarmModel::Id m_lastStoreId = 0; // alarms up to it came from a store left alone
    int m_mergedAdded = 0;
    bool m_addedPending = false; // alarm-added.ini was merged and goes once the store is saved
    StoreLines m_base;           // the store's lines as last read or written by this program
    FileStamp m_stamp;           // and the file as it was then
    QStringList m_fired;         // fired alarms that the store on disk still holds
};

// True when a file can be created in the folder (a permission bit alone can mislead).
bool isFolderWritable(const QString& folder);

// Where the store lives. The program folder holds it for portable use when that folder is
// writable and the program is not an installed one; otherwise the user's data folder does, created
// when missing, and a store that only the program folder holds is read from there until the first
// save writes the data folder's own. The program folder's file is then never changed.
struct StoreLocation {
    QString folder;    // the folder that holds the store from now on
    QString readPath;  // the file to load at start-up
    QString writePath; // the file every save writes
};
StoreLocation chooseStoreLocation(const ProgramFiles& files);

} // namespace tikko
