#!/usr/bin/env bash
# Wake-ups and CPU of the running programs at the real rate of a control channel: context
# switches of all threads per second (summed over /proc/PID/task/*/status) and CPU in per cent of
# one core, each over SECONDS (default 60):
#   - varnel --headless --port on the demo capture played by varnel-sim at 40 blocks/s;
#   - the same with a silent line (nothing arriving);
#   - the desktop program (offscreen) decoding its built-in demo, default tabs;
#   - the same with every log view visible;
#   - the desktop program with no session running.
# Usage: bench/wakeups.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
SECONDS_EACH=${2:-60}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

python3 - "$BUILD" "$SECONDS_EACH" "$work" <<'PY'
import os, pty, subprocess, sys, time, signal
build, seconds, work = sys.argv[1], int(sys.argv[2]), sys.argv[3]
tck = os.sysconf("SC_CLK_TCK")

def switches(pid):
    """Context switches so far of each thread of the process, by thread id."""
    counts = {}
    for t in os.listdir(f"/proc/{pid}/task"):
        try:
            counts[t] = sum(int(line.split()[1]) for line in open(f"/proc/{pid}/task/{t}/status")
                            if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")))
        except FileNotFoundError:
            pass
    return counts

def switched(before, after):
    # Per thread, so a thread that ends meanwhile does not take its earlier count off the sum (its
    # last switches are lost instead; threads started meanwhile count from 0).
    return sum(n - before.get(t, 0) for t, n in after.items())

def cpu(pid):
    f = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(f[11]) + int(f[12])) / tck

def rss(pid):
    for line in open(f"/proc/{pid}/status"):
        if line.startswith("VmRSS"):
            return int(line.split()[1]) / 1024
    return 0

def measure(label, pid):
    time.sleep(3)  # start-up done
    s0, c0, t0 = switches(pid), cpu(pid), time.monotonic()
    time.sleep(seconds)
    s1, c1, t1 = switches(pid), cpu(pid), time.monotonic()
    dt = t1 - t0
    print(f"{label:44s} {switched(s0, s1) / dt:8.1f} switches/s {100 * (c1 - c0) / dt:7.3f} % CPU "
          f"({round((c1 - c0) * tck)} ticks) {rss(pid):6.1f} MiB", flush=True)

def stop(p):
    p.send_signal(signal.SIGTERM)
    try:
        p.wait(10)
    except subprocess.TimeoutExpired:
        p.kill()

env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
# Live headless run fed by the simulator at 40 blocks/s.
sim = subprocess.Popen([f"{build}/tools/varnel-sim", "--capture", "data/demo/demo-capture.txt", "--type", "1",
                        "--rate", "40", "--loop"], stdout=subprocess.PIPE, text=True)
device = sim.stdout.readline().strip()
os.makedirs(f"{work}/h1")
p = subprocess.Popen([f"{build}/varnel", "--headless", "--data-dir", f"{work}/h1", "--port", device,
                      "--scanner-type", "1"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
measure("headless, live at 40 blocks/s", p.pid)
stop(p); stop(sim)

# A silent line.
master, slave = pty.openpty()
os.makedirs(f"{work}/h2")
p = subprocess.Popen([f"{build}/varnel", "--headless", "--data-dir", f"{work}/h2", "--port", os.ttyname(slave),
                      "--scanner-type", "1"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
measure("headless, nothing arriving", p.pid)
stop(p)

# The desktop program decoding its demo (default tabs), then with no session.
os.makedirs(f"{work}/d1")
p = subprocess.Popen([f"{build}/varnel", "--demo", "-DECODE", "--data-dir", f"{work}/d1"], env=env,
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
measure("desktop, demo at 40 blocks/s, default tabs", p.pid)
stop(p)
# The same with every log view visible, so every updater works on each refresh.
os.makedirs(f"{work}/d3")
with open(f"{work}/d3/varnel.INI", "w") as ini:
    for section in ("OtherInfo", "Grants", "Unknowns", "PktDump", "PSRDUMP", "Affiliations", "Patches"):
        ini.write(f"[{section}]\r\nVisible=Yes\r\n")
p = subprocess.Popen([f"{build}/varnel", "--demo", "-DECODE", "--data-dir", f"{work}/d3"], env=env,
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
measure("desktop, demo at 40 blocks/s, every log view", p.pid)
stop(p)
os.makedirs(f"{work}/d2")
p = subprocess.Popen([f"{build}/varnel", "--data-dir", f"{work}/d2"], env=env,
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
measure("desktop, no session", p.pid)
stop(p)
PY
