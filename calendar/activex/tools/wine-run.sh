#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a Windows program under Wine in a prefix of the build's own, made on first use: code
# page 936 (Chinese texts are empty boxes otherwise, and the type library stores its names
# in it), no crash dialog (it would wait for a click), and a time limit.
#   wine-run.sh PREFIX SECONDS PROGRAM [ARGUMENTS...]
set -euo pipefail
prefix=$1 seconds=$2
shift 2
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
# Wine reads the locale's name from the environment even where glibc lacks the locale (set
# for Wine alone: this shell would complain about the missing locale).
chinese=(env LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8)
# No Mono or Gecko installer, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ ! -f "$prefix/.kalendo-ready" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/.kalendo-ready" ]; then
      DISPLAY= "${chinese[@]}" timeout -k 5 300 wine wineboot --init </dev/null >/dev/null 2>&1
      DISPLAY= "${chinese[@]}" timeout -k 5 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
        /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
      touch "$prefix/.kalendo-ready"
    fi
  ) 9>"$prefix.lock"
fi
exec "${chinese[@]}" timeout -k 5 "$seconds" wine "$@"
