// SPDX-License-Identifier: MIT
#pragma once

#include "kalendo/errors.h"

#include <cstdint>
#include <limits>

namespace kalendo {

// The engine's integer parameters are 16-bit; arithmetic on them fails with the overflow
// error instead of wrapping, as the control's hosts have always seen it.
using Int16 = std::int16_t;

constexpr Int16 checkedInt16(long long value) {
    if (value < std::numeric_limits<Int16>::min() || value > std::numeric_limits<Int16>::max())
        throw OverflowError();
    return static_cast<Int16>(value);
}

constexpr Int16 add16(Int16 a, Int16 b) {
    return checkedInt16(static_cast<long long>(a) + b);
}
constexpr Int16 sub16(Int16 a, Int16 b) {
    return checkedInt16(static_cast<long long>(a) - b);
}

} // namespace kalendo
