#!/usr/bin/env bash
# Prints the include graph of src/ by layer and checks it against the layer rules
# (cmake/Layers.cmake): the same check the configure step runs. Exits 1 on a fault.
set -euo pipefail
cd "$(dirname "$0")/.."
exec cmake -DVARNEL_SOURCE_DIR="$PWD" -DVARNEL_PRINT_GRAPH=ON -P cmake/IncludeRules.cmake
