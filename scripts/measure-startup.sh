#!/usr/bin/env bash
# Measures the demo game's start-up, headless: wall time, CPU time (user + system) and peak
# resident memory from the process's start to its first presented frame (the null presenter's
# first dump file), then the peak memory at the title a few seconds later and in the town map
# (town_alone.mes), where the map's layers are made. With a window under xvfb-run (when present)
# the peak at the title too. The machine's load average is printed with the figures. Needs the
# built demo (./scripts/run.sh or `cmake --build build --target demo`).
#   scripts/measure-startup.sh [runs]
set -euo pipefail
source "$(dirname "$0")/start-script-folder.sh"
cd "$(dirname "$0")/../build/demo"
runs=${1:-5}
ticks=$(getconf CLK_TCK)
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"

peak() { awk '/VmHWM/ {print $2}' "/proc/$1/status"; }


export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1
for run in $(seq "$runs"); do
    work=$(mktemp -d)
    mkdir "$work/frames"
    start=$(date +%s%N)
    XDG_DATA_HOME=$work XDG_RUNTIME_DIR=$work VESK_FRAME_DUMP=$work/frames ./vesk >/dev/null 2>&1 &
    pid=$!
    while [ ! -e "$work/frames/frame00001.png" ] && kill -0 "$pid" 2>/dev/null; do sleep 0.002; done
    now=$(date +%s%N)
    cpu=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    first_peak=$(peak "$pid")
    sleep 5
    title_peak=$(peak "$pid")
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null || true
    awk -v w="$(((now - start) / 1000000))" -v c="$cpu" -v hz="$ticks" -v p="$first_peak" -v t="$title_peak" \
        -v r="$run" 'BEGIN { printf "run %d: first frame after %d ms wall, %d ms CPU, peak %d KiB; title peak %d KiB\n",
                            r, w, c * 1000 / hz, p, t }'
    rm -rf "$work"
done

# The town map: its peak once its layers are made and its screen waits.
work=$(mktemp -d)
start_script_folder "$work" town_alone.mes
XDG_DATA_HOME=$work XDG_RUNTIME_DIR=$work ./vesk >/dev/null 2>&1 &
pid=$!
sleep 20
echo "town map (headless): peak $(peak "$pid") KiB"
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true
rm -rf "$work"

if command -v xvfb-run >/dev/null; then
    work=$(mktemp -d)
    xvfb-run -a -s "-screen 0 1920x1200x24" env -u SDL_VIDEODRIVER -u VESK_HEADLESS XDG_DATA_HOME="$work" \
        XDG_RUNTIME_DIR="$work" bash -c './vesk >/dev/null 2>&1 & pid=$!; sleep 10;
            echo "title in a window (Xvfb): peak $(awk "/VmHWM/ {print \$2}" /proc/$pid/status) KiB";
            kill -KILL $pid; wait $pid 2>/dev/null || true'
    rm -rf "$work"
fi
