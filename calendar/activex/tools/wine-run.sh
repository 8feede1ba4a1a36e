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
# Wine takes its code page from the locale, and turns the Unix command line into UTF-16 by
# the locale's character set: glibc must know zh_CN.UTF-8. It is compiled beside the prefix
# (from the locales package's sources) rather than into the system.
locales=$(dirname "$prefix")/locale
chinese=(env LOCPATH="$locales" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8)
# No Mono or Gecko installer, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ ! -f "$prefix/.kalendo-ready" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/.kalendo-ready" ]; then
      mkdir -p "$locales"
      [ -d "$locales/zh_CN.UTF-8" ] || localedef -i zh_CN -f UTF-8 "$locales/zh_CN.UTF-8" >/dev/null
      DISPLAY= "${chinese[@]}" timeout -k 5 300 wine wineboot --init </dev/null >/dev/null 2>&1
      DISPLAY= "${chinese[@]}" timeout -k 5 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
        /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
      touch "$prefix/.kalendo-ready"
    fi
  ) 9>"$prefix.lock"
fi
exec "${chinese[@]}" timeout -k 5 "$seconds" wine "$@"
