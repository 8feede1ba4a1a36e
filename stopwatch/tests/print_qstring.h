// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <ostream>

// Readable failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
