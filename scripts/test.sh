#!/usr/bin/env bash
# Builds everything and runs every test: a normal build, the Windows cross build
# of the platform layer, and a build under AddressSanitizer and
# UndefinedBehaviorSanitizer. Ends with the time each stage took.
set -euo pipefail
cd "$(dirname "$0")/.."

# Compiler caching: objects are shared between runs on one machine, also between
# clones in different folders (paths are hashed relative to the clone).
export CCACHE_BASEDIR=$PWD
export CCACHE_NOHASHDIR=1

stage_names=()
stage_seconds=()
print_stage_times() {
    ((${#stage_names[@]})) || return 0
    echo "== time per stage =="
    for i in "${!stage_names[@]}"; do
        printf '%6d s  %s\n' "${stage_seconds[$i]}" "${stage_names[$i]}"
    done
    command -v ccache >/dev/null && ccache --show-stats 2>/dev/null | grep -iE 'hits|misses' | head -4 || true
}
trap print_stage_times EXIT

# Runs "$@" as the stage named $1 and keeps its time.
stage() {
    local name=$1
    shift
    local start=$SECONDS
    echo "== $name =="
    "$@"
    stage_names+=("$name")
    stage_seconds+=($((SECONDS - start)))
}

jobs=$(nproc)

build_release() {
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build/release -j "$jobs"
}
build_sanitize() {
    cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOMIRA_SANITIZE=ON -DOMIRA_BUILD_BENCH=OFF
    cmake --build build/sanitize -j "$jobs"
}
test_sanitize() {
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
        LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        bash scripts/with-postgres.sh bash scripts/with-display.sh ctest --test-dir build/sanitize --output-on-failure -j "$jobs"
}
test_release() {
    bash scripts/with-postgres.sh bash scripts/with-display.sh ctest --test-dir build/release --output-on-failure -j "$jobs"
}

stage "packages" bash scripts/install-deps.sh
stage "build" build_release
stage "Windows cross build" env OMIRA_SKIP_WINE=1 bash scripts/cross-build-windows.sh build/windows
stage "build (sanitizers)" build_sanitize
stage "tests (sanitizers)" test_sanitize
stage "tests" test_release
stage "fuzz targets of the file readers (short run)" bash scripts/fuzz.sh "${OMIRA_FUZZ_SECONDS:-15}"
