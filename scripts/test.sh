#!/usr/bin/env bash
# Sets up, builds and runs every test: the normal build, the Debian package made from it, the core
# tests under address and undefined-behaviour sanitizers, and the threaded core tests under the
# thread sanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

echo "== format and include rules"
scripts/check-format.sh
scripts/include-graph.sh >/dev/null

echo "== build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNEL_WERROR=ON >/dev/null
ninja -C build
ctest --test-dir build --output-on-failure

echo "== Debian package from that build, unpacked and run"
tests/package/test-package.sh build

echo "== core tests with -fsanitize=address,undefined"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNEL_CORE_ONLY=ON -DVARNEL_BENCH=OFF \
    -DVARNEL_SANITIZE=address,undefined -DVARNEL_WERROR=ON >/dev/null
ninja -C build-asan
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --test-dir build-asan -L core --output-on-failure

echo "== fuzz harnesses, 5 s each (clang, -fsanitize=fuzzer,address,undefined)"
scripts/fuzz.sh 5

echo "== threaded core tests with -fsanitize=thread"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNEL_CORE_ONLY=ON -DVARNEL_BENCH=OFF \
    -DVARNEL_SANITIZE=thread -DVARNEL_WERROR=ON >/dev/null
ninja -C build-tsan
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ctest --test-dir build-tsan -L threaded --output-on-failure
