#!/usr/bin/env bash
# End-to-end figures of the headless program: a one-million-block replay in the line forms of
# scanner types 1 and 2, with and without --dump (to /dev/null): blocks a second and peak
# resident memory. Then the CPU use of an idle live session (a pseudo-terminal that sends
# nothing) over IDLE_SECONDS (default 60).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNEL_TESTS=OFF >/dev/null
ninja -C build-bench varnel varnel-sim >/dev/null

BLOCKS=${BLOCKS:-1000000}
IDLE_SECONDS=${IDLE_SECONDS:-60}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The demo capture's blocks, repeated up to BLOCKS, printed the way each scanner type prints them.
grep -E '^[0-9A-Fa-f ]{24,}$' data/demo/demo-capture.txt | tr -d ' ' > "$work/blocks"
awk -v n="$BLOCKS" '{ b[NR] = $0 } END { for (i = 0; i < n; i++) printf "P25,0,%s\r\n", b[i % NR + 1] }' \
    "$work/blocks" > "$work/type1.txt"
awk -v n="$BLOCKS" '{ b[NR] = $0 } END { for (i = 0; i < n; i++) printf "P25,%s\r\n", b[i % NR + 1] }' \
    "$work/blocks" > "$work/type2.txt"

run() {  # type dumpflag label
    local data="$work/data-$1-$2"
    mkdir -p "$data"
    /usr/bin/time -f "%e %M" -o "$work/time" build-bench/varnel --headless --data-dir "$data" \
        --replay "$work/type$1.txt" --scanner-type "$1" $2 > /dev/null
    read -r seconds kib < "$work/time"
    awk -v s="$seconds" -v k="$kib" -v n="$BLOCKS" -v l="$3" \
        'BEGIN { printf "%-28s %8.2f s %12.0f blocks/s %8.1f MiB peak\n", l, s, n / s, k / 1024 }'
}
echo "replay of $BLOCKS blocks:"
run 1 "" "type 1"
run 1 --dump "type 1 --dump"
run 2 "" "type 2"
run 2 --dump "type 2 --dump"

echo "idle live session for $IDLE_SECONDS s:"
python3 - "$IDLE_SECONDS" "$work" <<'PY'
import os, pty, subprocess, sys, time
seconds, work = int(sys.argv[1]), sys.argv[2]
master, slave = pty.openpty()
name = os.ttyname(slave)
p = subprocess.Popen(["build-bench/varnel", "--headless", "--data-dir", work, "--port", name,
                      "--scanner-type", "1"], stdout=subprocess.DEVNULL)
time.sleep(1.0)
def cpu(pid):
    f = open(f"/proc/{pid}/stat").read().split(")")[1].split()
    return (int(f[11]) + int(f[12])) / os.sysconf("SC_CLK_TCK")
c0, t0 = cpu(p.pid), time.time()
time.sleep(seconds)
c1, t1 = cpu(p.pid), time.time()
p.terminate(); p.wait(timeout=10)
print(f"  CPU {100 * (c1 - c0) / (t1 - t0):.2f}% of one core ({c1 - c0:.2f} s in {t1 - t0:.0f} s)")
PY
