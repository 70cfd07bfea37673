#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and packaging Varnel need. Quiet and quick when
# everything is already there.
set -euo pipefail

PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev xvfb xauth clang libclang-rt-14-dev clang-format
          dpkg-dev file binutils lintian desktop-file-utils appstream man-db groff-base
          mosquitto mosquitto-clients libmosquitto-dev nlohmann-json3-dev)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
