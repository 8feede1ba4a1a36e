#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the call-path fuzzer for a bounded time on a copy of the committed seed corpus.
# usage: run.sh BUILD_DIR [SECONDS]
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$here"/corpus/* "$work"/
cd "$work"
"$build/calendar/engine/kalendo-call-fuzzer" -max_total_time="$seconds" -max_len=512 \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "$work" 2>&1 | tail -n 15
