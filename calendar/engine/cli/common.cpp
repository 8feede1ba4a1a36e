// SPDX-License-Identifier: MIT
#include "commands.h"
#include "kalendo/errors.h"
#include "kalendo/month_grid.h"
#include "kalendo/text.h"

#include <array>

namespace kalendo {

namespace {

bool isWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
           (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

} // namespace

int displayWidth(std::string_view utf8) {
    int width = 0;
    for (std::size_t pos = 0; pos < utf8.size();)
        width += isWide(text::decodeCharacter(utf8, pos)) ? 2 : 1;
    return width;
}

namespace cli {

std::string listYearRange() {
    return std::to_string(kFirstListYear) + "-" + std::to_string(kLastListYear);
}

int parseYear(std::string_view text, std::string_view what) {
    long long year = 0;
    const std::string range = listYearRange();
    try {
        year = text::parseInteger(text, -1'000'000'000, 1'000'000'000);
    } catch (const TypeMismatchError&) {
        throw UsageError{std::string(what) + " must be a number " + range + ", not '" +
                         std::string(text) + "'"};
    } catch (const EngineError&) {
        year = -1; // too large to show as a number: out of range below
    }
    if (year < kFirstListYear || year > kLastListYear)
        throw UsageError{std::string(what) + " must be " + range + " (got " + std::string(text) +
                         ")"};
    return static_cast<int>(year);
}

Date parseUserDate(std::string_view text, std::string_view what) {
    try {
        return parseDate(text);
    } catch (const EngineError&) {
        throw UsageError{std::string(what) + " must be a valid date YYYY-MM-DD, not '" +
                         std::string(text) + "'"};
    }
}

std::string_view weekdayName(unsigned weekday) {
    static constexpr std::array<std::string_view, 7> kNames = {
        "星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
    return kNames[weekday % 7];
}

std::string lunarDateWords(const LunarDate& lunar) {
    return "农历" + lunar.yearStemBranch() + "年" + lunar.monthName() + lunar.dayName();
}

std::string paddedDate(Date date, std::string_view separator) {
    return text::zeroPadded(static_cast<unsigned>(date.year()), 4) + std::string(separator) +
           text::zeroPadded(date.month(), 2) + std::string(separator) +
           text::zeroPadded(date.day(), 2);
}

} // namespace cli
} // namespace kalendo
