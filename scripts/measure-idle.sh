#!/usr/bin/env bash
# Measures the demo game while it waits for input: the process's share of one core, its wakes per
# second (whole and per thread) and its resident memory, at the title (where a fresh save folder
# starts), at a message that waits for a click (story_wait_alone.mes), in the town map
# (town_alone.mes) and in the slot machine scene waiting for its lever (slot_alone.mes), each after
# VESK_IDLE_SETTLE seconds (default 35). In a window under xvfb-run
# (needs xvfb and xauth, from `scripts/install-deps.sh --dev`) and headless with SDL's dummy
# drivers; the title also without the main thread's rest (VESK_IDLE_WAIT=0), for comparison. In
# the window, pointer moves sent with xdotool at the title give the input's wait: from the
# native event's arrival in the window layer (the rest's wake) to the game taking its message.
# Needs the built demo (./scripts/run.sh or `cmake --build build --target demo`). The first lines
# give the machine's floors (what a process that only sleeps a millisecond at a time costs here,
# and one that only copies a blink's pixels), the load average the figures were taken under and
# the system's huge page setting. Last, the screens a player opens over the town map and the area
# screens (the character-area screen, the town, the save screen and its note, the backlog, the
# settings and sound settings pages, the door message), reached along the story's route in a real
# window with the music playing on: the demo tests' measuring play (needs the built demo_tests).
#   scripts/measure-idle.sh [seconds]
set -euo pipefail
source "$(dirname "$0")/start-script-folder.sh"
cd "$(dirname "$0")/../build/demo"
seconds=${1:-10}

settle=${VESK_IDLE_SETTLE:-35}

# Per thread: id, name, CPU time in nanoseconds (the scheduler's own count: clock ticks of 10 ms
# are too coarse for a share under 1 %) and context switches (each wake of a sleeping thread is one).
threads() { # pid
    local task
    for task in /proc/"$1"/task/*; do
        awk -v id="${task##*/}" -v name="$(tr ' ' _ <"$task/comm")" \
            'NR == FNR { ns = $1; next }
             /^voluntary_ctxt_switches|^nonvoluntary_ctxt_switches/ { switches += $2 }
             END { print id, name, ns, switches }' "$task/schedstat" "$task/status" 2>/dev/null || true
    done | sort
}

# The whole process's CPU time in nanoseconds: its threads' scheduler counts.
cpu_ns() { # pid
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ ns += $1 } END { printf "%.0f", ns }'
}

# One run: starts the game with the given environment, lets it reach its wait, then measures for
# the given seconds. Besides the share of a core (which a busy machine blurs) it prints the wakes
# per second, whole and per thread, which do not depend on the machine's load.
measure() { # label, start script ("" for the title), env assignments...
    local label=$1 script=$2
    shift 2
    local work
    work=$(mktemp -d)
    if [ -n "$script" ]; then
        start_script_folder "$work" "$script" "$@"
    fi
    env XDG_DATA_HOME="$work" XDG_RUNTIME_DIR="$work" VESK_IDLE_STATS=1 "$@" ./vesk 2>"$work/err" >/dev/null &
    local pid=$!
    sleep "$settle"
    local cpu0 turns0
    cpu0=$(cpu_ns "$pid")
    turns0=$(tail -n 1 "$work/err" | awk '/idle-stats/ {t=0; for (i=3;i<=8;i++) {split($i,a,"="); t+=a[2]}; print t}')
    threads "$pid" >"$work/threads0"
    sleep "$seconds"
    local cpu1 turns1 rss
    cpu1=$(cpu_ns "$pid")
    turns1=$(tail -n 1 "$work/err" | awk '/idle-stats/ {t=0; for (i=3;i<=8;i++) {split($i,a,"="); t+=a[2]}; print t}')
    threads "$pid" >"$work/threads1"
    rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null || true
    awk -v l="$label" -v c0="$cpu0" -v c1="$cpu1" -v t0="${turns0:-0}" -v t1="${turns1:-0}" \
        -v s="$seconds" -v r="$rss" \
        'BEGIN { printf "%-34s %6.2f %% of a core  %8.0f turns/s  %7d KiB resident\n",
                 l, (c1 - c0) / 1e7 / s, (t1 - t0) / s, r }'
    join "$work/threads0" "$work/threads1" | awk -v s="$seconds" \
        '{ wakes = ($7 - $4) / s; all += wakes
           if (wakes >= 1) printf "    thread %-8s %-14s %6.2f %% of a core  %8.0f wakes/s\n",
                                  $1, $2, ($6 - $3) / 1e7 / s, wakes }
         END { printf "    all threads %44.0f wakes/s\n", all }'
    rm -rf "$work"
}

# The floor of this machine: a process that only sleeps 1 ms at a time, as the game's loops must
# turn at least once a millisecond to keep their timing. Each wake costs a context switch, which
# on a virtual machine can alone come near the aims.
floor() {
    perl -MTime::HiRes=usleep,time -e '
        my ($n, $start) = ($ARGV[0] * 900, time);
        usleep(1000) for 1 .. $n;
        my ($user, $system) = times;
        my $elapsed = time - $start;
        printf "%-28s %6.1f %% of a core  %8.0f wakes/s\n", "a bare 1 ms sleep loop",
            ($user + $system) * 100 / $elapsed, $n / $elapsed;' "$seconds"
}
# The floor of a blinking scene: the slot machine's lever (204 x 208 pixels) changes 7.8 times a
# second and each change is copied between screen-sized buffers, three times headless (the sheet
# into its layer, the layer into the screen layer, that into the back buffer), twice more in a
# window (into the window's frame, then its surface). After each 128 ms sleep the caches of a
# virtual machine hold little of them, so what the copies cost moves with the host.
blink_floor() {
    local work
    work=$(mktemp -d)
    cat >"$work/blink.c" <<'EOF'
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
static double now(clockid_t clock)
{
    struct timespec t;
    clock_gettime(clock, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}
int main(int argc, char** argv)
{
    const double seconds = atof(argv[1]);
    const int copies = atoi(argv[2]);
    const size_t bytes = 1920 * 1080 * 4, huge = 2u << 20;
    uint8_t* buffers[8];
    for (int i = 0; i <= copies; ++i) {
        buffers[i] = aligned_alloc(huge, (bytes + huge - 1) / huge * huge);
        madvise(buffers[i], bytes, MADV_HUGEPAGE);
        memset(buffers[i], i, bytes);
    }
    const struct timespec period = {0, 128000000};
    const double cpu = now(CLOCK_PROCESS_CPUTIME_ID), start = now(CLOCK_MONOTONIC);
    long blinks = 0;
    do {
        for (int c = 0; c < copies; ++c)
            for (size_t y = 544; y < 752; ++y)
                memcpy(buffers[c + 1] + (y * 1920 + 191) * 4, buffers[c] + (y * 1920 + 191) * 4, 204 * 4);
        ++blinks;
        nanosleep(&period, NULL);
    } while (now(CLOCK_MONOTONIC) - start < seconds);
    const double elapsed = now(CLOCK_MONOTONIC) - start;
    char label[32];
    snprintf(label, sizeof(label), "a bare blink, %d copies", copies);
    printf("%-28s %6.2f %% of a core  %8.0f wakes/s\n", label,
           (now(CLOCK_PROCESS_CPUTIME_ID) - cpu) * 100 / elapsed, blinks / elapsed);
    return 0;
}
EOF
    if cc -O2 -o "$work/blink" "$work/blink.c" 2>/dev/null; then
        "$work/blink" "$seconds" 3
        "$work/blink" "$seconds" 5
    else
        echo "no C compiler: no blink floor"
    fi
    rm -rf "$work"
}
floor
blink_floor
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
# Screen-sized pixel buffers ask for huge pages; with them "never" a blink costs more.
thp=/sys/kernel/mm/transparent_hugepage/enabled
[ -r "$thp" ] && echo "transparent huge pages: $(cat "$thp")"

scenes() { # prefix, env assignments...
    local prefix=$1
    shift
    measure "$prefix, title" "" "$@"
    measure "$prefix, message wait" story_wait_alone.mes "$@"
    measure "$prefix, town map" town_alone.mes "$@"
    measure "$prefix, slot machine" slot_alone.mes "$@"
    measure "$prefix, title, no rest" "" "$@" VESK_IDLE_WAIT=0
}

# Input at rest: pointer moves at the title, a fifth of a second apart, each while the game rests.
latency() {
    local work
    work=$(mktemp -d)
    env XDG_DATA_HOME="$work" XDG_RUNTIME_DIR="$work" VESK_IDLE_STATS=1 SDL_AUDIODRIVER=dummy ./vesk \
        2>"$work/err" >/dev/null &
    local pid=$!
    sleep "$settle"
    local i
    for i in $(seq 40); do
        xdotool mousemove $((400 + (i % 2) * 300)) $((300 + i * 10))
        sleep 0.2
    done
    sleep 1.2
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null || true
    tail -n 1 "$work/err" | awk '/idle-stats/ {
        for (i = 1; i <= NF; i++) { split($i, a, "="); v[a[1]] = a[2] }
        printf "window (Xvfb), input at the title: %d messages taken, waited %.0f us on average, %d us at most\n",
               v["inputs"], (v["inputs"] > 0 ? v["input-wait-us"] / v["inputs"] : 0), v["input-wait-max-us"] }'
    rm -rf "$work"
}

scenes headless SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1
if command -v xvfb-run >/dev/null; then
    # xvfb-run waits for its command; the measurement runs inside one server for every figure.
    xvfb-run -a -s "-screen 0 1920x1200x24" bash -c "$(declare -f start_script_folder threads cpu_ns measure scenes latency); seconds=$seconds settle=$settle;
        scenes 'window (Xvfb)' SDL_AUDIODRIVER=dummy
        if command -v xdotool >/dev/null; then latency; else echo 'xdotool is missing: no input figures'; fi"
else
    echo "xvfb-run is missing: no window figures (scripts/install-deps.sh --dev)"
fi

# Over the town, along the route: the harness starts an X server of its own.
if [ -x ../tests/demo_tests ] && command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
    VESK_REST_SECONDS=$seconds ../tests/demo_tests --gtest_also_run_disabled_tests \
        --gtest_filter='DemoPlayThroughTest.DISABLED_MeasuresTheRestOverTheTown' | grep -E '^rest:|^    thread|FAILED|Failure' || true
else
    echo "no demo_tests, Xvfb or xdotool: no figures over the town"
fi
