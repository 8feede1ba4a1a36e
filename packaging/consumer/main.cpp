// SPDX-License-Identifier: MIT
// Creates the control offscreen and asks it, through its dispatch interface, for the lunar
// date of a day; prints the answer and fails unless it is the known one.
#include <QApplication>
#include <cstdio>
#include <kalendo/control.h>

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
    return lunar == QStringLiteral("120090501") ? 0 : 1;
}
