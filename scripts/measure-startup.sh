#!/usr/bin/env bash
# Measures the demo game's start-up, headless: the time from the process's start to its first
# presented frame, and its resident memory once started. Needs strace and the built demo
# (./scripts/run.sh or `cmake --build build --target demo`).
#   scripts/measure-startup.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/../build/demo"
runs=${1:-5}
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1
for run in $(seq "$runs"); do
    work=$(mktemp -d)
    mkdir "$work/frames"
    # The first frame is presented when the null presenter opens its first dump file.
    XDG_DATA_HOME=$work XDG_RUNTIME_DIR=$work VESK_FRAME_DUMP=$work/frames VESK_CLOSE_AFTER_FRAMES=200 \
        strace -f -qq -ttt --seccomp-bpf -e trace=execve,openat -o "$work/trace" ./vesk >/dev/null 2>&1
    start=$(grep -m1 'execve(' "$work/trace" | awk '{print $2}')
    frame=$(grep -m1 'frame00001.png' "$work/trace" | awk '{print $2}')
    first_ms=$(awk -v a="$start" -v b="$frame" 'BEGIN { printf "%.1f", (b - a) * 1000 }')

    # Resident memory: a run without the close, read one second after its first frame.
    mkdir "$work/frames2"
    XDG_DATA_HOME=$work XDG_RUNTIME_DIR=$work VESK_FRAME_DUMP=$work/frames2 ./vesk >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 200); do [ -e "$work/frames2/frame00001.png" ] && break; sleep 0.02; done
    sleep 1
    rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null || true
    echo "run $run: first frame after ${first_ms} ms, resident ${rss} KiB"
    rm -rf "$work"
done
