#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds everything and runs every test:
#   1. the normal build with its CTest suites,
#   2. the Windows backend of the system actions, cross-built and tested under Wine,
#   3. the engine's suites again under AddressSanitizer and UndefinedBehaviorSanitizer,
#   4. the astronomy checks of the calendar tables,
#   5. bounded libFuzzer runs of the engine's call path and of the alarm store, side by side.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

bash scripts/install-deps.sh

# Every build below goes through the compiler cache; paths under this checkout count as
# relative, so another checkout of the same sources finds what this machine compiled before.
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
fi

echo "== build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== Windows backend under Wine"
bash scripts/test-windows.sh build-mingw

echo "== engine under ASan and UBSan"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTIKKO_SANITIZE=ON \
      -DTIKKO_BENCHMARKS=OFF -DTIKKO_ENGINE_ONLY=ON >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== calendar tables against the sky"
bash tools/check-tables.sh build

echo "== fuzzing the call path and the alarm store"
# The engine-only layout also builds the store (QtCore alone) for its fuzzer.
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIKKO_FUZZ=ON \
      -DTIKKO_TESTS=OFF -DTIKKO_BENCHMARKS=OFF -DTIKKO_ENGINE_ONLY=ON \
      -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j"$jobs" --target kalendo-call-fuzzer tikko-store-fuzzer
# Each fuzzer runs on one core; the store's shorter run goes on beside the engine's.
bash alarm/fuzz/run.sh build-fuzz "${STORE_FUZZ_SECONDS:-30}" >build-fuzz/store-fuzz.log 2>&1 &
store_fuzz=$!
engine_status=0
bash calendar/engine/fuzz/run.sh build-fuzz "${FUZZ_SECONDS:-60}" || engine_status=$?
store_status=0
wait "$store_fuzz" || store_status=$?
echo "-- the alarm store"
cat build-fuzz/store-fuzz.log
((engine_status == 0 && store_status == 0))

echo "all test stages passed"
