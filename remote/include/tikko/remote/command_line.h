// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/remote/request.h"

#include <QString>
#include <QStringList>

namespace tikko {

// The command line read into a request, or the one line that says what is wrong with it.
// Everything that can be checked without the store is checked here, so that bad input never
// reaches it: the names of types, actions and rules, numbers, the forms of times. A program to
// run is resolved against the caller's folder and PATH, which the running program does not
// share.
struct ParsedCommandLine {
    Request request;
    QString error; // empty when the arguments are good
};

// `arguments` without the program's own name.
ParsedCommandLine parseCommandLine(const QStringList& arguments);

// --help: the commands, the options and every ASCII name of the types, actions and rules.
QString commandLineHelp();

} // namespace tikko
