// SPDX-License-Identifier: MIT
#pragma once

#include "kalendo/date.h"

#include <optional>
#include <ostream>
#include <span>
#include <string>

namespace kalendo {

struct CliOptions {
    Date today;           // the system clock's date, injected
    bool colours = false; // ANSI colours, for a terminal
    // The width the pages must fit; unset: the terminal's (no limit when output is no
    // terminal and COLUMNS is not set).
    std::optional<int> columns;
};

// The `kalendo` command without its process: args exclude the program name. Returns the
// exit status: 0; 2 for bad input and member errors; 1 when `out` cannot be written (a full
// disk). Every failure is one line on `err`.
int runKalendo(std::span<const std::string> args, std::ostream& out, std::ostream& err,
               const CliOptions& options);

// The columns of the terminal on standard output, else COLUMNS, else nothing.
std::optional<int> terminalColumns();

// Columns a UTF-8 text takes in a terminal: East Asian wide characters take two.
int displayWidth(std::string_view utf8);

} // namespace kalendo
