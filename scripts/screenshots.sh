#!/usr/bin/env bash
# Screenshots of every tab of the desktop program decoding the built-in demo, under a virtual X
# server. Two runs: the side-panel layout with the extended activity tab, and the status-line
# layout with the compact activity tab. Each run starts `varnel --demo` in a fresh program
# folder whose settings show every tab; after a few seconds the program saves a grab of each tab
# (VARNEL_SCREENSHOT_DIR) and exits.
#
#   scripts/screenshots.sh [BUILD_DIR] [OUT_DIR] [DELAY_SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-screenshots}
delay=${3:-6}
binary="$build/varnel"
if [ ! -x "$binary" ]; then
    echo "no $binary: build it first (ninja -C $build varnel)" >&2
    exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Settings of one run: every screen visible, the layout switches as given.
write_settings() {
    local folder=$1 hide=$2 extended=$3
    mkdir -p "$folder"
    {
        printf '[Activity]\r\nHideSystemInfo=%s\r\nShowGrantLog=%s\r\nShowPatchList=%s\r\n' "$hide" "$extended" "$extended"
        for section in Affiliations TowerInfo Patches OtherInfo Grants Unknowns PktDump PSRDUMP; do
            printf '[%s]\r\nVisible=Yes\r\n' "$section"
        done
    } >"$folder/varnel.INI"
}

run() {
    local name=$1 hide=$2 extended=$3
    write_settings "$work/$name" "$hide" "$extended"
    rm -rf "${out:?}/$name"
    mkdir -p "$out/$name"
    VARNEL_SCREENSHOT_DIR="$out/$name" VARNEL_SCREENSHOT_DELAY="$delay" \
        timeout $((delay + 60)) xvfb-run -a -s "-screen 0 1280x1024x24" \
        "$binary" --demo --data-dir "$work/$name" >/dev/null 2>&1
    echo "$out/$name: $(ls "$out/$name" | wc -l) screenshots"
}

run panels No Yes
run statusline Yes No
