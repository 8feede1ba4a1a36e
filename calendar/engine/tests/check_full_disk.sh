#!/bin/bash
# SPDX-License-Identifier: MIT
# check_full_disk.sh KALENDO: every command with standard output on a full disk fails with
# one line on standard error, instead of leaving a cut-off file and reporting success.
kalendo=$1
failures=0
err=$(mktemp)
trap 'rm -f "$err"' EXIT
check() {
    "$kalendo" "$@" >/dev/full 2>"$err"
    local status=$?
    if ((status != 1)) || (($(wc -l <"$err") != 1)); then
        echo "FAIL: kalendo $* on a full disk: status $status, stderr: $(cat "$err")"
        failures=$((failures + 1))
    fi
}
check
check 2026
check -3 2 2026
check month 2008 4 --cells
check day 2026-02-17
check terms 2026
check ics 1901 2090 --lunar-days
check members
check call 阳历返回农 2009-6-23
check --help
check --version
exit $((failures != 0))
