#!/usr/bin/env bash
# The memory of one long session of the demo: one game process, headless (the null presenter and
# SDL's dummy drivers), played by scripted input round after round for the given minutes
# (default 20): the settings, a new game saved, quick saved, its backlog, the story through the
# day's screens, the town and its sub map, Return to title, the save loaded and Return to title
# again, the extras' gallery, CG viewer, a scene replay and music room, and the slot machine
# (the demo tests' DemoSessionTest.DISABLED_PlaysRoundsForTheGivenMinutes). Each time the title
# shows again its resident memory is told beside the first title's; meanwhile the game's peak
# resident memory (VmHWM, which only grows) is sampled every second. The last line is the peak.
# Needs the built demo and demo_tests.
#   scripts/measure-session.sh [minutes]
set -euo pipefail
build="$(cd "$(dirname "$0")/../build" && pwd)"
game="$build/demo/vesk"
minutes=${1:-20}
samples=$(mktemp)
log=$(mktemp)
trap 'rm -f "$samples" "$log"' EXIT
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"

sample() {
    # The game may end between two looks at it: nothing here stops the sampling.
    set +e +o pipefail
    while :; do
        for exe in /proc/[0-9]*/exe; do
            [[ $exe -ef $game ]] 2>/dev/null || continue
            pid=${exe#/proc/}
            pid=${pid%/exe}
            awk -v pid="${pid%/exe}" '/VmHWM/ { print pid, $2 }' "/proc/$pid/status" 2>/dev/null
        done >>"$samples"
        sleep 1
    done
}
sample &
sampler=$!
status=0
(cd "$build/tests" && VESK_SESSION_MINUTES=$minutes ./demo_tests --gtest_also_run_disabled_tests \
    --gtest_filter='DemoSessionTest.DISABLED_PlaysRoundsForTheGivenMinutes') >"$log" 2>&1 || status=$?
kill "$sampler" 2>/dev/null || true
wait "$sampler" 2>/dev/null || true
grep -E '^(first title|round)' "$log" || true
if [ "$status" -ne 0 ]; then
    grep -E 'Failure|FAILED|Expected|Which is|the title after' "$log" | head -20
    echo "the session failed (status $status)"
fi
awk '{ if ($2 > peak) peak = $2 } END { printf "peak %.0f MiB\n", peak / 1024 }' "$samples"
