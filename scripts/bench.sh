#!/usr/bin/env bash
# Builds the benchmarks in release mode and prints their figures.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNEL_TESTS=OFF >/dev/null
ninja -C build-bench bench_core >/dev/null
build-bench/bench/bench_core "$@"
