#!/usr/bin/env bash
# Builds the program and starts it from its program folder build/release/program,
# with the print-manager simulator omira-tm beside it on the same display.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j "$(nproc)" --target omira-predaj omira-tm

program=$PWD/build/release/program
if [[ -z "${DISPLAY:-}" ]]; then
    echo "No DISPLAY set: the program runs on a private virtual display (Xvfb)."
fi
# The program leaves "terminate" when it ends (ENDTM=1), which ends the simulator; the
# kill covers a program that ended without it.
bash scripts/with-display.sh bash -c '
    program=$0
    "$program/omira-tm" --program-folder "$program" & simulator=$!
    sleep 1 # its window must stand before the program looks for it
    (cd "$program" && ./omira-predaj "$@"); status=$?
    sleep 1; kill "$simulator" 2>/dev/null; wait "$simulator" 2>/dev/null
    exit $status' "$program" "$@"
