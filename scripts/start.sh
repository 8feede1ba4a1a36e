#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program. Until the alarm program
# exists, this prints the current month of the lunar calendar with the `kalendo` command.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target kalendo

exec build/calendar/engine/kalendo month "$@"
