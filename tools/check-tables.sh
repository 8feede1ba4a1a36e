#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the engine's calendar tables against the sky, after a build:
#   1. the committed solar-term table equals what tools/astro/solar-terms.mjs computes now,
#   2. every lunar month the engine prints starts on a new moon and is numbered by the
#      principal terms, and the checker still rejects a month boundary moved by one day.
# usage: tools/check-tables.sh BUILD_DIR
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

if [ ! -d tools/astro/node_modules/astronomia ]; then
  echo "tools/astro/node_modules is missing: run scripts/install-deps.sh" >&2
  exit 1
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

echo "-- solar-term table"
node tools/astro/solar-terms.mjs >"$tmp/solar_term_days.inc"
if ! diff -u calendar/engine/src/solar_term_days.inc "$tmp/solar_term_days.inc"; then
  echo "calendar/engine/src/solar_term_days.inc differs from the computed table" \
       "(regenerate with: node tools/astro/solar-terms.mjs --write)" >&2
  exit 1
fi
echo "solar_term_days.inc matches the computed table"

echo "-- lunar month starts"
"$build/calendar/engine/lunar-month-starts" >"$tmp/months.tsv"
node tools/astro/check-new-moons.mjs <"$tmp/months.tsv"

# A checker that passes everything would hide any fault above. Move one boundary a day
# earlier where that keeps the input well formed (a 30-day month followed by a 29-day one,
# in lunar 2000, not on the 1st of a Gregorian month) and expect a failure.
awk -F'\t' -v OFS='\t' '
  !done && prev_len == 30 && $1 == 2000 && $5 == 29 && $4 !~ /-1$/ {
    split($4, d, "-"); $4 = d[1] "-" d[2] "-" (d[3] - 1); $5 = 30
    sub(/\t30$/, "\t29", prev); done = 1
  }
  NR > 1 { print prev }
  { prev = $0; prev_len = $5 }
  END { print prev }' "$tmp/months.tsv" >"$tmp/shifted.tsv"
if cmp -s "$tmp/months.tsv" "$tmp/shifted.tsv"; then
  echo "could not build the shifted input for the checker's self-test" >&2
  exit 1
fi
if node tools/astro/check-new-moons.mjs <"$tmp/shifted.tsv" >"$tmp/shifted.out" ||
   ! grep -q 'do not match a new moon' "$tmp/shifted.out"; then
  echo "check-new-moons.mjs did not reject a month that starts a day before its new moon:" >&2
  cat "$tmp/shifted.out" >&2
  exit 1
fi
echo "check-new-moons.mjs rejects a month start moved by one day"
