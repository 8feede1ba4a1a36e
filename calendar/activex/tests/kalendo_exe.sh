#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# kalendo.exe takes Chinese member names from a Chinese (code page 936) command line and
# answers in UTF-8 when its output is a file or a pipe.
#   kalendo_exe.sh WINE_PREFIX kalendo.exe
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1 exe=$2
run() { bash "$here/../tools/wine-run.sh" "$prefix" 60 "$exe" "$@" </dev/null; }
status=0
check() {
  local expected=$1
  shift
  local got
  got=$(run "$@" 2>&1 | tr -d '\r') || true
  if [ "$got" = "$expected" ]; then
    echo "ok: kalendo $*"
  else
    echo "FAILED: kalendo $*: expected '$expected', got '$got'"
    status=1
  fi
}
check 120090501 call 阳历返回农 2009-6-23
check 戊子 call 天干地 2008
check "$(printf '2009-1-26\nYue=1')" call 阴历转阳历 2009 13 1
check "error 9: Subscript out of range" call 闰哪月 2091
exit "$status"
