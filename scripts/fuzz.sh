#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang++, address and undefined-behaviour sanitizers) in
# build-fuzz and runs each of them in turn for the given number of seconds (default 60).
#   scripts/fuzz.sh [SECONDS] [HARNESS...]
# Each harness starts from its seed corpus (fuzz/corpus/<harness>) and keeps what it finds in
# build-fuzz/corpus/<harness>; a fault leaves its input in build-fuzz/artifacts/ and fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH="${1:-60}"
shift || true
BUILD=build-fuzz
HARNESSES=(fuzz_scanner_lines fuzz_decoder fuzz_system_files fuzz_ini_settings fuzz_scanner_profile fuzz_csv_names)
[ $# -gt 0 ] && HARNESSES=("$@")

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVARNEL_CORE_ONLY=ON -DVARNEL_FUZZ=ON -DVARNEL_TESTS=OFF -DVARNEL_BENCH=OFF >/dev/null
ninja -C "$BUILD" "${HARNESSES[@]}"

export TZ=UTC
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
for h in "${HARNESSES[@]}"; do
    corpus="$BUILD/corpus/$h"
    mkdir -p "$corpus" "$BUILD/artifacts"
    echo "== $h for ${SECONDS_EACH}s"
    if "$BUILD/fuzz/$h" -max_total_time="$SECONDS_EACH" -print_final_stats=1 -max_len=8192 \
            -timeout=10 -rss_limit_mb=4096 -artifact_prefix="$BUILD/artifacts/$h-" \
            "$corpus" "fuzz/corpus/$h" >"$BUILD/$h.log" 2>&1; then
        grep -E "^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)" "$BUILD/$h.log" || true
    else
        failed=1
        echo "$h FAILED; log: $BUILD/$h.log"
        grep -A30 -E "ERROR|runtime error|deadly signal" "$BUILD/$h.log" | head -40
    fi
done
exit $failed
