// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/remote/request.h"

#include <QString>

namespace tikko {

class Clock;
struct StoreLocation;

// Carries out a command of the command line: through the running program when one holds the
// store, else on the store itself under the same lock, so that no program starts meanwhile.
// Prints what it has to say and gives the exit status. Needs a QCoreApplication.
int runClientRequest(const Request& request, const StoreLocation& store,
                     const QString& runtimeFolder, const Clock& clock);

// Writes an answer: its output to standard output (or, for an export to a file, into the file),
// its line to standard error. Gives the exit status; 1 when the output could not be written.
int deliverAnswer(const Request& request, const Answer& answer);

} // namespace tikko
