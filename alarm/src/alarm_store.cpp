// SPDX-License-Identifier: MIT
#include "tikko/alarm/alarm_store.h"

#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/program_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryFile>
#include <optional>

namespace tikko {

StoreLines storeLinesFromTexts(const QStringList& texts) {
    StoreLines lines;
    lines.reserve(texts.size());
    for (const QString& text : texts)
        lines.append({text, {}});
    return lines;
}

QStringList textsOf(const StoreLines& lines) {
    QStringList texts;
    texts.reserve(lines.size());
    for (const StoreLine& line : lines)
        texts.append(line.text);
    return texts;
}

namespace {

constexpr QByteArrayView Utf8Mark("\xEF\xBB\xBF");
constexpr QByteArrayView Utf16LeMark("\xFF\xFE");
constexpr QByteArrayView Utf16BeMark("\xFE\xFF");

bool startsWithMark(QByteArrayView bytes) {
    return bytes.startsWith(Utf8Mark) || bytes.startsWith(Utf16LeMark) ||
           bytes.startsWith(Utf16BeMark);
}

bool isAscii(QByteArrayView bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) & 0x80)
            return false;
    }
    return true;
}

// The length of the well-formed UTF-8 sequence at i, 0 when there is none.
qsizetype utf8SequenceAt(QByteArrayView bytes, qsizetype i) {
    const auto at = [&](qsizetype k) {
        return static_cast<unsigned char>(bytes[k]);
    };
    const unsigned lead = at(i);
    qsizetype length = 0;
    unsigned low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > bytes.size() || at(i + 1) < low || at(i + 1) > high)
        return 0;
    for (qsizetype k = 2; k < length; ++k) {
        if (at(i + k) < 0x80 || at(i + k) > 0xBF)
            return 0;
    }
    return length;
}

// A UTF-8 line with a few bad bytes: more of its other bytes form UTF-8 sequences than stand
// alone. GB18030 often reads such a line "cleanly" as other characters, and writing those
// back would garble the line for good; text from Chinese Windows rarely forms UTF-8 by chance.
bool looksLikeDamagedUtf8(QByteArrayView line) {
    qsizetype inSequences = 0, stray = 0;
    for (qsizetype i = 0; i < line.size();) {
        if (!(static_cast<unsigned char>(line[i]) & 0x80)) {
            ++i;
            continue;
        }
        const qsizetype length = utf8SequenceAt(line, i);
        if (length > 0) {
            inSequences += length;
            i += length;
        } else {
            ++stray;
            ++i;
        }
    }
    return inSequences > stray;
}

constexpr auto DecoderFlags = QStringConverter::Flag::Stateless |
                              QStringConverter::Flag::ConvertInitialBom; // a mark inside is text

// Decodes the lines of a file without a UTF-16 mark, one at a time.
class LineDecoder {
public:
    StoreLine decode(QByteArrayView line) {
        if (isAscii(line))
            return {QString::fromLatin1(line), {}};
        m_utf8.resetState();
        QString text = m_utf8.decode(line);
        if (!m_utf8.hasError())
            return {std::move(text), {}};
        if (!looksLikeDamagedUtf8(line)) {
            auto legacy = decodeLegacy(line);
            if (legacy)
                return {std::move(*legacy), {}};
        }
        return {QString::fromUtf8(line), line.toByteArray()};
    }

private:
    std::optional<QString> decodeLegacy(QByteArrayView line) {
        if (!m_legacy) {
#ifdef Q_OS_WIN
            m_legacy.emplace(QStringConverter::System, DecoderFlags);
#else
            m_legacy.emplace("GB18030", DecoderFlags);
#endif
        }
        if (!m_legacy->isValid())
            return std::nullopt;
        QString text = m_legacy->decode(line);
        if (m_legacy->hasError()) {
            m_legacy.reset(); // its error stays set through resetState
            return std::nullopt;
        }
        m_legacy->resetState();
        // A stray byte before "|" can pair with it into one character; a field lost that way
        // is no clean reading.
        if (text.count(QLatin1Char('|')) != line.count('|'))
            return std::nullopt;
        return text;
    }

    QStringDecoder m_utf8{QStringConverter::Utf8, DecoderFlags};
    std::optional<QStringDecoder> m_legacy;
};

// Calls f(begin, end) for each line of [0, size): lines end at CR, CR LF or LF.
template <typename Text, typename F> void forEachLine(const Text& text, qsizetype from, F&& f) {
    const qsizetype size = text.size();
    qsizetype start = from;
    for (qsizetype i = from; i < size; ++i) {
        const auto c = text[i];
        if (c == '\r' || c == '\n') {
            f(start, i);
            if (c == '\r' && i + 1 < size && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < size)
        f(start, size);
}

// Qt's UTF-16 decoder lets a lone surrogate through, which no encoding can write.
void replaceLoneSurrogates(QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!c.isSurrogate())
            continue;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else
            text[i] = QChar::ReplacementCharacter;
    }
}

StoreLines decodeUtf16(QByteArrayView bytes, QStringConverter::Encoding encoding) {
    QStringDecoder decoder(encoding, DecoderFlags);
    // A lone surrogate or an odd last byte becomes a replacement character: unlike the bytes
    // of a line, UTF-16 bytes cannot stand in a file that is written back as UTF-8.
    QString text = decoder.decode(bytes);
    replaceLoneSurrogates(text);
    StoreLines lines;
    forEachLine(text, 0, [&](qsizetype begin, qsizetype end) {
        lines.append({text.mid(begin, end - begin), {}});
    });
    return lines;
}

#ifdef Q_OS_WIN
// The ANSI code page, and UTF-8 for a line that it cannot hold, which reads back as UTF-8.
class TextEncoder {
public:
    QByteArray encode(const QString& text) {
        if (!m_ansi)
            m_ansi.emplace(QStringConverter::System, QStringConverter::Flag::Stateless);
        QByteArray bytes = m_ansi->encode(text);
        if (!m_ansi->hasError())
            return bytes;
        m_ansi.reset();
        return text.toUtf8();
    }

private:
    std::optional<QStringEncoder> m_ansi;
};
#else
class TextEncoder {
public:
    QByteArray encode(const QString& text) { return text.toUtf8(); }
};
#endif

SaveResult failed(const QString& reason) {
    return {false, reason};
}

QString writeFailureReason(const QSaveFile& file) {
    if (file.error() == QFileDevice::ResourceError)
        return QStringLiteral("磁盘已满");
    return file.errorString();
}

} // namespace

StoreLines decodeStoreLines(const QByteArray& bytes) {
    if (bytes.startsWith(Utf16LeMark))
        return decodeUtf16(QByteArrayView(bytes).sliced(2), QStringConverter::Utf16LE);
    if (bytes.startsWith(Utf16BeMark))
        return decodeUtf16(QByteArrayView(bytes).sliced(2), QStringConverter::Utf16BE);
    const qsizetype from = bytes.startsWith(Utf8Mark) ? Utf8Mark.size() : 0;
    LineDecoder decoder;
    StoreLines lines;
    lines.reserve(bytes.count('\n') + 1);
    forEachLine(bytes, from, [&](qsizetype begin, qsizetype end) {
        lines.append(decoder.decode(QByteArrayView(bytes).sliced(begin, end - begin)));
    });
    return lines;
}

QByteArray encodeStore(const StoreLines& lines) {
    if (lines.isEmpty())
        return QByteArrayLiteral("\r\n");
    qsizetype total = 0;
    for (const StoreLine& line : lines)
        total += (line.isKeptAsBytes() ? line.raw.size() : 3 * line.text.size()) + 2;
    QByteArray bytes;
    bytes.reserve(total);
    TextEncoder encoder;
    for (const StoreLine& line : lines) {
        bytes += line.isKeptAsBytes() ? line.raw : encoder.encode(line.text);
        bytes += "\r\n";
    }
    // A first line that begins like a byte-order mark would be read as one: a UTF-8 mark in
    // front keeps it a line.
    if (startsWithMark(bytes))
        bytes.prepend(Utf8Mark.data(), Utf8Mark.size());
    return bytes;
}

QByteArray encodeStore(const QStringList& lines) {
    return encodeStore(storeLinesFromTexts(lines));
}

LoadedStore applyLoadRules(const StoreLines& lines, bool autoClear, const QDateTime& now) {
    const qint64 presentMinute = minuteOf(now);
    LoadedStore loaded;
    loaded.lines.reserve(lines.size());
    for (const StoreLine& line : lines) {
        if (line.text.size() <= 10)
            continue;
        const qsizetype bar = line.text.indexOf(QLatin1Char('|'));
        const auto alarmMinute =
            parseAlarmMinute(bar < 0 ? QStringView(line.text) : QStringView(line.text).left(bar));
        if (!alarmMinute || minuteDifference(*alarmMinute, presentMinute) <= 0) {
            if (!alarmMinute)
                loaded.unreadableTimes.append(loaded.lines.size());
            loaded.lines.append(line);
            continue;
        }
        if (splitAlarmLine(line.text).action == action::ShutDown)
            continue;
        if (autoClear)
            loaded.missed.append(line);
        else
            loaded.lines.append(line);
    }
    return loaded;
}

LoadedStore loadStore(const QString& path, bool autoClear, const QDateTime& now) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        LoadedStore none;
        const QFileInfo info(path);
        if (info.isDir())
            none.error = QStringLiteral("是一个文件夹");
        else if (info.exists())
            none.error = info.isReadable() ? file.errorString() : QStringLiteral("没有读取权限");
        return none;
    }
    return applyLoadRules(decodeStoreLines(file.readAll()), autoClear, now);
}

SaveResult saveStore(const QString& path, const StoreLines& lines) {
    const QFileInfo info(path);
    if (info.isDir())
        return failed(QStringLiteral("是一个文件夹"));
    // A file that nobody may write was made read-only on purpose; the system lets root
    // replace it, but the user meant to keep it as it is.
    constexpr auto anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (info.exists() && (!info.isWritable() || !(info.permissions() & anyWrite)))
        return failed(QStringLiteral("文件是只读的"));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        const QFileInfo folder(info.absolutePath());
        if (!folder.isDir())
            return failed(QStringLiteral("文件夹不存在"));
        if (!folder.isWritable())
            return failed(QStringLiteral("没有写入权限"));
        return failed(writeFailureReason(file));
    }
    const QByteArray bytes = encodeStore(lines);
    // A write may take only part of the bytes; the next one then says why.
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            const QString reason = writeFailureReason(file);
            file.cancelWriting();
            return failed(reason);
        }
        done += written;
    }
    if (!file.commit())
        return failed(writeFailureReason(file));
    return {};
}

SaveResult saveStore(const QString& path, const QStringList& lines) {
    return saveStore(path, storeLinesFromTexts(lines));
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
