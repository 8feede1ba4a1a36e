#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds the Windows backend of the system actions with MinGW-w64 and runs its tests
# under Wine, in a throw-away Wine prefix inside the build folder; no display is needed.
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

echo "== Windows backend: cross-build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DTIKKO_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

echo "== Windows backend: tests under Wine"
export WINEPREFIX="$build/wineprefix" WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installer, no desktop menu entries, no window.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
rm -rf "$WINEPREFIX"
# Only this prefix's server is stopped, whatever happens below.
trap '"$wineserver" -k 2>/dev/null || true' EXIT
wine wineboot --init </dev/null >"$build/wineboot.log" 2>&1
status=0
ctest --test-dir "$build" --output-on-failure </dev/null || status=$?
"$wineserver" -k 2>/dev/null || true
trap - EXIT
# The prefix is made anew by every run; a failed run's is kept to look into.
[ "$status" -ne 0 ] || rm -rf "$WINEPREFIX"

echo "Windows stage took $(($(date +%s) - started)) s"
exit "$status"
