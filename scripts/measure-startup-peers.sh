#!/usr/bin/env bash
# Start-up side by side with ONScripter (Debian package onscripter, a different engine): the demo
# and a minimal ONScripter game (one 1920x1080 picture, one line of text) each start, show their
# first frame and end by themselves, interleaved, `runs` times each. Reported per run and as
# medians: wall time, CPU time (user + system) and peak resident memory of the game process, from
# /usr/bin/time. The demo ends through VESK_CLOSE_AFTER_FRAMES=1 (the first presented frame); the
# ONScripter game's script draws its picture and text at once and then ends ("end"), so its figures
# also run to its first frame and exit. Both in a window (xvfb-run -a, SDL's x11 driver) and the
# demo headless too. The machine's load average is printed with the figures: under load, CPU time
# and peak memory are what count. Needs the built demo, xvfb-run, python3 and /usr/games/onscripter.
#   scripts/measure-startup-peers.sh [runs]
set -euo pipefail
runs=${1:-8}
demo="$(cd "$(dirname "$0")/../build/demo" && pwd)"
onscripter=/usr/games/onscripter
for tool in xvfb-run python3 /usr/bin/time "$onscripter"; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 2; }
done
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
game="$work/ons"
mkdir -p "$game"
python3 - "$game/bg.bmp" <<'EOF'
import struct, sys
w, h = 1920, 1080
rows = bytearray()
for y in range(h):
    g = y * 255 // h
    rows += b"".join(bytes((x * 255 // w, g, 160)) for x in range(w))
header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
open(sys.argv[1], "wb").write(header + info + rows)
EOF
ln -s /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf "$game/default.ttf"
printf '%s\n' ';$V100G100S1920,1080' '*define' 'game' '*start' '!s0' 'bg "bg.bmp",1' \
    '`A minimal game: one picture, one line of text.' 'end' >"$game/0.txt"

# One measured run: "wall user sys peak_kib" of the game process, failed runs made again.
source "$(dirname "$0")/measure-run.sh"
measure() {
    measure_run "$work/time.txt" "$@"
}
timed=(/usr/bin/time -o "$work/time.txt" -f "%e %U %S %M")
# Every run starts from the same save folder, laid out by a first start before the runs: the
# figures are those of a returning player's start.
vesk_env() {
    local home="$work/home"
    rm -rf "$home"
    cp -a "$work/seed" "$home"
    echo "XDG_DATA_HOME=$home XDG_RUNTIME_DIR=$home VESK_CLOSE_AFTER_FRAMES=1 SDL_AUDIODRIVER=dummy"
}
mkdir "$work/seed"
(cd "$demo" && XDG_DATA_HOME="$work/seed" XDG_RUNTIME_DIR="$work/seed" VESK_CLOSE_AFTER_FRAMES=1 \
    SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1 ./vesk >/dev/null 2>&1) || true
screen=(-s "-screen 0 1920x1200x24")

: >"$work/results"
for run in $(seq "$runs"); do
    r=$(cd "$demo" && measure env $(vesk_env) SDL_VIDEODRIVER=dummy VESK_HEADLESS=1 "${timed[@]}" ./vesk)
    echo "vesk-headless $r" >>"$work/results"
    r=$(cd "$demo" && measure xvfb-run -a "${screen[@]}" env $(vesk_env) SDL_VIDEODRIVER=x11 "${timed[@]}" ./vesk)
    echo "vesk-window $r" >>"$work/results"
    r=$(cd "$game" && measure xvfb-run -a "${screen[@]}" env SDL_AUDIODRIVER=dummy "${timed[@]}" "$onscripter" -r "$game")
    echo "onscripter-window $r" >>"$work/results"
    tail -3 "$work/results" | sed "s/^/run $run: /"
done

python3 - "$work/results" <<'EOF'
import statistics, sys
rows = {}
for line in open(sys.argv[1]):
    parts = line.split()
    if len(parts) != 5:
        continue
    wall, user, system, peak = map(float, parts[1:])
    rows.setdefault(parts[0], []).append((wall, user + system, peak / 1024))
medians = {k: [statistics.median(r[i] for r in v) for i in range(3)] for k, v in rows.items()}
print("medians (first frame and exit): wall s, CPU s (user + sys), peak MiB")
for k, (wall, cpu, peak) in medians.items():
    print(f"  {k:18s} {wall:6.3f} {cpu:6.3f} {peak:7.1f}  ({len(rows[k])} runs)")
peer = medians.get("onscripter-window")
if peer:
    for k in ("vesk-window", "vesk-headless"):
        if k in medians:
            m = medians[k]
            print(f"  {k} / onscripter-window: wall {m[0] / peer[0]:.2f} x, CPU {m[1] / peer[1]:.2f} x, "
                  f"peak {m[2] / peer[2]:.2f} x")
EOF
