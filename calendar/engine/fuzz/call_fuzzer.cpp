// SPDX-License-Identifier: MIT
// Feeds random commands through the `kalendo` command's own path: the input is split at
// newlines into arguments ("call", a member name, its arguments, or any other command). Any
// exception other than the engine's typed errors, any crash or undefined behaviour is a finding.
#include "kalendo_cli.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096)
        return 0;
    std::vector<std::string> args;
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            args.push_back(current);
            // A calendar file of every day of 190 years is tens of megabytes: right for a user, but
            // it would turn each such input into seconds of work and starve the rest of the run.
            if (std::find(args.begin(), args.end(), "--lunar-days") != args.end())
                return 0;
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    args.push_back(current);

    std::ostringstream out, err;
    kalendo::CliOptions options;
    options.today = kalendo::Date::fromYmd(2008, 4, 23);
    const int status = kalendo::runKalendo(args, out, err, options);
    if (status != 0 && status != 2)
        __builtin_trap();
    return 0;
}
