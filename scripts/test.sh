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
        # The executables that hold the thread suites, each built from those files alone; the
        # tests on the thread-test base carry the label.
        targets+=(--target thread_tests)
        labels+=(-L threads)
        ;;
    "") ;;
    *) echo "usage: $0 [--sanitize | --tsan]" >&2; exit 2 ;;
esac

# Says at the end how long the run took, passed or not, and how much of it the build.
mode="${1:-normal}"
mode="${mode#--}"
started=$(date +%s)
built=""
report_time() {
    local now
    now=$(date +%s)
    if [ -n "$built" ]; then
        echo "test.sh $mode: $((now - started)) s (build $((built - started)) s, tests $((now - built)) s)" >&2
    else
        echo "test.sh $mode: $((now - started)) s, ended before the tests" >&2
    fi
}
trap report_time EXIT

./scripts/install-deps.sh
jobs="$(nproc)"
# Debug information of lines only: the tests need backtraces, not a debugger's view of variables.
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESK_LINE_DEBUG_INFO=ON "${extra[@]}"
cmake --build "$build_dir" -j "$jobs" "${targets[@]}"
built=$(date +%s)
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1 second_deadlock_stack=1}"
cd "$build_dir"
source ../scripts/leftovers.sh
# Every program the tests start inherits this mark, so the checks below find what is left of this
# run and of no other.
run_mark="VESK_TEST_RUN=$$-$(date +%s%N)"
# The tests' temporary folders go into a folder of this run's own, so what is left in it is this
# run's and of no other run beside it; it goes with the run.
tests_tmp=$(mktemp -d "${TMPDIR:-/tmp}/vesk-run-XXXXXX")
# The X servers the tests start, noted while they listen; started before the mark is exported, so
# the watch does not carry it. It ends with this shell.
x_dir=/tmp/.X11-unix
x_servers="$tests_tmp/x-servers"
leftovers_watch "$x_dir" "$run_mark" "$x_servers" &
watch=$!
export "${run_mark?}"
export TMPDIR="$tests_tmp"
status=0
ctest --output-on-failure -j "$jobs" --timeout 300 "${labels[@]}" || status=$?
kill "$watch" 2>/dev/null || true
wait "$watch" 2>/dev/null || true

# No test may leave a program running: each found is named, ended by its id, and fails the run.
leftovers_end_marked "$run_mark" "$x_dir" "$x_servers"
if [ "$leftovers_running" -gt 0 ]; then
    echo "$leftovers_running program(s) started by the tests were still running" >&2
    status=1
fi
# Nor a file of an X server it started: a server killed before its clean-up leaves its socket (and
# its lock file, if it wrote one), and the next run takes the next display number. Each one left
# is named, removed, and fails the run; other servers' files stay, whatever state they are in.
leftovers_remove_x_files "$x_servers" "$x_dir" /tmp
if [ "$leftovers_x_files" -gt 0 ]; then
    echo "$leftovers_x_files X server file(s) left by the tests" >&2
    status=1
fi
# Nor a temporary folder: each test removes its own, also when it ends a game or a shell that
# writes into it (a test killed at its limit cannot). Each one left is named and fails the run.
folders_left=0
for folder in "$tests_tmp"/vesk-test-*; do
    [ -e "$folder" ] || continue
    echo "Left by the tests: temporary folder $folder: $(cd "$folder" && find . -mindepth 1 | head -n 5 | tr '\n' ' ')" >&2
    folders_left=$((folders_left + 1))
done
rm -rf "$tests_tmp"
if [ "$folders_left" -gt 0 ]; then
    echo "$folders_left temporary folder(s) left by the tests" >&2
    status=1
fi
exit "$status"
