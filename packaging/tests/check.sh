#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The install and the packages, checked as a user or another program meets them.
#   check.sh STEP BUILD_DIR SOURCE_DIR WORK_DIR
# Steps: install, tree, entries, consumer-cmake, consumer-pkgconfig, program, packages.
# Everything is written under WORK_DIR; nothing is installed on the machine.
set -euo pipefail
step=$1 build=$2 source=$3 work=$4
stage="$work/stage"
prefix="$stage/usr"
multiarch=$(gcc -print-multiarch)
libdir="$prefix/lib/$multiarch"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

case "$step" in
install)
  rm -rf "$stage"
  DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$work/install.log"
  ;;

tree)
  expected=(
    bin/TikkoClock bin/kalendo
    "lib/$multiarch/libkalendo.so.12" "lib/$multiarch/libkalendo.so.12.0.0"
    "lib/$multiarch/libkalendo.so" "lib/$multiarch/libkalendo_engine.a"
    include/kalendo/control.h include/kalendo/kalendo_export.h include/kalendo/engine.h
    "lib/$multiarch/cmake/Kalendo/KalendoConfig.cmake"
    "lib/$multiarch/cmake/Kalendo/KalendoConfigVersion.cmake"
    "lib/$multiarch/cmake/Kalendo/KalendoTargets.cmake"
    "lib/$multiarch/pkgconfig/kalendo.pc"
    "lib/$multiarch/qt6/plugins/designer/libkalendo_designer.so"
    share/tikkoclock/alarm.wav
    share/applications/com.example.tikko.TikkoClock.desktop
    share/icons/hicolor/scalable/apps/tikkoclock.svg
    share/metainfo/com.example.tikko.TikkoClock.metainfo.xml
    share/man/man1/TikkoClock.1.gz share/man/man1/kalendo.1.gz
    share/bash-completion/completions/kalendo share/bash-completion/completions/TikkoClock
    share/dbus-1/services/com.example.tikko.TikkoClock.service
    share/doc/tikkoclock/copyright share/doc/libkalendo12/changelog.Debian.gz
  )
  for f in "${expected[@]}"; do
    [ -e "$prefix/$f" ] || fail "missing $f"
  done
  [ "$(readlink "$libdir/libkalendo.so.12")" = libkalendo.so.12.0.0 ] || fail "soname link"
  # The bus starts the program by its installed path, not the build's or the stage's.
  grep -qx "Exec=/usr/bin/TikkoClock" "$prefix/share/dbus-1/services/com.example.tikko.TikkoClock.service" ||
    fail "D-Bus service: $(cat "$prefix/share/dbus-1/services/com.example.tikko.TikkoClock.service")"
  # The sound lives with the data now, not beside the program; no test program or demo leaks in.
  [ ! -e "$prefix/bin/alarm.wav" ] || fail "alarm.wav still in bin"
  unexpected=$(find "$prefix/bin" -type f ! -name TikkoClock ! -name kalendo)
  [ -z "$unexpected" ] || fail "unexpected programs: $unexpected"
  # The Designer plugin sits where this machine's Designer looks.
  [ "$(qtpaths6 --query QT_INSTALL_PLUGINS)" = "/usr/lib/$multiarch/qt6/plugins" ] ||
    fail "Qt's plugin folder is not where the plugin went"
  for page in TikkoClock kalendo; do
    zcat "$prefix/share/man/man1/$page.1.gz" | LC_ALL=C.UTF-8 MANROFFSEQ='' \
      groff -man -ww -z -Tutf8 2>"$work/$page.man.log"
    [ ! -s "$work/$page.man.log" ] || fail "$page.1: $(cat "$work/$page.man.log")"
  done
  ;;

entries)
  desktop-file-validate "$prefix/share/applications/com.example.tikko.TikkoClock.desktop"
  appstreamcli validate --no-net --explain \
    "$prefix/share/metainfo/com.example.tikko.TikkoClock.metainfo.xml"
  ;;

consumer-cmake)
  rm -rf "$work/consumer-cmake"
  cmake -S "$source/packaging/consumer" -B "$work/consumer-cmake" -G Ninja \
    -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
  cmake --build "$work/consumer-cmake" >/dev/null
  LD_LIBRARY_PATH="$libdir" "$work/consumer-cmake/kalendo-consumer"
  ;;

consumer-pkgconfig)
  export PKG_CONFIG_PATH="$libdir/pkgconfig"
  [ "$(pkg-config --modversion kalendo)" = 12.0.0 ] || fail "pkg-config version"
  # shellcheck disable=SC2046 # the flags are words
  g++ -std=c++20 -fPIC "$source/packaging/consumer/main.cpp" -o "$work/kalendo-consumer-pc" \
    $(pkg-config --cflags --libs kalendo)
  LD_LIBRARY_PATH="$libdir" "$work/kalendo-consumer-pc"
  ;;

program)
  home="$work/program-home"
  rm -rf "$home" && mkdir -p "$home"
  log="$work/program.log"
  HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="tikko.program.debug=true" \
    "$prefix/bin/TikkoClock" >"$log" 2>&1 &
  pid=$!
  store="$home/.local/share/Tikko/TikkoClock/alarm.ini"
  for _ in $(seq 50); do
    [ -e "$store.lock" ] && break
    sleep 0.2
  done
  sleep 1
  kill -TERM "$pid"
  wait "$pid" || fail "the program ended badly: $(cat "$log")"
  grep -qF "default sound: $prefix/share/tikkoclock/alarm.wav" "$log" ||
    fail "sound not found in share/tikkoclock: $(cat "$log")"
  [ -f "$store" ] || fail "no store in the user's data folder: $(cat "$log")"
  [ ! -e "$prefix/bin/alarm.ini" ] || fail "the store was written into bin"
  ;;

packages)
  out="$work/packages"
  rm -rf "$out"
  (cd "$build" && cpack -G DEB -B "$out" >"$work/cpack.log") || fail "cpack: $(cat "$work/cpack.log")"
  version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
  declare -A contents=(
    [tikkoclock]="./usr/bin/TikkoClock ./usr/share/tikkoclock/alarm.wav ./usr/share/applications/com.example.tikko.TikkoClock.desktop ./usr/share/man/man1/TikkoClock.1.gz ./usr/share/bash-completion/completions/TikkoClock ./usr/share/dbus-1/services/com.example.tikko.TikkoClock.service"
    [libkalendo12]="./usr/lib/$multiarch/libkalendo.so.12.0.0 ./usr/lib/$multiarch/libkalendo.so.12"
    [libkalendo-dev]="./usr/include/kalendo/control.h ./usr/lib/$multiarch/libkalendo.so ./usr/lib/$multiarch/cmake/Kalendo/KalendoConfig.cmake ./usr/lib/$multiarch/pkgconfig/kalendo.pc ./usr/lib/$multiarch/qt6/plugins/designer/libkalendo_designer.so"
    [kalendo]="./usr/bin/kalendo ./usr/share/man/man1/kalendo.1.gz ./usr/share/bash-completion/completions/kalendo"
  )
  for package in "${!contents[@]}"; do
    deb="$out/${package}_${version}-1_$(dpkg --print-architecture).deb"
    [ -f "$deb" ] || fail "no $deb among: $(ls "$out")"
    listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
    for f in ${contents[$package]} "./usr/share/doc/$package/copyright"; do
      grep -qxF "$f" <<<"$listing" || fail "$package lacks $f"
    done
    info=$(dpkg-deb -I "$deb")
    grep -q "^ Package: $package$" <<<"$info" || fail "$package: control"
    grep -q "^ Maintainer: " <<<"$info" || fail "$package: no maintainer"
    # The description as apt show gives it: the synopsis, then each line of the long text
    # as written in the build files, with nothing (such as a list's ";") added.
    description=$(dpkg-deb -f "$deb" Description)
    (($(wc -l <<<"$description") >= 3)) || fail "$package: no long description: $description"
    while IFS= read -r line; do
      grep -qF "\"${line# }" "$source/packaging/CMakeLists.txt" ||
        fail "$package: description line '$line' is not the text of packaging/CMakeLists.txt"
    done <<<"$description"
  done
  # Dependencies: the libraries from dpkg-shlibdeps, the sound plug-ins by hand.
  depends=$(dpkg-deb -f "$out/tikkoclock_${version}-1_"*.deb Depends)
  for d in libqt6widgets6 libqt6multimedia6 libkalendo12 gstreamer1.0-plugins-good; do
    grep -q "$d" <<<"$depends" || fail "tikkoclock does not depend on $d: $depends"
  done
  dpkg-deb -f "$out/libkalendo-dev_${version}-1_"*.deb Depends | grep -q libkalendo12 ||
    fail "libkalendo-dev does not depend on libkalendo12"
  # lintian's errors fail the test; its warnings are listed.
  status=0
  lintian --no-tag-display-limit "$out"/*.deb >"$work/lintian.log" 2>&1 || status=$?
  cat "$work/lintian.log"
  # 1 means tags of error level; anything above, that lintian could not run.
  ((status == 0)) || fail "lintian reports errors (status $status)"
  ;;

*)
  fail "unknown step $step"
  ;;
esac
echo "ok: $step"
