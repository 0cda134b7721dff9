#!/usr/bin/env bash
# The peak memory of the demo over its whole route: the demo tests play it piece by piece (the
# title, the story with its messages, choices, name entry and backlog, save and load, the town,
# its areas and sub map, the flag screens, the slot machine, the extras, the movie, and the
# play-through in a real window), each in a game process of its own. While they run, every
# process of this build's game is sampled every 0.1 s for its peak resident memory (VmHWM, which
# only grows); the largest is the route's peak. Prints the peak of each test's game and the
# largest. Needs the built tests and demo.
#   scripts/measure-route.sh [ctest -R pattern]
set -euo pipefail
build="$(cd "$(dirname "$0")/../build" && pwd)"
game="$build/demo/vesk"
pattern=${1:-Demo}
samples=$(mktemp)
trap 'rm -f "$samples"' EXIT
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"

sample() {
    # A game may end between any two looks at it: nothing here stops the sampling.
    set +e +o pipefail
    while :; do
        for exe in /proc/[0-9]*/exe; do
            # -ef follows the link without a process of its own: the scan stays light.
            [[ $exe -ef $game ]] 2>/dev/null || continue
            pid=${exe#/proc/}
            pid=${pid%/exe}
            peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null) || continue
            # The test that started it: its save folder names the run.
            home=$(tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | sed -n 's/^XDG_DATA_HOME=//p')
            [ -n "$peak" ] && echo "$pid $peak ${home:-?}"
        done >>"$samples"
        sleep 0.1
    done
}
sample &
sampler=$!
(cd "$build" && ctest -R "$pattern" -j3 --output-on-failure >"$samples.ctest" 2>&1) || echo "some tests failed: see $samples.ctest"
kill "$sampler" 2>/dev/null || true
wait "$sampler" 2>/dev/null || true
tail -3 "$samples.ctest"
awk '{ if ($2 > peak[$1]) peak[$1] = $2 }
     END { n = 0; for (p in peak) { n++; if (peak[p] > max) max = peak[p] }
           printf "%d game processes sampled; the largest peak: %.1f MiB\n", n, max / 1024 }' "$samples"
awk '{ if ($2 > peak[$1]) peak[$1] = $2 } END { for (p in peak) printf "%.1f MiB\n", peak[p] / 1024 }' "$samples" |
    sort -rn | head -5 | sed 's/^/  /'
