// SPDX-License-Identifier: MIT
// Prints every lunar month of the year table, one per line:
// lunar year, month, leap flag, first Gregorian day, length in days.
#include "kalendo/engine.h"

#include <cstdio>

int main() {
    kalendo::Engine const engine;
    for (kalendo::Date day = kalendo::Engine::kFirstDay; day <= kalendo::Engine::kLastDay;) {
        kalendo::LunarDate const lunar = engine.solarToLunarDate(day);
        const auto year = static_cast<kalendo::Int16>(lunar.year);
        const int length =
            lunar.leap ? engine.leapMonthDays(year)
                       : engine.lunarMonthDays(year, static_cast<kalendo::Int16>(lunar.month));
        std::printf("%d\t%d\t%d\t%s\t%d\n", lunar.year, lunar.month, lunar.leap ? 1 : 0,
                    kalendo::toText(day).c_str(), length);
        day = day.plusDays(length);
    }
}
