#!/usr/bin/env bash
# Installs every Debian package the build, the tests (a virtual X server and XTest input for the
# play-through, /usr/bin/time for the measuring scripts' own test, gdb for a hung game's stacks)
# and the demo game need. Every program a test starts comes from this list or from a Debian base
# system (tests/scripts/test_programs_test.sh checks it).
#   scripts/install-deps.sh         what building and testing need
#   scripts/install-deps.sh --dev   also the maintainers' tools (formatter, tables, tracing)
# Idempotent and non-interactive; run as root, or as a user who may use sudo.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config git
    libgtest-dev libgmock-dev libbenchmark-dev
    libsdl2-dev
    libogg-dev libvorbis-dev
    libfreetype-dev libfontconfig-dev fonts-noto-cjk
    libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
    libpng-dev
    jq time gdb
    xvfb xauth xdotool x11-apps
)
# Only maintainers need these, and no test starts them: formatting, regenerating the width table,
# tracing, clang for the fuzz targets, and the start-up measure beside a peer engine
# (scripts/measure-startup-peers.sh).
DEV_PACKAGES=(
    clang
    clang-format
    unicode-data
    strace
    onscripter
)

case "${1:-}" in
    --dev) PACKAGES+=("${DEV_PACKAGES[@]}") ;;
    "") ;;
    *) echo "usage: $0 [--dev]" >&2; exit 2 ;;
esac

# One question to dpkg for all the names: each start of dpkg-query reads its whole database, which
# takes a busy machine a good part of a second. A name dpkg does not know prints no line (and makes
# the status 1), so it counts as missing.
declare -A installed=()
while read -r name status; do
    if [ "$status" = "install ok installed" ]; then
        installed[$name]=1
    fi
done < <(dpkg-query -W -f='${Package} ${Status}\n' "${PACKAGES[@]}" 2>/dev/null || true)
missing=()
for p in "${PACKAGES[@]}"; do
    [ -n "${installed[$p]:-}" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

# Named before anything else is tried, so a refused sudo leaves the user knowing what is needed.
echo "Missing packages: ${missing[*]}" >&2
SUDO=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "Run $0 as root to install them (sudo is not available to this user)." >&2
        exit 1
    fi
    echo "Installing them through sudo (apt-get update, then apt-get install)." >&2
    SUDO=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
if ! "${SUDO[@]}" apt-get update -qq || ! "${SUDO[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
    echo "The packages could not be installed; as root: apt-get install ${missing[*]}" >&2
    exit 1
fi
