#!/usr/bin/env bash
# The Debian package, unpacked into a temporary root as a user's system would hold it: the
# programs run from there and find their data by its place beside them, the desktop entry, the
# AppStream metadata and the manual pages pass their checkers, and lintian finds no error.
#   tests/package/test-package.sh [BUILD_DIR]   (default build; packages what it has built)
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"

work=$(mktemp -d /tmp/varnel-package.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

package=$(scripts/package.sh "$build" | tail -n 1)
version=$(sed -n 's/^#define VARNEL_VERSION "\(.*\)"$/\1/p' "$build/generated/Version.h")
[ "$(basename "$package")" = "varnel_${version}_amd64.deb" ] && pass "package $(basename "$package")" ||
    fail "package named $(basename "$package")"

# Unpacked under a path that has nothing to do with the build: only relative lookups work here.
root="$work/moved root"
dpkg-deb -x "$package" "$root"
for f in usr/bin/varnel usr/bin/varnel-sim usr/share/varnel/demo/demo-capture.txt \
         usr/share/varnel/profiles/Example-Text.scanner usr/share/varnel/profiles/Example-Binary.scanner \
         usr/share/applications/org.varnel.Varnel.desktop usr/share/metainfo/org.varnel.Varnel.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/org.varnel.Varnel.svg usr/share/man/man1/varnel.1.gz \
         usr/share/man/man1/varnel-sim.1.gz usr/share/doc/varnel/copyright usr/share/doc/varnel/changelog.gz; do
    [ -f "$root/$f" ] || fail "missing $f"
done
if strings -a "$root/usr/bin/varnel" | grep -qF "$PWD"; then
    fail "usr/bin/varnel holds the source folder's path"
fi

# Programs from the unpacked tree, with no hint of where the data is.
unset VARNEL_DEMO_CAPTURE VARNEL_HOME
export HOME="$work/home" XDG_DATA_HOME="" TZ=UTC
shown=$("$root/usr/bin/varnel" --version)
[ "$shown" = "Varnel $version" ] && pass "--version: $shown" || fail "--version printed '$shown'"

status=0
timeout --preserve-status -k 10 -s INT 5 "$root/usr/bin/varnel" --headless --demo --dump --data-dir "$work/data" \
    >"$work/dump.txt" 2>"$work/dump.err" || status=$?
blocks=$(grep -cE '^  ([0-9A-F]{2} ){11}[0-9A-F]{2}  ' "$work/dump.txt" || true)
if [ "$status" -eq 0 ] && [ "$blocks" -ge 20 ] && grep -q 'RFSS Status Broadcast' "$work/dump.txt"; then
    pass "--headless --demo --dump: $blocks blocks decoded in 5 s"
else
    fail "--headless --demo --dump: status $status, $blocks blocks"; cat "$work/dump.err"
fi

# Without --data-dir the installed program keeps its data in the user's folder, never in bin/,
# even when bin/ may be written to (as here, or for root).
grep -m 30 -E '^[0-9A-Fa-f]{24}$' "$root/usr/share/varnel/demo/demo-capture.txt" | sed 's/^/P25,0,/' >"$work/short.txt"
status=0
"$root/usr/bin/varnel" --headless --replay "$work/short.txt" --scanner-type 1 >/dev/null 2>"$work/replay.err" || status=$?
if [ "$status" -eq 0 ] && [ -f "$HOME/.local/share/varnel/varnel.INI" ] && [ ! -e "$root/usr/bin/varnel.INI" ]; then
    pass "program folder ~/.local/share/varnel"
else
    fail "program folder: status $status, $(ls -A "$HOME/.local/share/varnel" "$root/usr/bin" 2>&1 | tr '\n' ' ')"
    cat "$work/replay.err"
fi

# The files for the desktop and the manual.
desktop-file-validate "$root/usr/share/applications/org.varnel.Varnel.desktop" && pass "desktop-file-validate" ||
    fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.varnel.Varnel.metainfo.xml" >"$work/as.txt" 2>&1 &&
    appstreamcli validate-tree --no-net "$root" >>"$work/as.txt" 2>&1 && pass "appstreamcli validate" ||
    { fail "appstreamcli validate"; cat "$work/as.txt"; }
for page in varnel varnel-sim; do
    file="$root/usr/share/man/man1/$page.1.gz"
    MANWIDTH=80 man --warnings -l "$file" >"$work/man.txt" 2>"$work/man.err" || true
    zcat "$file" | groff -ww -man -Tutf8 -z 2>>"$work/man.err" || true
    if [ -s "$work/man.err" ] || ! grep -q "^NAME" "$work/man.txt"; then
        fail "man page $page"; cat "$work/man.err"
    else
        pass "man page $page renders without warnings"
    fi
done
for option in --data-dir --demo --headless --port --replay --scanner-type --realtime --dump --save --save-every \
              --version --help -DECODE VARNEL_HOME VARNEL_DEMO_CAPTURE VARNEL_UPDATE_URL VARNEL_WEBSERVICE_URL; do
    zcat "$root/usr/share/man/man1/varnel.1.gz" | grep -qF -- "$(printf '%s' "$option" | sed 's/-/\\-/g')" ||
        fail "varnel.1 does not document $option"
done

# The change log, the AppStream releases and the manual pages name the package's version.
[ "$(zcat "$root/usr/share/doc/varnel/changelog.gz" | head -n 1)" = "varnel ($version) unstable; urgency=medium" ] ||
    fail "changelog does not start with version $version"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/org.varnel.Varnel.metainfo.xml" ||
    fail "metainfo has no release $version"
for page in varnel varnel-sim; do
    zcat "$root/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH .*\"Varnel $version\"" || fail "$page.1 is not of version $version"
done

lintian --fail-on error "$package" >"$work/lintian.txt" 2>&1 && pass "lintian: no errors" ||
    { fail "lintian"; cat "$work/lintian.txt"; }
grep -E '^[EW]: ' "$work/lintian.txt" || true

[ "$failures" -eq 0 ] && echo "package test: all passed" || { echo "package test: $failures failed"; exit 1; }
