// SPDX-License-Identifier: MIT
#include "tikko/alarm/alarm_store.h"

#include "kalendo/date.h"
#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/program_files.h"
#include "tikko/alarm/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace tikko {

StoreLines LoadedStore::lines() const {
    StoreLines lines;
    lines.reserve(alarms.size());
    for (const Alarm& alarm : alarms)
        lines.append(alarm.storeLine());
    return lines;
}

int LoadedStore::unreadableCount() const {
    return static_cast<int>(std::count_if(alarms.begin(), alarms.end(),
                                          [](const Alarm& alarm) { return !alarm.readable(); }));
}

bool holdsAnAlarm(const StoreLine& line) {
    return line.text.size() > 10;
}

QList<Alarm> alarmsOf(StoreLines lines) {
    QList<Alarm> alarms;
    alarms.reserve(lines.size());
    for (StoreLine& line : lines) {
        if (holdsAnAlarm(line))
            alarms.append(Alarm(std::move(line)));
    }
    return alarms;
}

LoadedStore applyLoadRules(StoreLines lines, bool autoClear, const QDateTime& now,
                           const AlarmTimeForms& forms) {
    const qint64 presentMinute = minuteOf(now);
    LoadedStore loaded;
    loaded.alarms.reserve(lines.size());
    for (StoreLine& line : lines) {
        if (!holdsAnAlarm(line))
            continue;
        Alarm alarm(std::move(line), forms);
        if (!alarm.readable() || minuteDifference(alarm.minute(), presentMinute) <= 0) {
            loaded.alarms.append(std::move(alarm));
            continue;
        }
        if (alarm.repeats()) {
            const kalendo::DateTime before = addSeconds(wallTimeOf(now), -60);
            const auto first = parseWallTime(alarm.time(), forms);
            const int times = first ? firingsBetween(*alarm.rule(), *first, before) : 1;
            const auto next = nextFiring(*alarm.rule(), before);
            loaded.alarms.append(next ? alarm.movedTo(*next) : alarm.exhaustedCopy());
            loaded.missed.append({std::move(alarm), std::max(times, 1)});
            loaded.saveNeeded = true;
            continue;
        }
        if (alarm.action() == action::ShutDown)
            continue;
        if (autoClear)
            loaded.missed.append({std::move(alarm), 1});
        else
            loaded.alarms.append(std::move(alarm));
    }
    return loaded;
}

namespace {

SaveResult failed(const QString& reason) {
    return {false, reason};
}

#ifdef Q_OS_UNIX
QString reasonFor(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("磁盘已满");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("没有写入权限");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

FileStamp stampOf(const struct stat& info) {
    return {true, static_cast<qint64>(info.st_size),
            static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
            static_cast<quint64>(info.st_dev), static_cast<quint64>(info.st_ino)};
}

// Writes all bytes, or tells why not (a full disk shows here, not only at the close).
bool writeAll(int fd, const QByteArray& bytes, int& error) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        done += written;
    }
    return true;
}
#endif

// A key that tells lines apart as the store does: their text, or their bytes when kept so.
QString keyOf(const StoreLine& line) {
    return line.isKeptAsBytes() ? QStringLiteral("b") + QString::fromLatin1(line.raw.toHex())
                                : QStringLiteral("t") + line.text;
}

QHash<QString, int> countsOf(const StoreLines& lines) {
    QHash<QString, int> counts;
    for (const StoreLine& line : lines)
        ++counts[keyOf(line)];
    return counts;
}

} // namespace

#ifdef Q_OS_UNIX
FileStamp stampOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return stampOf(info);
}

StoreFile readStoreFile(const QString& path) {
    StoreFile file;
    // Never blocks: a FIFO opens at once and is then refused, as is every other special file.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return file;
        file.stamp.exists = true;
        file.regular = true; // unreadable, but there: a file the user may care about
        file.error = errno == EACCES ? QStringLiteral("没有读取权限")
                                     : QString::fromLocal8Bit(std::strerror(errno));
        return file;
    }
    struct stat info {};
    QByteArray bytes;
    if (::fstat(fd, &info) != 0) {
        file.error = QString::fromLocal8Bit(std::strerror(errno));
    } else if (S_ISDIR(info.st_mode)) {
        file.error = QStringLiteral("是一个文件夹");
    } else if (!S_ISREG(info.st_mode)) {
        file.error = QStringLiteral("不是普通文件");
    } else {
        file.regular = true;
        bytes.reserve(static_cast<qsizetype>(info.st_size) + 1);
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                file.error = QString::fromLocal8Bit(std::strerror(errno));
                break;
            }
            if (n == 0)
                break;
            bytes.append(buffer, n);
        }
    }
    file.stamp = stampOf(info);
    ::close(fd);
    if (file.error.isEmpty())
        file.text = decodeStore(bytes);
    return file;
}
#else
FileStamp stampOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    return {true, info.size(), info.lastModified().toMSecsSinceEpoch() * 1000000, 0, 0};
}

StoreFile readStoreFile(const QString& path) {
    StoreFile file;
    const QFileInfo info(path);
    if (!info.exists())
        return file;
    file.stamp = stampOf(path);
    if (info.isDir()) {
        file.error = QStringLiteral("是一个文件夹");
        return file;
    }
    if (!info.isFile()) {
        file.error = QStringLiteral("不是普通文件");
        return file;
    }
    file.regular = true;
    QFile reader(path);
    if (!reader.open(QIODevice::ReadOnly)) {
        file.error = info.isReadable() ? reader.errorString() : QStringLiteral("没有读取权限");
        return file;
    }
    file.text = decodeStore(reader.readAll());
    return file;
}
#endif

LoadedStore loadStore(const QString& path, bool autoClear, const QDateTime& now) {
    StoreFile file = readStoreFile(path);
    if (!file.error.isEmpty()) {
        LoadedStore none;
        none.error = file.error;
        return none;
    }
    LoadedStore loaded = applyLoadRules(std::move(file.text.lines), autoClear, now);
    loaded.whole = file.text.whole;
    return loaded;
}

SaveResult writeStoreFile(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    if (info.isDir())
        return failed(QStringLiteral("是一个文件夹"));
    if (info.exists() && !info.isFile())
        return failed(QStringLiteral("不是普通文件"));
    // A file that nobody may write was made read-only on purpose; the system lets root
    // replace it, but the user meant to keep it as it is.
    constexpr auto anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (info.exists() && (!info.isWritable() || !(info.permissions() & anyWrite)))
        return failed(QStringLiteral("文件是只读的"));
    const QString folder = info.absolutePath();
    if (!QFileInfo(folder).isDir())
        return failed(QStringLiteral("文件夹不存在"));

#ifdef Q_OS_UNIX
    QByteArray temporary = QFile::encodeName(
        QDir(folder).filePath(QStringLiteral(".") + info.fileName() + QStringLiteral(".XXXXXX")));
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return failed(reasonFor(errno));
    const auto giveUp = [&](int error) {
        ::close(fd);
        ::unlink(temporary.constData());
        return failed(reasonFor(error));
    };
    // The old file's permissions, or those a new file gets.
    struct stat old {};
    mode_t mode = 0;
    if (::stat(QFile::encodeName(path).constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    int error = 0;
    if (::fchmod(fd, mode) != 0)
        return giveUp(errno);
    if (!writeAll(fd, bytes, error))
        return giveUp(error);
    // On the disk before it takes the old one's place: after a power cut the name holds
    // either the old store or the whole new one.
    if (::fsync(fd) != 0)
        return giveUp(errno);
    if (::close(fd) != 0) {
        error = errno;
        ::unlink(temporary.constData());
        return failed(reasonFor(error));
    }
    if (::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0) {
        error = errno;
        ::unlink(temporary.constData());
        return failed(reasonFor(error));
    }
    // The rename itself lives in the folder.
    const int folderFd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd); // file systems that cannot do it say EINVAL; the file is in place
        ::close(folderFd);
    }
    return {};
#else
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    // The buffered bytes reach the file at the flush: its failure is the write's.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.error() == QFileDevice::ResourceError
                                   ? QStringLiteral("磁盘已满")
                                   : file.errorString();
        file.cancelWriting();
        return failed(reason);
    }
    if (!file.commit())
        return failed(file.errorString());
    return {};
#endif
}

SaveResult saveStore(const QString& path, const StoreLines& lines) {
    return writeStoreFile(path, encodeStore(lines));
}

SaveResult saveStore(const QString& path, const QStringList& lines) {
    return saveStore(path, storeLinesFromTexts(lines));
}

StoreLines mergeStoreLines(const StoreLines& base, const StoreLines& ours,
                           const StoreLines& theirs) {
    const QHash<QString, int> inBase = countsOf(base);
    const QHash<QString, int> inOurs = countsOf(ours);
    QHash<QString, int> removed; // by this program since base: fired or deleted
    for (auto it = inBase.begin(); it != inBase.end(); ++it) {
        const int gone = it.value() - inOurs.value(it.key());
        if (gone > 0)
            removed.insert(it.key(), gone);
    }
    QHash<QString, int> inTheirs;
    StoreLines merged;
    merged.reserve(theirs.size() + ours.size());
    for (const StoreLine& line : theirs) {
        const QString key = keyOf(line);
        int& toRemove = removed[key];
        if (toRemove > 0) {
            --toRemove;
            continue;
        }
        ++inTheirs[key];
        merged.append(line);
    }
    // Lines added here since base, unless the other program added the same line too.
    QHash<QString, int> seen;
    for (const StoreLine& line : ours) {
        const QString key = keyOf(line);
        const int added = inOurs.value(key) - inBase.value(key);
        if (added <= 0)
            continue;
        int& count = seen[key];
        ++count;
        const int alreadyThere = std::max(0, inTheirs.value(key) - inBase.value(key));
        if (count > alreadyThere && count <= added)
            merged.append(line);
    }
    return merged;
}

AlarmStore::AlarmStore(Paths paths, QSettings* state)
    : m_paths(std::move(paths))
    , m_addedPath(QFileInfo(m_paths.write).dir().filePath(QLatin1String(AddedFileName)))
    , m_state(state) {}

LoadedStore AlarmStore::load(AlarmModel& model, bool autoClear, const QDateTime& now) {
    if (m_state)
        m_fired = readFiredAlarms(*m_state);
    StoreFile file = readStoreFile(m_paths.read);
    // Only a file that saves would replace, and that may hold alarms, is left alone (a folder
    // or a FIFO of that name holds none: saving fails and says so).
    m_leftAlone = m_paths.read == m_paths.write && file.mustBeKept();
    StoreLines lines = std::move(file.text.lines);
    if (m_paths.read == m_paths.write) {
        m_base = lines;
        m_stamp = file.stamp;
    } else {
        m_stamp = stampOf(m_paths.write);
    }
    // What fired while the store could not be written is still in it, but it has fired: a
    // one-shot alarm goes, a repeating one moves on from the moment it fired.
    int firedDropped = 0;
    for (const QString& fired : std::as_const(m_fired)) {
        const auto match = std::find_if(lines.begin(), lines.end(), [&](const StoreLine& line) {
            return !line.isKeptAsBytes() && line.text == fired;
        });
        if (match == lines.end())
            continue;
        ++firedDropped;
        const Alarm alarm(*match);
        const auto at = parseWallTime(alarm.time());
        const auto next = alarm.repeats() && at ? nextFiring(*alarm.rule(), *at) : std::nullopt;
        if (next)
            *match = alarm.movedTo(*next).storeLine();
        else
            lines.erase(match);
    }
    LoadedStore loaded = applyLoadRules(std::move(lines), autoClear, now);
    const bool moved = loaded.saveNeeded;
    loaded.error = file.error;
    loaded.whole = file.text.whole;
    model.replaceAll(std::move(loaded.alarms));
    loaded.alarms.clear();
    m_lastStoreId = model.isEmpty() ? 0 : model.idAt(model.count() - 1);

    const StoreFile added = readStoreFile(m_addedPath);
    LoadedStore fromAdded = applyLoadRules(added.text.lines, autoClear, now);
    m_mergedAdded = static_cast<int>(fromAdded.alarms.size());
    model.append(std::move(fromAdded.alarms));
    loaded.missed.append(fromAdded.missed);
    m_addedPending = added.stamp.exists && !m_leftAlone;
    loaded.saveNeeded =
        !m_leftAlone && (moved || firedDropped > 0 || m_addedPending || !m_fired.isEmpty());
    return loaded;
}

void AlarmStore::recordFired(const StoreLine& line) {
    if (!line.isKeptAsBytes())
        m_fired.append(line.text);
}

bool AlarmStore::storeChangedOnDisk() const {
    return stampOf(m_paths.write) != m_stamp;
}

void AlarmStore::rememberWritten(const StoreLines& lines) {
    m_base = lines;
    m_stamp = stampOf(m_paths.write);
}

void AlarmStore::saveFiredRecord() {
    if (m_state)
        writeFiredAlarms(*m_state, m_fired);
}

void AlarmStore::mergeFrom(const StoreFile& file, AlarmModel& model) {
    StoreLines theirs;
    for (const StoreLine& line : file.text.lines) {
        if (holdsAnAlarm(line))
            theirs.append(line);
    }
    model.replaceAll(alarmsOf(mergeStoreLines(m_base, model.storeLines(), theirs)));
    m_base = theirs;
    m_stamp = file.stamp;
}

AlarmStore::Saved AlarmStore::save(AlarmModel& model) {
    Saved saved;
    if (!m_leftAlone && storeChangedOnDisk()) {
        const StoreFile file = readStoreFile(m_paths.write);
        if (file.mustBeKept()) {
            // Another program left something here that cannot be read whole: keep it, and
            // keep this program's alarms beside it.
            m_leftAlone = true;
            m_lastStoreId = 0;
            saved.leftAloneNow = true;
        } else if (file.regular) {
            mergeFrom(file, model);
            saved.merged = true;
        }
    }
    if (m_leftAlone) {
        StoreLines ours;
        for (int row = 0; row < model.count(); ++row) {
            if (model.idAt(row) > m_lastStoreId)
                ours.append(model.at(row).storeLine());
        }
        if (ours.isEmpty() && !QFileInfo::exists(m_addedPath))
            return saved;
        saved.result = saveStore(m_addedPath, ours);
        saveFiredRecord();
        return saved;
    }
    const StoreLines lines = model.storeLines();
    saved.result = saveStore(m_paths.write, lines);
    if (saved.result) {
        rememberWritten(lines);
        m_fired.clear();
        if (m_addedPending && QFile::remove(m_addedPath))
            m_addedPending = false;
    }
    saveFiredRecord();
    return saved;
}

bool AlarmStore::upToDate(const AlarmModel& model) const {
    return !m_leftAlone && m_stamp.exists && !storeChangedOnDisk() && model.storeLines() == m_base;
}

bool AlarmStore::mergeOutsideChange(AlarmModel& model) {
    if (m_leftAlone || !storeChangedOnDisk())
        return false;
    const StoreFile file = readStoreFile(m_paths.write);
    if (!file.regular || file.mustBeKept()) {
        // Gone, or not readable whole: the next save decides; nothing to merge now.
        m_stamp = file.stamp;
        return false;
    }
    mergeFrom(file, model);
    return true;
}

bool isFolderWritable(const QString& folder) {
    if (folder.isEmpty() || !QDir(folder).exists())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".tikko-probe-XXXXXX")));
    return probe.open();
}

StoreLocation chooseStoreLocation(const ProgramFiles& files) {
    const QString& programFolder = files.programFolder();
    const QString& dataFolder = files.userDataFolder();
    const QString programStore = QDir(programFolder).filePath(QLatin1String(StoreFileName));
    // Root running /usr/bin/TikkoClock could write there, but must not.
    if (!files.installed() && isFolderWritable(programFolder))
        return {programFolder, programStore, programStore};
    QDir().mkpath(dataFolder);
    const QString dataStore = QDir(dataFolder).filePath(QLatin1String(StoreFileName));
    const QFileInfo program(programStore);
    const bool readProgramStore =
        !QFileInfo::exists(dataStore) && program.isFile() && program.isReadable();
    return {dataFolder, readProgramStore ? programStore : dataStore, dataStore};
}

} // namespace tikko
