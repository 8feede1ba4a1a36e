// SPDX-License-Identifier: MIT
#include "kalendo/date.h"

#include "kalendo/errors.h"
#include "kalendo/text.h"

#include <charconv>
#include <cstdio>

namespace kalendo {

Date Date::rolled(int y, int m, int d) {
    // Work in 64 bits so that no argument can overflow before the range check.
    const long long months = static_cast<long long>(y) * 12 + (m - 1);
    const long long year = months >= 0 ? months / 12 : -((-months + 11) / 12);
    const long long month = months - year * 12 + 1; // [1, 12]
    if (year < kFirstYear - 1 || year > kLastYear + 1)
        throw InvalidCallError();
    const long long first =
        fromYmd(static_cast<int>(year), static_cast<unsigned>(month), 1).serial();
    const long long serial = first + d - 1;
    if (serial < fromYmd(kFirstYear, 1, 1).serial() || serial > fromYmd(kLastYear, 12, 31).serial())
        throw InvalidCallError();
    return Date(static_cast<std::int32_t>(serial));
}

std::string toText(Date date) {
    char buf[24];
    const int n = std::snprintf(buf, sizeof buf, "%d-%u-%u", date.year(), date.month(), date.day());
    return std::string(buf, static_cast<std::size_t>(n));
}

namespace {

[[noreturn]] void mismatch() {
    throw TypeMismatchError();
}

// Reads 1 to maxDigits decimal digits at text[pos], advancing pos.
int readNumber(std::string_view text, std::size_t& pos, std::size_t maxDigits) {
    std::size_t const begin = pos;
    while (pos < text.size() && pos - begin < maxDigits && text[pos] >= '0' && text[pos] <= '9')
        ++pos;
    if (pos == begin || (pos < text.size() && text[pos] >= '0' && text[pos] <= '9'))
        mismatch();
    int value = 0;
    std::from_chars(text.data() + begin, text.data() + pos, value);
    return value;
}

void expect(std::string_view text, std::size_t& pos, std::string_view oneOf) {
    if (pos >= text.size() || oneOf.find(text[pos]) == std::string_view::npos)
        mismatch();
    ++pos;
}

} // namespace

DateTime parseDateTime(std::string_view text) {
    text = text::trimBlanks(text);

    std::size_t pos = 0;
    const int y = readNumber(text, pos, 4);
    expect(text, pos, "-/");
    const int m = readNumber(text, pos, 2);
    expect(text, pos, "-/");
    const int d = readNumber(text, pos, 2);
    if (y < Date::kFirstYear || m < 1 || m > 12 || d < 1 ||
        static_cast<unsigned>(d) > daysInMonth(y, static_cast<unsigned>(m)))
        mismatch();

    int seconds = 0;
    if (pos < text.size()) {
        expect(text, pos, " ");
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        const int hh = readNumber(text, pos, 2);
        expect(text, pos, ":");
        const int mm = readNumber(text, pos, 2);
        int ss = 0;
        if (pos < text.size()) {
            expect(text, pos, ":");
            ss = readNumber(text, pos, 2);
        }
        if (pos != text.size() || hh > 23 || mm > 59 || ss > 59)
            mismatch();
        seconds = hh * 3600 + mm * 60 + ss;
    }
    return {Date::fromYmd(y, static_cast<unsigned>(m), static_cast<unsigned>(d)), seconds};
}

Date parseDate(std::string_view text) {
    const DateTime dt = parseDateTime(text);
    if (dt.seconds != 0)
        mismatch();
    return dt.date;
}

} // namespace kalendo
