#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the store fuzzer for a bounded time, seeded with the store files of the tests.
# usage: run.sh BUILD_DIR [SECONDS]
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$here"/../tests/data/*.ini "$work"/
cd "$work"
"$build/alarm/fuzz/tikko-store-fuzzer" -max_total_time="$seconds" -max_len=4096 \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "$work" 2>&1 | tail -n 15
