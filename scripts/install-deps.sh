#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo game need.
# Idempotent and non-interactive; run as root (or through sudo when available).
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config git
    libgtest-dev libgmock-dev libbenchmark-dev
    libsdl2-dev
    libogg-dev libvorbis-dev
    libfreetype-dev libfontconfig-dev fonts-noto-cjk
    libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
    libpng-dev
    unicode-data
    xvfb xauth
    clang-format
    strace
    clang
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
