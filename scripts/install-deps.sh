#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs, on Debian, whatever the build, the tests and the tools need and is still missing.
# Safe to run again: packages already present are skipped, and nothing is installed twice.
set -euo pipefail

packages=(
  # toolchain and test frameworks
  g++ cmake ninja-build pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev
  # a compiler cache: a machine that built the project before builds it again in minutes
  ccache
  clang libclang-rt-dev
  # Qt 6 (widgets, tools, multimedia, D-Bus) for the program and the control
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-multimedia-dev
  libqt6svg6 qt6-l10n-tools
  # Qt's own texts (standard buttons, text-box menus) in Chinese
  qt6-translations-l10n
  # Qt Designer's form editor, which the Designer plugin's test loads (its CMake package
  # needs Qt OpenGL's)
  libqt6opengl6-dev
  # headless runs and readable Chinese texts
  xvfb xauth x11-utils imagemagick fonts-noto-cjk
  # the desktop test: a window manager, and clicks and keys sent as a person would
  openbox xdotool
  # resident-memory figures of the benchmarks (/usr/bin/time -v)
  time
  # ICU, compared against in the benchmarks
  libicu-dev
  # GStreamer's plugins for the alarm sound (wave, MP3): without them Qt Multimedia's player
  # has nothing to decode with
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  # the install and the Debian packages: their checkers, and the iCalendar parser that reads
  # kalendo's calendar files back
  desktop-file-utils appstream lintian dpkg-dev file python3-icalendar
  # TikkoClock's D-Bus interface, tested on a private session bus, and its iCalendar export,
  # read back by a calendar program that runs without a screen
  dbus-daemon calcurse
  # the Windows backend of the system actions: cross-compiled (GoogleTest is built for the
  # target from the googletest sources above) and tested under 64-bit Wine
  g++-mingw-w64-x86-64 wine wine64
  # kalendo.ocx's tests: Wine in a Chinese locale (code page 936), compiled from the locales
  # package's sources into the build folder
  locales
)
# Node.js with npm, for the astronomy checks of the calendar tables; a machine may
# already carry its own build of Node.js that brings npm along.
command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The astronomy library for the calendar-table checks, kept inside tools/.
here=$(cd "$(dirname "$0")/.." && pwd)
if [ -f "$here/tools/astro/package.json" ] && [ ! -d "$here/tools/astro/node_modules/astronomia" ]; then
  (cd "$here/tools/astro" && npm ci --no-audit --no-fund --loglevel=error)
fi
