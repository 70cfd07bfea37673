#!/usr/bin/env bash
# Sets up, builds and runs Varnel. Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build varnel >/dev/null
exec build/varnel "$@"
