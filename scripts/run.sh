#!/usr/bin/env bash
# Sets up, builds and runs Varnel. Without arguments it runs the built-in demo: the scanner
# simulator plays a recorded control channel; with a display the desktop program shows it,
# without one every decoded block is printed. Arguments, when given, go to the program instead
# (see build/varnel --help).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build varnel >/dev/null
if [ $# -eq 0 ]; then
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        set -- --demo
    else
        set -- --headless --demo --dump
    fi
fi
exec build/varnel "$@"
