#!/usr/bin/env bash
# End-to-end figures of the headless program: a one-million-block replay in the line forms of
# scanner types 1 and 2, with and without --dump (to /dev/null): blocks a second and peak
# resident memory; the same with the event feed to a file (--events: events a second, and the
# cost over the plain replay). Then the CPU use of an idle live session (a pseudo-terminal that
# sends nothing) over IDLE_SECONDS (default 60), and of a live session publishing to a local
# Mosquitto broker while the simulator plays the demo at its real rate, over LIVE_SECONDS (60).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNEL_TESTS=OFF >/dev/null
ninja -C build-bench varnel varnel-sim >/dev/null
LIVE_SECONDS=${LIVE_SECONDS:-60}

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

run() {  # type flags label
    local data="$work/data-$1-${2// /}"
    mkdir -p "$data"
    /usr/bin/time -f "%e %M" -o "$work/time" build-bench/varnel --headless --data-dir "$data" \
        --replay "$work/type$1.txt" --scanner-type "$1" $2 > /dev/null 2>"$work/err"
    read -r seconds kib < "$work/time"
    awk -v s="$seconds" -v k="$kib" -v n="$BLOCKS" -v l="$3" \
        'BEGIN { printf "%-28s %8.2f s %12.0f blocks/s %8.1f MiB peak\n", l, s, n / s, k / 1024 }'
}
echo "replay of $BLOCKS blocks:"
run 1 "" "type 1"
run 1 --dump "type 1 --dump"
run 2 "" "type 2"
run 2 --dump "type 2 --dump"
run 1 "--events $work/events.jsonl" "type 1 --events FILE"
awk -v n="$(wc -l < "$work/events.jsonl")" -v s="$(cut -d' ' -f1 "$work/time")" \
    'BEGIN { printf "  %d events, %.0f events/s\n", n, n / s }'

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

echo "live session with MQTT at the demo's real rate for $LIVE_SECONDS s:"
python3 - "$LIVE_SECONDS" "$work" <<'PY'
import os, socket, subprocess, sys, time
seconds, work = int(sys.argv[1]), sys.argv[2]
s = socket.socket(); s.bind(("127.0.0.1", 0)); port = s.getsockname()[1]; s.close()
open(f"{work}/mq.conf", "w").write(f"listener {port} 127.0.0.1\nallow_anonymous true\npersistence false\n")
broker = subprocess.Popen(["mosquitto", "-c", f"{work}/mq.conf"], stderr=subprocess.DEVNULL)
sim = subprocess.Popen(["build-bench/tools/varnel-sim", "--capture", "data/demo/demo-capture.txt", "--type", "1",
                        "--rate", "40", "--loop", "--link", f"{work}/scanner"], stdout=subprocess.DEVNULL)
time.sleep(1.0)
os.makedirs(f"{work}/live", exist_ok=True)
p = subprocess.Popen(["build-bench/varnel", "--headless", "--data-dir", f"{work}/live", "--port", f"{work}/scanner",
                      "--scanner-type", "1", "--mqtt", f"mqtt://127.0.0.1:{port}/bench"],
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
sub = subprocess.Popen(["mosquitto_sub", "-h", "127.0.0.1", "-p", str(port), "-t", "bench/#", "-q", "1"],
                       stdout=open(f"{work}/sub.txt", "w"))
time.sleep(2.0)
def cpu(pid):
    f = open(f"/proc/{pid}/stat").read().split(")")[1].split()
    return (int(f[11]) + int(f[12])) / os.sysconf("SC_CLK_TCK")
c0, t0 = cpu(p.pid), time.time()
time.sleep(seconds)
c1, t1 = cpu(p.pid), time.time()
for proc in (p, sim, sub, broker):
    proc.terminate(); proc.wait(timeout=10)
n = sum(1 for _ in open(f"{work}/sub.txt"))
print(f"  CPU {100 * (c1 - c0) / (t1 - t0):.2f}% of one core ({c1 - c0:.2f} s in {t1 - t0:.0f} s), "
      f"{n} messages received by a subscriber")
PY
