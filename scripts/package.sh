#!/usr/bin/env bash
# Builds the Debian package of Varnel: build-pkg/varnel_<version>_amd64.deb.
#   scripts/package.sh [BUILD_DIR]
# Without BUILD_DIR it configures and builds build-pkg (release build, no tests or benchmarks).
# With BUILD_DIR (for example the test command's build folder) it packages what that folder has
# built, building only the two programs; the binaries are stripped in the package either way.
# The package goes to build-pkg/ in both cases; its path is the last line printed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
out="$PWD/build-pkg"
build="${1:-}"
if [ -z "$build" ]; then
    build="$out"
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNEL_TESTS=OFF -DVARNEL_BENCH=OFF >/dev/null
else
    # An existing build folder: configure again only to pick up the install and package rules.
    cmake -S . -B "$build" >/dev/null
fi
ninja -C "$build" varnel varnel-sim >/dev/null
mkdir -p "$out"
build="$(cd "$build" && pwd)"
if ! (cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1); then
    cat "$out/cpack.log" >&2
    exit 1
fi
version=$(sed -n 's/^#define VARNEL_VERSION "\(.*\)"$/\1/p' "$build/generated/Version.h")
package="$out/varnel_${version}_$(dpkg --print-architecture).deb"
[ -f "$package" ] || { echo "package.sh: no $package" >&2; exit 1; }
echo "$package"
