// SPDX-License-Identifier: MIT
#include "kalendo_cli.h"

#include <ctime>
#include <iostream>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    std::time_t const now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);

    kalendo::CliOptions options;
    options.today =
        kalendo::Date::fromYmd(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                               static_cast<unsigned>(local.tm_mday));
    options.colours = isatty(STDOUT_FILENO) != 0 && std::getenv("NO_COLOR") == nullptr;

    const std::vector<std::string> args(argv + 1, argv + argc);
    return kalendo::runKalendo(args, std::cout, std::cerr, options);
}
