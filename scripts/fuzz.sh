#!/usr/bin/env bash
# Builds the libFuzzer targets of the file readers with clang and runs each for the
# given number of seconds (default 600). New inputs go to build/fuzz-corpus, the
# seeds in fuzz/corpus stay as they are.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}

if ! command -v clang++ >/dev/null; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends clang
fi

cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DOMIRA_FUZZ=ON -DOMIRA_BUILD_TESTS=OFF -DOMIRA_BUILD_BENCH=OFF
targets=(status_reply info_reply vat_rates data_reply paradox_table binary_price_list
    dbf xlsx_shared_strings csv)
cmake --build build/fuzz -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

for target in "${targets[@]}"; do
    echo "== fuzz_$target for ${seconds} s =="
    mkdir -p "build/fuzz-corpus/$target"
    "build/fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
        "build/fuzz-corpus/$target" "fuzz/corpus/$target" 2>&1 | tail -n 12
done
