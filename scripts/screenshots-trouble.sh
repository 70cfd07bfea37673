#!/usr/bin/env bash
# Screenshots of the desktop program telling the user about trouble, under a virtual X server:
#   no-data        a session on a scanner port that sends nothing (the warning after 10 s)
#   scanner-lost   the scanner's device vanishes during the session (the reader retries it)
#   update-check   "Check for Updates" waiting for a server that never answers (Cancel offered)
#
#   scripts/screenshots-trouble.sh [BUILD_DIR] [OUT_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-screenshots/trouble}
binary="$build/varnel"
if [ ! -x "$binary" ]; then
    echo "no $binary: build it first (ninja -C $build varnel)" >&2
    exit 2
fi
work=$(mktemp -d)
helpers=()
trap 'for p in "${helpers[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
mkdir -p "$out"

# A pseudo-terminal that stands for a silent scanner: its device path goes to $1, and it is held
# for $2 seconds (then closed, so that the device vanishes).
silent_scanner() {
    python3 - "$1" "$2" <<'PY' &
import os, pty, sys, time
master, slave = pty.openpty()
path = os.ttyname(slave)
os.close(slave)
with open(sys.argv[1] + ".tmp", "w") as f:
    f.write(path)
os.rename(sys.argv[1] + ".tmp", sys.argv[1])
time.sleep(float(sys.argv[2]))
os.close(master)
time.sleep(60)
PY
    helpers+=($!)
    for _ in $(seq 50); do [ -s "$1" ] && return; sleep 0.1; done
    echo "no pseudo-terminal" >&2
    exit 1
}

# A server on 127.0.0.1 that accepts connections and never answers; its port goes to $1.
silent_server() {
    python3 - "$1" <<'PY' &
import socket, sys, time
s = socket.socket()
s.bind(("127.0.0.1", 0))
s.listen(8)
with open(sys.argv[1] + ".tmp", "w") as f:
    f.write(str(s.getsockname()[1]))
import os
os.rename(sys.argv[1] + ".tmp", sys.argv[1])
held = []
while True:
    c, _ = s.accept()
    held.append(c)
PY
    helpers+=($!)
    for _ in $(seq 50); do [ -s "$1" ] && return; sleep 0.1; done
    echo "no server" >&2
    exit 1
}

write_settings() {
    local folder=$1 port=$2
    mkdir -p "$folder"
    printf '[Communications]\r\nPort=%s\r\nScannerType=1\r\n' "$port" >"$folder/varnel.INI"
}

run() {
    local name=$1 delay=$2 scene=$3
    shift 3
    VARNEL_SCREENSHOT_DIR="$work/$name-shots" VARNEL_SCREENSHOT_DELAY="$delay" VARNEL_SCREENSHOT_SCENE="$scene" \
        timeout $((delay + 60)) xvfb-run -a -s "-screen 0 1280x1024x24" "$binary" "$@" >/dev/null 2>&1 || true
    for f in "$work/$name-shots"/*.png; do
        [ -e "$f" ] && cp "$f" "$out/$name.png"
    done
    echo "$out/$name.png"
}

# No data: the scanner port stays silent for the whole run; the grab comes after 13 s.
silent_scanner "$work/pty1" 120
write_settings "$work/no-data" "$(cat "$work/pty1")"
run no-data 13 window -DECODE --data-dir "$work/no-data"

# Scanner lost: the device is there at the start and vanishes after 3 s.
silent_scanner "$work/pty2" 3
ln -s "$(cat "$work/pty2")" "$work/scanner-link"
write_settings "$work/lost" "$work/scanner-link"
run scanner-lost 7 window -DECODE --data-dir "$work/lost"

# The update check waiting for its answer.
silent_server "$work/port"
VARNEL_UPDATE_URL="http://127.0.0.1:$(cat "$work/port")/CurrentVersions.txt" \
    run update-check 2 update-check --data-dir "$work/update"
