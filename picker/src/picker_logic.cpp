// SPDX-License-Identifier: MIT
#include "tikko/picker/picker_logic.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace tikko {

namespace {

// Every text the folder work tells the user, in one place.
const QString FolderGoneText = QStringLiteral("文件夹“%1”已不存在");
const QString FolderUnreadableText = QStringLiteral("没有读取文件夹“%1”的权限");
const QString DriveNotReadyText = QStringLiteral("驱动器“%1”未就绪");
const QString NewFolderFailedText = QStringLiteral("无法在“%1”中新建文件夹：%2");
const QString NoFreeNameText = QStringLiteral("新建文件夹的名称都已被占用");
const QString BarRefusalText = QStringLiteral("程序路径中不能含有“|”，请换一个文件");
const QString LineBreakRefusalText = QStringLiteral("程序路径中不能含有换行符，请换一个文件");

// Far beyond any real folder; it only keeps a broken exists-test from looping forever.
constexpr int MaxNewFolderNumber = 100000;

QString creationFailure(const std::error_code& error) {
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted)
        return QStringLiteral("没有在这里写入的权限");
    if (error == std::errc::read_only_file_system)
        return QStringLiteral("这个介质是只读的");
    if (error == std::errc::no_space_on_device)
        return QStringLiteral("磁盘空间不足");
    if (error == std::errc::not_a_directory || error == std::errc::no_such_file_or_directory)
        return QStringLiteral("这个文件夹已不存在");
    if (error == std::errc::file_exists)
        return QStringLiteral("已有同名的文件");
    if (error == std::errc::filename_too_long)
        return QStringLiteral("路径太长");
    return QStringLiteral("系统错误 %1").arg(error.value());
}

std::filesystem::path fsPath(const QString& path) {
    const QByteArray utf8 = path.toUtf8();
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool existsOrDanglingLink(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

void sortNames(QStringList& names) {
    // The C locale collates by code point; the program speaks Chinese, so it then sorts
    // as a Chinese system would.
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::Chinese, QLocale::China);
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true); // 新建文件夹( 2) before 新建文件夹( 10)
    // One key per name: comparing keys is far cheaper than collating the names each time.
    std::vector<std::pair<QCollatorSortKey, qsizetype>> keyed;
    keyed.reserve(names.size());
    for (qsizetype i = 0; i < names.size(); ++i)
        keyed.emplace_back(collator.sortKey(names.at(i)), i);
    std::sort(keyed.begin(), keyed.end(),
              [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const auto& entry : keyed)
        sorted.append(names.at(entry.second));
    names = std::move(sorted);
}

} // namespace

PickerMode PickerLogic::modeFromCaption(const QString& caption) {
    return caption == SoundCaption ? PickerMode::Sound : PickerMode::Program;
}

QString PickerLogic::joinPath(const QString& folder, const QString& name, QChar separator) {
    // A root ("/", "C:\") already ends with the separator.
    return folder.endsWith(separator) ? folder + name : folder + separator + name;
}

QString PickerLogic::nextNewFolderPath(const QString& parent,
                                       const std::function<bool(const QString&)>& exists,
                                       QChar separator) {
    for (int n = 1; n <= MaxNewFolderNumber; ++n) {
        const QString name =
            n == 1 ? NewFolderName : NewFolderName + QStringLiteral("( %1)").arg(n);
        const QString candidate = joinPath(parent, name, separator);
        if (!exists(candidate))
            return candidate;
    }
    return {};
}

QString PickerLogic::chosenPath(const QString& folder, const QString& fileName, QChar separator) {
    return joinPath(folder, fileName, separator);
}

QString PickerLogic::programPathRefusal(const QString& path) {
    // The alarm line splits at "|", and the store holds one line per alarm.
    if (path.contains(QLatin1Char('|')))
        return BarRefusalText;
    if (path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r')))
        return LineBreakRefusalText;
    return {};
}

QString PickerLogic::startFolder(const QString& current, const QString& home) {
    const auto usable = [](const QString& path) {
        const QFileInfo info(path);
        return !path.isEmpty() && info.isDir() && info.isReadable();
    };
    // A start with the system leaves the process in the root, which is no useful place.
    if (usable(current) && !QDir(current).isRoot())
        return current;
    if (usable(home))
        return home;
    return QDir::toNativeSeparators(QDir::rootPath());
}

QString PickerLogic::driveOf(const QString& folder, const QStringList& drives,
                             const PathRules& rules) {
    QString best;
    for (const QString& root : drives) {
        if (root.size() <= best.size())
            continue;
        const bool inside =
            folder.compare(root, rules.caseSensitivity) == 0 ||
            (folder.size() > root.size() && folder.startsWith(root, rules.caseSensitivity) &&
             (root.endsWith(rules.separator) || folder.at(root.size()) == rules.separator));
        if (inside)
            best = root;
    }
    return best;
}

QList<FolderRow> PickerLogic::ancestorRows(const QString& driveRoot, const QString& folder,
                                           QChar separator) {
    QList<FolderRow> rows{{driveRoot, driveRoot, 0, true}};
    const QStringList parts =
        folder.mid(driveRoot.size()).split(separator, Qt::SkipEmptyParts); // below the root
    QString path = driveRoot;
    for (const QString& part : parts) {
        path = joinPath(path, part, separator);
        rows.append({path, part, int(rows.size()), true});
    }
    return rows;
}

QStringList PickerLogic::filePatterns(PickerMode mode, const QString& callerPattern,
                                      const PathRules& rules) {
    QStringList patterns;
    for (const QString& part : callerPattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = part.trimmed();
        if (!trimmed.isEmpty())
            patterns.append(trimmed);
    }
    if (mode == PickerMode::Sound) {
        for (const QString& extra : rules.extraSoundPatterns)
            if (!patterns.contains(extra, Qt::CaseInsensitive))
                patterns.append(extra);
    }
    return patterns;
}

PickerLogic::PickerLogic(const QString& caption, const QString& pattern, const PathRules& rules,
                         const QStringList& drives)
    : m_mode(modeFromCaption(caption))
    , m_rules(rules)
    , m_patterns(filePatterns(m_mode, pattern, rules))
    , m_drives(drives) {
    // Extensions match in any case ("RING.MP3"), as users of either platform expect.
    for (const QString& p : m_patterns)
        m_matchers.append(QRegularExpression::fromWildcard(p, Qt::CaseInsensitive));
}

QString PickerLogic::normalised(const QString& path) const {
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

QString PickerLogic::openFolder(const QString& path) {
    const QString folder = normalised(path);
    const QFileInfo info(folder);
    if (!info.isDir())
        return FolderGoneText.arg(folder);
    if (!info.isReadable())
        return FolderUnreadableText.arg(folder);

    const bool withExecutables = m_mode == PickerMode::Program && m_rules.listsExecutables;
    QStringList subfolders;
    QStringList files;
    // Hidden entries stay hidden, as in the system's own file windows.
    QDirIterator it(folder, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo entry = it.fileInfo();
        const QString name = entry.fileName();
        if (entry.isDir()) {
            subfolders.append(name);
            continue;
        }
        const bool matches = std::any_of(m_matchers.cbegin(), m_matchers.cend(),
                                         [&](const auto& m) { return m.match(name).hasMatch(); });
        if (matches || (withExecutables && entry.isExecutable()))
            files.append(name);
    }
    sortNames(subfolders);
    sortNames(files);

    QString drive = driveOf(folder, m_drives, m_rules);
    if (drive.isEmpty()) {
        // Outside every listed drive (a network share): the folder is its own root.
        drive = folder;
        m_drives.append(drive);
    }
    m_drive = drive;
    m_folder = folder;
    m_subfolders = std::move(subfolders);
    m_files = std::move(files);
    m_ancestors = ancestorRows(drive, folder, m_rules.separator);
    m_lastFolderOfDrive.insert(drive, folder);
    return {};
}

QString PickerLogic::selectDrive(const QString& root) {
    if (root == m_drive)
        return {};
    const QStorageInfo storage(root);
    if (!QFileInfo(root).isDir() || !storage.isValid() || !storage.isReady())
        return DriveNotReadyText.arg(root);
    const QString remembered = m_lastFolderOfDrive.value(root);
    if (!remembered.isEmpty() && openFolder(remembered).isEmpty())
        return {};
    return openFolder(root);
}

QString PickerLogic::createNewFolder() {
    const QString path = nextNewFolderPath(m_folder, existsOrDanglingLink, m_rules.separator);
    if (path.isEmpty())
        return NoFreeNameText;
    std::error_code error;
    if (!std::filesystem::create_directory(fsPath(path), error)) {
        // No error but nothing made: the name was taken in the meantime.
        if (!error)
            error = std::make_error_code(std::errc::file_exists);
        return NewFolderFailedText.arg(m_folder, creationFailure(error));
    }
    return openFolder(path);
}

OkDecision PickerLogic::decideOk(const QString& selectedFileName) const {
    if (selectedFileName.isEmpty())
        return {};
    const QString path = chosenPath(m_folder, selectedFileName, m_rules.separator);
    if (m_mode == PickerMode::Sound)
        return {OkDecision::Sound, path, {}};
    if (const QString refusal = programPathRefusal(path); !refusal.isEmpty())
        return {OkDecision::Refuse, path, refusal};
    return {OkDecision::Program, path, {}};
}

QList<FolderRow> PickerLogic::folderRows() const {
    QList<FolderRow> rows = m_ancestors;
    const int depth = int(m_ancestors.size());
    for (const QString& name : m_subfolders)
        rows.append({joinPath(m_folder, name, m_rules.separator), name, depth, false});
    return rows;
}

} // namespace tikko
