#pragma once

#include "kalendo/errors.h"

#include <charconv>
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
        throw TypeMismatchError("Type mismatch");
    unsigned long long magnitude = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (ec != std::errc() || end != text.data() + text.size() || magnitude > (1ULL << 62))
        throw OverflowError("Overflow");
    const long long value =
        negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    if (value < lo || value > hi)
        throw OverflowError("Overflow");
    return value;
}

} // namespace kalendo::text
