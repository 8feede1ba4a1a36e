#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Registering kalendo.ocx with regsvr32 makes Kalendo12.Kalendo creatable; unregistering it
# leaves the classes' part of the registry as it was before.
#   registry.sh WINE_PREFIX kalendo.ocx OUTPUT_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1 ocx=$2 out=$3
run() { bash "$here/../tools/wine-run.sh" "$prefix" 60 "$@" </dev/null; }
rm -rf "$out" && mkdir -p "$out"
cd "$out"
# Registry exports are UTF-16; as text they compare line by line.
export_classes() {
  run regedit /E "$1.reg" 'HKEY_LOCAL_MACHINE\Software\Classes' >/dev/null 2>&1
  iconv -f UTF-16 -t UTF-8 "$1.reg" | tr -d '\r' >"$1.txt"
}
run regsvr32 /u /s "$ocx" >/dev/null 2>&1 || true # a previous run's registration
export_classes before
run regsvr32 /s "$ocx"
export_classes registered
for key in 'Kalendo12.Kalendo\CLSID' 'CLSID\{26431508-7537-4ACB-BCA1-BA572C5C26CA}\InprocServer32' \
           'CLSID\{26431508-7537-4ACB-BCA1-BA572C5C26CA}\Control' \
           'TypeLib\{0ABE666A-0893-4F91-A96E-1F34648201C3}'; do
  run reg query "HKCR\\$key" >/dev/null 2>&1 || { echo "FAILED: no HKCR\\$key after regsvr32"; exit 1; }
done
grep -q 'ThreadingModel"="Apartment"' registered.txt || { echo "FAILED: no apartment threading"; exit 1; }
run regsvr32 /u /s "$ocx"
export_classes after
if ! diff -u before.txt after.txt; then
  echo "FAILED: unregistering left the registry changed"
  exit 1
fi
echo "ok: registered, then the registry as before"
