#!/usr/bin/env bash
# Builds the game and its demo data, then starts it in the demo folder.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target vesk
if cmake --build build --target help | grep -q '^demo:'; then
    cmake --build build -j "$(nproc)" --target demo
    cd build/demo
    exec ./vesk "$@"
fi
exec ./build/vesk "$@"
