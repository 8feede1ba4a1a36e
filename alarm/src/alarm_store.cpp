#include "tikko/alarm/alarm_store.h"

#include "tikko/alarm/alarm_line.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryFile>

namespace tikko {

QString decodeStore(const QByteArray& bytes) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
#ifdef Q_OS_WIN
    QStringDecoder legacy(QStringConverter::System);
#else
    QStringDecoder legacy("GB18030");
#endif
    if (!legacy.isValid())
        return QString::fromLatin1(bytes);
    return legacy.decode(bytes);
}

QStringList splitStoreLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

QStringList applyLoadRules(const QStringList& lines, bool autoClear, const QDateTime& now) {
    const qint64 presentMinute = minuteOf(now);
    QStringList kept;
    kept.reserve(lines.size());
    for (const QString& line : lines) {
        if (line.size() <= 10)
            continue;
        const AlarmFields fields = splitAlarmLine(line);
        const auto alarmMinute = parseAlarmMinute(fields.time);
        if (!alarmMinute || minuteDifference(*alarmMinute, presentMinute) <= 0) {
            kept.append(line);
            continue;
        }
        if (!autoClear && fields.action != action::ShutDown)
            kept.append(line);
    }
    return kept;
}

QStringList loadStore(const QString& path, bool autoClear, const QDateTime& now) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return applyLoadRules(splitStoreLines(decodeStore(file.readAll())), autoClear, now);
}

QByteArray encodeStore(const QStringList& lines) {
    QString text;
    if (lines.isEmpty()) {
        text = QStringLiteral("\r\n");
    } else {
        qsizetype total = 0;
        for (const QString& line : lines)
            total += line.size() + 2;
        text.reserve(total);
        for (const QString& line : lines) {
            text += line;
            text += QLatin1String("\r\n");
        }
    }
#ifdef Q_OS_WIN
    QStringEncoder encoder(QStringConverter::System);
#else
    QStringEncoder encoder(QStringConverter::Utf8);
#endif
    return encoder.encode(text);
}

bool saveStore(const QString& path, const QStringList& lines) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = encodeStore(lines);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool isFolderWritable(const QString& folder) {
    if (folder.isEmpty() || !QDir(folder).exists())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".tikko-probe-XXXXXX")));
    return probe.open();
}

QString chooseStoreFolder(const QString& programFolder, const QString& fallbackFolder) {
    if (isFolderWritable(programFolder))
        return programFolder;
    QDir().mkpath(fallbackFolder);
    return fallbackFolder;
}

} // namespace tikko
