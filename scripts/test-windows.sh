#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds with MinGW-w64 the Windows backend of the system actions, the calendar engine
# with kalendo.exe, and the ActiveX control kalendo.ocx, and runs their tests under Wine in a
# throw-away Wine prefix inside the build folder, in a Chinese locale (code page 936). The
# control's container test brings its own virtual display.
#   scripts/test-windows.sh [build folder]        (default: build-mingw)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${1:-build-mingw}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
started=$(date +%s)
for tool in x86_64-w64-mingw32-g++-posix wine; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/install-deps.sh" >&2; exit 1; }
done

echo "== Windows: cross-build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DTIKKO_BENCHMARKS=OFF >/dev/null

# A fresh prefix, made before anything else runs Wine (the type library is written under
# Wine while building): no crash dialog, which would wait for a click for as long as the
# run lasts, and the zh_CN.UTF-8 locale beside it.
export WINEPREFIX="$build/wineprefix" WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installer, no desktop menu entries, no window.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
rm -rf "$WINEPREFIX" "$WINEPREFIX.lock"
# Only this prefix's server is stopped, whatever happens below.
trap '"$wineserver" -k 2>/dev/null || true' EXIT
bash calendar/activex/tools/wine-run.sh "$WINEPREFIX" 60 cmd /c exit </dev/null \
  >"$build/wineboot.log" 2>&1
export LOCPATH="$build/locale"
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

cmake --build "$build" -j"$(nproc)"

echo "== Windows: tests under Wine"
status=0
ctest --test-dir "$build" --output-on-failure --timeout 300 </dev/null || status=$?
"$wineserver" -k 2>/dev/null || true
trap - EXIT
# The prefix is made anew by every run; a failed run's is kept to look into.
[ "$status" -ne 0 ] || rm -rf "$WINEPREFIX"

echo "Windows stage took $(($(date +%s) - started)) s"
exit "$status"
