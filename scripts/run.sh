#!/usr/bin/env bash
# Builds the program and starts it from its program folder build/release/program.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j "$(nproc)" --target omira-predaj

program=build/release/program
if [[ -z "${DISPLAY:-}" ]]; then
    echo "No DISPLAY set: the program runs on a private virtual display (Xvfb)."
fi
bash scripts/with-display.sh "$program/omira-predaj" "$@"
