// SPDX-License-Identifier: MIT
// Bytes in as a store file, lines out, saved and read again: the second read must give the
// same lines (and the same bytes for kept lines), a second save the same file, and the load
// rules the same list; the saved file stays within a small multiple of the input.
#include "tikko/alarm/alarm_store.h"

#include <QDateTime>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "store round trip: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const tikko::StoreLines first = tikko::decodeStoreLines(bytes);
    const QByteArray saved = tikko::encodeStore(first);
    // CR or LF become CR LF (twice the bytes at most), a UTF-16 unit at most three bytes,
    // plus a mark and the empty list's line.
    if (saved.size() > 2 * bytes.size() + 8)
        fail("the saved file grew beyond its bound");
    const tikko::StoreLines second = tikko::decodeStoreLines(saved);
    // An empty list is stored as one empty line.
    const tikko::StoreLines expected = first.isEmpty() ? tikko::StoreLines{{}} : first;
    if (second != expected)
        fail("the second read differs from the first");
    for (const tikko::StoreLine& line : second) {
        if (line.text.contains(QLatin1Char('\r')) || line.text.contains(QLatin1Char('\n')))
            fail("a line holds a line end");
    }
    if (tikko::encodeStore(second) != saved)
        fail("the second save differs from the first");
    const QDateTime now(QDate(2026, 12, 8), QTime(10, 5, 30));
    for (const bool autoClear : {false, true}) {
        const tikko::LoadedStore loaded = tikko::applyLoadRules(first, autoClear, now);
        const tikko::LoadedStore again = tikko::applyLoadRules(
            tikko::decodeStoreLines(tikko::encodeStore(loaded.lines())), autoClear, now);
        if (again.lines() != loaded.lines() || !again.missed.isEmpty())
            fail("loading the saved list again changed it");
    }
    return 0;
}
