#!/usr/bin/env bash
# Builds everything with every core and runs the whole test suite headless.
#   scripts/test.sh              normal build (build/)
#   scripts/test.sh --sanitize   address and undefined-behaviour sanitizers (build-asan/)
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
extra=()
case "${1:-}" in
    --sanitize) build_dir=build-asan; extra+=(-DVESK_SANITIZE=ON -DVESK_BUILD_BENCH=OFF) ;;
    "") ;;
    *) echo "usage: $0 [--sanitize]" >&2; exit 2 ;;
esac

./scripts/install-deps.sh
jobs="$(nproc)"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${extra[@]}"
cmake --build "$build_dir" -j "$jobs"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
cd "$build_dir"
ctest --output-on-failure -j "$jobs" --timeout 300
