#!/usr/bin/env bash
# Builds the game and its demo data, then starts the demo's program in the demo folder.
# Arguments go to the game. Headless (VESK_HEADLESS=1) it shows no window; Ctrl+C or a TERM ends
# it as Game > Exit does, and VESK_CLOSE_AFTER_FRAMES=N ends it after N loop turns. Not headless
# and without a display, it says so and ends with status 1. A TERM or INT before the game starts
# ends the build and the script, and the game is not started; once it runs, the game is this
# process and takes them itself.
set -euo pipefail
# bash can neither trap nor reset a signal that was ignored when it started, as INT is in a job a
# script started in the background: the script starts again with INT at its default.
if [ -n "$(trap -p INT)" ] && env --default-signal=INT true 2>/dev/null; then
    exec env --default-signal=INT "$BASH" "$0" "$@"
fi
build_job=
stop() {
    trap - INT TERM
    [ -z "$build_job" ] || kill -TERM -- "-$build_job" 2>/dev/null || true
    kill -s "$1" $$
}
trap 'stop INT' INT
trap 'stop TERM' TERM
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

# Passes the build's output on from its first line of real work: a build with nothing to do says
# nothing (ninja's check of the source folders is held back until then). On a terminal, ninja's
# progress lines overwrite each other as ninja's own do.
build_output() {
    local line held=() working=0 terminal=0 pending=0 width size tty
    [ -t 1 ] && terminal=1
    # The terminal's width, asked of the terminal itself: a question inside $( ) has a pipe for its
    # standard output, and tput there answers 80 whatever the width.
    [ "$terminal" = 0 ] || exec {tty}>&1
    while IFS= read -r line; do
        if [ "$working" = 0 ]; then
            case $line in
                *"Re-checking globbed directories..." | "ninja: no work to do.")
                    held+=("$line")
                    continue
                    ;;
            esac
            working=1
            [ "$terminal" = 1 ] || printf '%s\n' "${held[@]}"
        fi
        if [ "$terminal" = 1 ] && [[ $line == "["[0-9]*/[0-9]*"] "* ]]; then
            size=$(stty size <&"$tty" 2>/dev/null) || size=
            width=${size#* }
            [[ $width =~ ^[1-9][0-9]*$ ]] || width=${COLUMNS:-80}
            printf '\r\033[K%s' "${line:0:width-1}"
            pending=1
        else
            [ "$pending" = 1 ] && printf '\n'
            printf '%s\n' "$line"
            pending=0
        fi
    done
    [ "$pending" = 0 ] || printf '\n'
}
# The build is a job of its own (a process group) that the script waits for: the wait, unlike a
# command in the foreground, gives way to a signal at once, and the trap ends the whole group.
set -m
{
    # Configured once: after that the build configures again by itself when a CMake file changes.
    if [ ! -f build/CMakeCache.txt ] || [ ! -f build/build.ninja ]; then
        cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESK_LINE_DEBUG_INFO=ON
    fi
    # The demo target builds the program too and lays both out in build/demo.
    cmake --build build -j "$(nproc)" --target demo 2>&1 | build_output
} &
build_job=$!
set +m
wait "$build_job"
build_job=
cd build/demo
exec ./vesk "$@"
