#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and starts TikkoClock. Without a display it runs the
# program under a virtual X server, saves a screenshot of the main window under build/
# after a few seconds, says where, and stops the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target TikkoClock

program="$root/build/app/TikkoClock"
if [ -n "${DISPLAY:-}" ]; then
  exec "$program"
fi

shot="$root/build/tikkoclock-main-window.png"
# The program runs until the screenshot is taken; SIGTERM then ends it through its normal
# exit, so its alarms and settings are written as after any other session.
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$1" &
  pid=$!
  sleep "$3"
  import -window root "$2"
  kill -TERM "$pid"
  wait "$pid" || true
' headless "$program" "$shot" "${SCREENSHOT_DELAY:-4}"
echo "screenshot of the main window: $shot"
