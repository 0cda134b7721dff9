#!/usr/bin/env bash
# Builds everything with every core and runs the whole test suite headless.
#   scripts/test.sh              normal build (build/)
#   scripts/test.sh --sanitize   address and undefined-behaviour sanitizers (build-asan/)
#   scripts/test.sh --tsan       thread sanitizer, the tests labelled "threads" only (build-tsan/)
# The sanitizer builds also check every lock acquisition against the lock order.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
extra=()
targets=()
labels=()
case "${1:-}" in
    --sanitize) build_dir=build-asan; extra+=(-DVESK_SANITIZE=ON -DVESK_BUILD_BENCH=OFF) ;;
    --tsan)
        build_dir=build-tsan
        extra+=(-DVESK_TSAN=ON -DVESK_BUILD_BENCH=OFF)
        # Only the executables that hold thread tests.
        targets+=(--target app_tests foundation_tests graphics_tests platform_tests sound_tests script_tests)
        labels+=(-L threads)
        ;;
    "") ;;
    *) echo "usage: $0 [--sanitize | --tsan]" >&2; exit 2 ;;
esac

./scripts/install-deps.sh
jobs="$(nproc)"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${extra[@]}"
cmake --build "$build_dir" -j "$jobs" "${targets[@]}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1 second_deadlock_stack=1}"
cd "$build_dir"
ctest --output-on-failure -j "$jobs" --timeout 300 "${labels[@]}"
