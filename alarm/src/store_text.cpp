// SPDX-License-Identifier: MIT
#include "tikko/alarm/store_text.h"

#include <QStringDecoder>
#include <QStringEncoder>
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

// Qt's UTF-16 decoder lets a lone surrogate through, which no encoding can write. False
// when there was one.
bool replaceLoneSurrogates(QString& text) {
    bool none = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!c.isSurrogate())
            continue;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
        } else {
            text[i] = QChar::ReplacementCharacter;
            none = false;
        }
    }
    return none;
}

// UTF-16 without a mark: NUL bytes, which no 8-bit store holds, stand in the high byte of the
// many ASCII characters of every line (its time, its separators). Characters such as U+4E00
// put a few in the other place.
std::optional<QStringConverter::Encoding> unmarkedUtf16(QByteArrayView bytes) {
    if (!bytes.contains('\0'))
        return std::nullopt;
    qsizetype even = 0, odd = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\0')
            ++(i % 2 ? odd : even);
    }
    const qsizetype units = bytes.size() / 2;
    if (4 * odd >= units && odd >= 8 * even && odd > 0)
        return QStringConverter::Utf16LE;
    if (4 * even >= units && even >= 8 * odd && even > 0)
        return QStringConverter::Utf16BE;
    return std::nullopt;
}

DecodedStore decodeUtf16(QByteArrayView bytes, QStringConverter::Encoding encoding) {
    QStringDecoder decoder(encoding, DecoderFlags);
    // A lone surrogate or an odd last byte becomes a replacement character: unlike the bytes
    // of a line, UTF-16 bytes cannot stand in a file that is written back as UTF-8, so such a
    // file is not read whole.
    QString text = decoder.decode(bytes);
    DecodedStore decoded;
    decoded.whole = replaceLoneSurrogates(text) && !decoder.hasError() && bytes.size() % 2 == 0;
    forEachLine(text, 0, [&](qsizetype begin, qsizetype end) {
        decoded.lines.append({text.mid(begin, end - begin), {}});
    });
    return decoded;
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

} // namespace

DecodedStore decodeStore(const QByteArray& bytes) {
    if (bytes.startsWith(Utf16LeMark))
        return decodeUtf16(QByteArrayView(bytes).sliced(2), QStringConverter::Utf16LE);
    if (bytes.startsWith(Utf16BeMark))
        return decodeUtf16(QByteArrayView(bytes).sliced(2), QStringConverter::Utf16BE);
    const bool utf8Mark = bytes.startsWith(Utf8Mark);
    if (!utf8Mark) {
        if (const auto utf16 = unmarkedUtf16(bytes))
            return decodeUtf16(bytes, *utf16);
    }
    const qsizetype from = utf8Mark ? Utf8Mark.size() : 0;
    LineDecoder decoder;
    DecodedStore decoded;
    decoded.lines.reserve(bytes.count('\n') + 1);
    forEachLine(bytes, from, [&](qsizetype begin, qsizetype end) {
        decoded.lines.append(decoder.decode(QByteArrayView(bytes).sliced(begin, end - begin)));
    });
    return decoded;
}

StoreLines decodeStoreLines(const QByteArray& bytes) {
    return decodeStore(bytes).lines;
}

QByteArray encodeStore(const StoreLines& lines) {
    if (lines.isEmpty())
        return QByteArrayLiteral("\r\n");
    qsizetype total = 0;
    for (const StoreLine& line : lines)
        total += (line.isKeptAsBytes() ? line.raw.size() : 3 * line.text.size()) + 2;
    QByteArray bytes;
    bytes.reserve(total + Utf8Mark.size());
    TextEncoder encoder;
    for (const StoreLine& line : lines) {
        bytes += line.isKeptAsBytes() ? line.raw : encoder.encode(line.text);
        bytes += "\r\n";
    }
    // A first line that begins like a byte-order mark would be read as one, and NUL bytes
    // (a NUL character) could be taken for UTF-16: a UTF-8 mark in front keeps the lines.
    if (startsWithMark(bytes) || unmarkedUtf16(bytes))
        bytes.prepend(Utf8Mark.data(), Utf8Mark.size());
    return bytes;
}

QByteArray encodeStore(const QStringList& lines) {
    return encodeStore(storeLinesFromTexts(lines));
}

} // namespace tikko
