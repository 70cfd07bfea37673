#!/usr/bin/env bash
# Soak run (not a test of the test command): a headless session fed at full speed with about
# seven days of air traffic (25 million blocks: the demo capture, repeated, streamed through a
# FIFO), saving the per-system files every SAVE_EVERY blocks. Resident memory is sampled every
# half second; every save is followed by a check that the files are whole and load
# (varnel-soakcheck). Prints blocks, saves, and the resident memory at the first save, at one
# minute (when the run lasts that long), at every tenth of the saves and at the end; the run fails
# when the memory after the first minute (or after the first tenth of the saves, in a shorter run)
# grows by more than RSS_SLACK_KB.
#   scripts/soak.sh [BLOCKS] [SAVE_EVERY]
set -euo pipefail
cd "$(dirname "$0")/.."
BLOCKS="${1:-25000000}"
SAVE_EVERY="${2:-500000}"
RSS_SLACK_KB="${RSS_SLACK_KB:-4096}"
BUILD=build-fuzz-soak
CAPTURE=data/demo/demo-capture.txt

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNEL_TESTS=OFF -DVARNEL_BENCH=OFF >/dev/null
ninja -C "$BUILD" varnel varnel-soakcheck >/dev/null

WORK="$(mktemp -d /tmp/varnel-soak.XXXXXX)"
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/data"
# The capture's block lines (24 hex digits) as a PSR scanner prints them.
grep -E '^[0-9A-Fa-f]{24}$' "$CAPTURE" | sed 's/^/P25,0,/; s/$/\r/' > "$WORK/one-pass.txt"
PER_PASS=$(wc -l < "$WORK/one-pass.txt")
PASSES=$(( (BLOCKS + PER_PASS - 1) / PER_PASS ))
mkfifo "$WORK/feed"
( for ((i = 0; i < PASSES; i++)); do cat "$WORK/one-pass.txt"; done > "$WORK/feed" ) &
FEEDER=$!

export TZ=UTC
"$BUILD/varnel" --headless --replay "$WORK/feed" --scanner-type 1 --data-dir "$WORK/data" \
    --save-every "$SAVE_EVERY" --save 2> "$WORK/varnel.err" &
VARNEL=$!
START=$SECONDS

rss() { awk '/^VmRSS/ {print $2}' "/proc/$1/status" 2>/dev/null || true; }
RSS_MINUTE=""; RSS_LAST=0; CHECKED=0; FAULTS=0
TOTAL_SAVES=$((BLOCKS / SAVE_EVERY))
TENTH=$(( TOTAL_SAVES / 10 > 0 ? TOTAL_SAVES / 10 : 1 ))
declare -A RSS_AT_SAVE
SETTLED=""; RSS_SETTLED=0; RSS_MAX_SETTLED=0
while kill -0 "$VARNEL" 2>/dev/null; do
    r=$(rss "$VARNEL"); [ -n "$r" ] && RSS_LAST=$r
    [ $((SECONDS - START)) -ge 60 ] && [ -z "$RSS_MINUTE" ] && RSS_MINUTE=$RSS_LAST
    # A check after every save reported so far.
    saves=$(grep -c '^varnel: save' "$WORK/varnel.err" || true)
    if [ "$saves" -gt "$CHECKED" ]; then
        RSS_AT_SAVE[$saves]=$RSS_LAST
        "$BUILD/tools/varnel-soakcheck" "$WORK/data" > "$WORK/check.txt" || { FAULTS=$((FAULTS + 1)); cat "$WORK/check.txt"; }
        CHECKED=$saves
    fi
    # Memory is settled after one minute, or after a tenth of the saves in a shorter run.
    if [ -z "$SETTLED" ] && { [ -n "$RSS_MINUTE" ] || [ "$saves" -ge "$TENTH" ]; }; then
        SETTLED=$RSS_LAST; RSS_SETTLED=$RSS_LAST
    fi
    [ -n "$SETTLED" ] && [ "$RSS_LAST" -gt "$RSS_MAX_SETTLED" ] && RSS_MAX_SETTLED=$RSS_LAST
    sleep 0.5
done
wait "$VARNEL" && STATUS=0 || STATUS=$?
wait "$FEEDER" || true
"$BUILD/tools/varnel-soakcheck" "$WORK/data" > "$WORK/check.txt" || FAULTS=$((FAULTS + 1))

SAVES=$(grep -c '^varnel: save .*: ok' "$WORK/varnel.err" || true)
FAILED=$(grep -c '^varnel: save .*: failed' "$WORK/varnel.err" || true)
LAST=$(grep '^varnel: save' "$WORK/varnel.err" | tail -1 || true)
echo "blocks fed:          $((PASSES * PER_PASS)) ($PASSES passes of $PER_PASS)"
echo "run time:            $((SECONDS - START)) s, exit status $STATUS"
echo "periodic saves:      $SAVES ok, $FAILED failed (last: ${LAST#varnel: }), plus the final save"
echo "folder checks:       $CHECKED after saves and one at the end, $FAULTS faults"
echo "resident memory:     ${RSS_MINUTE:-n/a} kB at one minute, $RSS_SETTLED kB when settled, $RSS_LAST kB at the end, max after settling $RSS_MAX_SETTLED kB"
for k in $(printf '%s\n' "${!RSS_AT_SAVE[@]}" | sort -n); do
    if [ "$k" -eq 1 ] || [ $((k % TENTH)) -eq 0 ]; then printf '  at save %-4s %s kB\n' "$k" "${RSS_AT_SAVE[$k]}"; fi
done
echo "final check:         $(cat "$WORK/check.txt")"
grep -v '^varnel: save' "$WORK/varnel.err" || true
GROWTH=$((RSS_MAX_SETTLED - RSS_SETTLED))
echo "growth after settling: $GROWTH kB (allowed $RSS_SLACK_KB kB)"
[ "$STATUS" -eq 0 ] && [ "$FAULTS" -eq 0 ] && [ "$FAILED" -eq 0 ] && [ "$GROWTH" -le "$RSS_SLACK_KB" ]
