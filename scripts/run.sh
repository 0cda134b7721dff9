#!/usr/bin/env bash
# Builds the game and its demo data, then starts the demo's program in the demo folder.
# Arguments go to the game. Headless (VESK_HEADLESS=1) it shows no window; Ctrl+C or a TERM ends
# it as Game > Exit does, and VESK_CLOSE_AFTER_FRAMES=N ends it after N loop turns. Not headless
# and without a display, it says so and ends with status 1.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESK_LINE_DEBUG_INFO=ON
# The demo target builds the program too and lays both out in build/demo.
cmake --build build -j "$(nproc)" --target demo
cd build/demo
exec ./vesk "$@"
