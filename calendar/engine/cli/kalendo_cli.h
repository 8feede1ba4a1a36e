// SPDX-License-Identifier: MIT
#pragma once

#include "kalendo/date.h"

#include <ostream>
#include <span>
#include <string>

namespace kalendo {

struct CliOptions {
    Date today;           // the system clock's date, injected
    bool colours = false; // ANSI colours, for a terminal
};

// The `kalendo` command without its process: args exclude the program name. Returns the
// exit status: 0, or 2 for bad input and member errors (one line on `err`).
int runKalendo(std::span<const std::string> args, std::ostream& out, std::ostream& err,
               const CliOptions& options);

// Columns a UTF-8 text takes in a terminal: East Asian wide characters take two.
int displayWidth(std::string_view utf8);

} // namespace kalendo
