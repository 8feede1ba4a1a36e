// SPDX-License-Identifier: MIT
// Creates the control offscreen and asks it, through its dispatch interface and through the
// engine's typed API, for the lunar date of a day; prints the answers and fails unless they
// are the known ones.
#include <QApplication>
#include <cstdio>
#include <kalendo/control.h>
#include <kalendo/lunar.h>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Kalendo calendar;
    const kalendo::Result answer = calendar.call(QStringLiteral("阳历返回农"), {"2009-6-23"});
    if (!answer.ok()) {
        std::fprintf(stderr, "error %d: %s\n", answer.errorNumber, qPrintable(answer.errorMessage));
        return 1;
    }
    const QString lunar = answer.value.toString();
    std::printf("%s\n", qPrintable(lunar));

    const kalendo::LunarDate typed =
        kalendo::LunarDate::fromSolar(kalendo::Date::fromYmd(2009, 6, 23));
    std::printf("%s%s\n", typed.monthName().c_str(), typed.dayName().c_str());
    const bool same = typed == kalendo::LunarDate{2009, 5, 1, true} &&
                      typed.toSolar() == kalendo::Date::fromYmd(2009, 6, 23);
    return lunar == QStringLiteral("120090501") && same ? 0 : 1;
}
