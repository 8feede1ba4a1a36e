#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the VBScript and JScript hosts' scripts through cscript and compares what they print.
# Script hosts read files in the ANSI code page (GBK here) and print in it.
#   scripts.sh WINE_PREFIX OUTPUT_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1 out=$2
rm -rf "$out" && mkdir -p "$out"
status=0
for script in kalendo.vbs kalendo.js; do
  iconv -f UTF-8 -t GBK "$here/scripts/$script" >"$out/$script"
  (cd "$out" && bash "$here/../tools/wine-run.sh" "$prefix" 60 cscript //nologo "$script" \
     </dev/null 2>/dev/null) | iconv -f GBK -t UTF-8 | tr -d '\r' >"$out/$script.out" || true
  if diff -u "$here/scripts/$script.expected" "$out/$script.out"; then
    echo "ok: $script"
  else
    echo "FAILED: $script"
    status=1
  fi
done
exit "$status"
