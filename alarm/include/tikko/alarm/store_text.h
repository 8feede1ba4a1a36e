// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace tikko {

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

struct DecodedStore {
    StoreLines lines;
    // False when part of a UTF-16 file could not be read (a lone surrogate, an odd last
    // byte): its text then holds replacement characters, and writing it back would lose the
    // original for good.
    bool whole = true;
};

// The lines of a store file. A byte-order mark (UTF-8, UTF-16LE, UTF-16BE) decides the
// encoding of the whole file; so does, without a mark, a file whose NUL bytes stand in
// alternate positions (UTF-16 that an editor saved without one). Otherwise each line is
// decoded on its own: UTF-8 when it is valid UTF-8, otherwise the code page of a store from
// Chinese Windows (GB18030; the ANSI code page on Windows itself) when that reads it cleanly,
// otherwise the line is kept as bytes. Lines end at CR, at CR LF, or at a lone LF.
DecodedStore decodeStore(const QByteArray& bytes);
StoreLines decodeStoreLines(const QByteArray& bytes);

// The bytes written for a list: every line ended by CR LF, one empty line for an empty list.
// Texts are written in UTF-8 (the ANSI code page on Windows, UTF-8 for a line it cannot
// hold); kept lines as their bytes. A UTF-8 mark goes in front when the bytes could otherwise
// be read as another encoding.
QByteArray encodeStore(const StoreLines& lines);
QByteArray encodeStore(const QStringList& lines);

} // namespace tikko
