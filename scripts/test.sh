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
# Every program the tests start inherits this mark, so the check below finds what is left of this
# run and of no other.
run_mark="VESK_TEST_RUN=$$-$(date +%s%N)"
export "${run_mark?}"
# The X servers' lock files and sockets already there belong to servers that are not this run's.
x_files_before=$(ls -d /tmp/.X*-lock /tmp/.X11-unix/X* 2>/dev/null || true)
# The tests' temporary folders go into a folder of this run's own, so what is left in it is this
# run's and of no other run beside it; it goes with the run.
tests_tmp=$(mktemp -d "${TMPDIR:-/tmp}/vesk-run-XXXXXX")
export TMPDIR="$tests_tmp"
status=0
ctest --output-on-failure -j "$jobs" --timeout 300 "${labels[@]}" || status=$?

# No test may leave a program running: each found is named, ended by its id, and fails the run.
left=0
for environ in /proc/[0-9]*/environ; do
    pid=${environ#/proc/}
    pid=${pid%/environ}
    [ "$pid" = "$$" ] && continue
    # Read straight from the file: a pipe into grep -q could fail its writer with SIGPIPE.
    if grep -qsaF -- "$run_mark" "$environ"; then
        echo "Left running by the tests: pid $pid: $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)" >&2
        kill -KILL "$pid" 2>/dev/null || true
        left=$((left + 1))
    fi
done
if [ "$left" -gt 0 ]; then
    echo "$left program(s) started by the tests were still running" >&2
    status=1
fi

# Nor a file of an X server it started: a server killed before its clean-up leaves its lock file
# and socket, and the next run takes the next display number. Files of a server still running
# are not this run's (its own were ended above); each one left is named, removed, and fails the run.
x_left=0
for file in /tmp/.X*-lock /tmp/.X11-unix/X*; do
    [ -e "$file" ] || continue
    grep -qxF -- "$file" <<<"$x_files_before" && continue
    number=${file##*X}
    number=${number%-lock}
    server=$(tr -dc '0-9' 2>/dev/null <"/tmp/.X$number-lock" || true)
    [ -n "$server" ] && kill -0 "$server" 2>/dev/null && continue
    echo "Left by the tests' X server: $file" >&2
    rm -f "$file"
    x_left=$((x_left + 1))
done
if [ "$x_left" -gt 0 ]; then
    echo "$x_left X server file(s) left by the tests" >&2
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
