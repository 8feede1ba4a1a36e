#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Hosts the control in Wine's ATL container on a virtual X display: a screenshot of April
# 2008 with the 23rd selected, its cells against the command's (the Qt control's model), a
# few pixels, a click on a day cell and one on the next-month button.
#   atl_host.sh WINE_PREFIX atl_host.exe EXPECTED_CELLS OUTPUT_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1 host=$2 expected=$3 out=$4
rm -rf "$out" && mkdir -p "$out"

# Wine's desktop belongs to the prefix's server: one started by the earlier tests without a
# display could make no windows. This prefix is the build's own and its tests run one at a
# time, so its server is ended here, and again before the display goes.
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
stop_wine() { WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null || true; }
stop_wine

# A display number nobody else uses: Xvfb picks it and tells.
Xvfb -displayfd 5 -screen 0 800x600x24 -nolisten tcp 5>"$out/display" 2>"$out/xvfb.log" &
xvfb=$!
host_pid=
cleanup() {
  [ -z "$host_pid" ] || kill "$host_pid" 2>/dev/null || true
  stop_wine
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$out/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$out/display")"

bash "$here/../tools/wine-run.sh" "$prefix" 150 "$host" "Z:${out//\//\\}" </dev/null \
  >"$out/host.log" 2>&1 &
host_pid=$!
# Waits for a file the host writes, as long as the host runs.
wait_for() {
  for _ in $(seq 600); do
    [ -s "$1" ] && return 0
    kill -0 "$host_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
wait_for "$out/places.txt" || { echo "FAILED: the host did not show the control"; cat "$out/host.log"; exit 1; }
sleep 1
import -window root "$out/kalendo-2008-04.png"

status=0
if diff -u "$expected" "$out/cells.txt"; then
  echo "ok: the cells and titles of April 2008 are the command's"
else
  echo "FAILED: the control's cells differ from the command's"
  status=1
fi

read -r _ cx cy _ _ < <(grep '^control' "$out/places.txt")
pixel() { # "r,g,b" at a point of the control
  convert "$out/kalendo-2008-04.png" -format \
    "%[fx:round(255*p{$(($1 + cx)),$(($2 + cy))}.r)],%[fx:round(255*p{$(($1 + cx)),$(($2 + cy))}.g)],%[fx:round(255*p{$(($1 + cx)),$(($2 + cy))}.b)]" info:
}
expect_pixel() { # x y r,g,b what
  local got
  got=$(pixel "$1" "$2")
  if [ "$got" = "$3" ]; then echo "ok: $4"; else echo "FAILED: $4: $got at $1,$2, not $3"; status=1; fi
}
expect_pixel 2 2 128,128,128 "the grey title strip"
expect_pixel 10 34 192,192,192 "the silver weekday bar"
expect_pixel 242 202 0,255,255 "the cyan highlight of today, the 23rd"
expect_pixel 240 210 0,0,0 "the border of the selected day"

read -r _ x y < <(grep '^cell' "$out/places.txt")
xdotool mousemove "$x" "$y" click 1
wait_for "$out/selected.txt" || { echo "FAILED: a click on the 8th did not select it"; status=1; }
read -r _ x y < <(grep '^button' "$out/places.txt")
xdotool mousemove "$x" "$y" click 1
host_status=0
wait "$host_pid" || host_status=$?
host_pid=
cat "$out/result.txt" 2>/dev/null || true
if [ "$host_status" -ne 0 ]; then
  echo "FAILED: the clicks did not select the day and move to May"
  status=1
else
  echo "ok: a click selected the 8th, the next-month button showed May"
fi
echo "screenshot: $out/kalendo-2008-04.png"
exit "$status"
