// SPDX-License-Identifier: MIT
#pragma once

// The text helpers that the engine, the month-grid fill, the command and the control share.

#include "kalendo/errors.h"
#include "kalendo/int16.h"

#include <array>
#include <charconv>
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

namespace kalendo::text {

// Drops surrounding blanks, and only blanks: hosts have always had tabs kept.
constexpr std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// The decimal integer a text holds, blanks around it and a sign allowed. Anything else is a
// type mismatch; a number outside [lo, hi] overflows.
inline long long parseInteger(std::string_view text, long long lo, long long hi) {
    text = trimBlanks(text);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '+' || text.front() == '-'))
        text.remove_prefix(1);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        throw TypeMismatchError();
    unsigned long long magnitude = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (ec != std::errc() || end != text.data() + text.size() || magnitude > (1ULL << 62))
        throw OverflowError();
    const long long value =
        negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    if (value < lo || value > hi)
        throw OverflowError();
    return value;
}

// The 16-bit number a text holds, read strictly as above: "04", " 4" and "+4" are 4;
// "4x" and "" are a type mismatch, "40000" an overflow.
inline Int16 parseInt16(std::string_view text) {
    return static_cast<Int16>(
        parseInteger(text, std::numeric_limits<Int16>::min(), std::numeric_limits<Int16>::max()));
}

// --- UTF-8 ---

// The position after the character that starts at `pos` (a cut character ends the text).
constexpr std::size_t nextCharacter(std::string_view s, std::size_t pos) {
    if (pos >= s.size())
        return s.size();
    ++pos;
    while (pos < s.size() && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80)
        ++pos;
    return pos;
}

constexpr std::size_t characterCount(std::string_view s) {
    std::size_t n = 0;
    for (std::size_t pos = 0; pos < s.size(); pos = nextCharacter(s, pos))
        ++n;
    return n;
}

// The first n characters of a text, or all of it.
constexpr std::string_view firstCharacters(std::string_view s, std::size_t n) {
    std::size_t pos = 0;
    for (; n > 0 && pos < s.size(); --n)
        pos = nextCharacter(s, pos);
    return s.substr(0, pos);
}

// The code point that starts at `pos`, advancing `pos` past it.
constexpr char32_t decodeCharacter(std::string_view s, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(s[pos]);
    const std::size_t end = nextCharacter(s, pos);
    char32_t c = lead >= 0xF0   ? lead & 0x07
                 : lead >= 0xE0 ? lead & 0x0F
                 : lead >= 0xC0 ? lead & 0x1F
                                : lead;
    for (++pos; pos < end; ++pos)
        c = (c << 6) | (static_cast<unsigned char>(s[pos]) & 0x3F);
    return c;
}

// Splits a text into N pieces of `width` characters each; a table written as one string
// becomes its entries.
template <std::size_t N>
constexpr std::array<std::string_view, N> splitCharacters(std::string_view s, int width = 1) {
    std::array<std::string_view, N> pieces{};
    std::size_t pos = 0;
    for (auto& piece : pieces) {
        const std::size_t begin = pos;
        for (int c = 0; c < width; ++c)
            pos = nextCharacter(s, pos);
        piece = s.substr(begin, pos - begin);
    }
    return pieces;
}

// --- Zero padding ---

// Writes the last `width` decimal digits of a non-negative value to out[0, width).
constexpr void putDigits(char* out, unsigned value, int width) {
    for (int i = width - 1; i >= 0; --i, value /= 10)
        out[i] = static_cast<char>('0' + value % 10);
}

// A non-negative value with leading zeros up to `width` digits ("04", "0318", "2008").
inline std::string zeroPadded(unsigned value, int width) {
    std::string digits = std::to_string(value);
    if (digits.size() < static_cast<std::size_t>(width))
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    return digits;
}

} // namespace kalendo::text
