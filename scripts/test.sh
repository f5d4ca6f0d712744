#!/usr/bin/env bash
# Builds everything and runs every test: a normal build, the Windows cross build
# of the platform layer, and a build under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j "$jobs"
OMIRA_SKIP_WINE=1 bash scripts/cross-build-windows.sh build/windows

cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOMIRA_SANITIZE=ON -DOMIRA_BUILD_BENCH=OFF
cmake --build build/sanitize -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== tests (sanitizers) =="
bash scripts/with-display.sh ctest --test-dir build/sanitize --output-on-failure -j "$jobs"
echo "== tests =="
bash scripts/with-display.sh ctest --test-dir build/release --output-on-failure -j "$jobs"
echo "== fuzz targets of the reply readers (short run) =="
bash scripts/fuzz.sh "${OMIRA_FUZZ_SECONDS:-15}"
