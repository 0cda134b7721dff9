#!/usr/bin/env bash
# scripts/run.sh in a folder of stand-ins (a build that takes its time, a game that notes its
# start): a TERM or an INT sent to the script while it builds ends the build and the script, with
# the signal's status, and the game never starts; started in the background by this script, the
# script has INT ignored, as a player's script would. Left alone, the game is the script's own
# process.
#   run_signals_test.sh <source folder>
set -euo pipefail
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/scripts" "$tree/build/demo" "$tree/bin"
cp "$1/scripts/run.sh" "$tree/scripts/"
printf '#!/bin/sh\nexit 0\n' >"$tree/scripts/install-deps.sh"
touch "$tree/build/CMakeCache.txt" "$tree/build/build.ninja"
printf '#!/bin/sh\necho "$$ $*" >"%s/game"\n' "$tree" >"$tree/build/demo/vesk"
# The build notes its process and, when FAKE_SLOW is set, takes five minutes.
printf '#!/bin/sh\necho $$ >"%s/build.pid"\n[ -z "$FAKE_SLOW" ] || exec sleep 300\n' "$tree" >"$tree/bin/cmake"
chmod +x "$tree/scripts/"*.sh "$tree/build/demo/vesk" "$tree/bin/cmake"
export PATH="$tree/bin:$PATH"
fail() { echo "FAIL: $*"; exit 1; }

# Polls for a state for up to a minute: a busy machine may be slow to reach it.
await() {
    for _ in $(seq 600); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
alive() { kill -0 "$1" 2>/dev/null; }
build_alive() { [ -s "$tree/build.pid" ] && alive "$(cat "$tree/build.pid")"; }

for signal in INT TERM; do
    rm -f "$tree/build.pid" "$tree/game"
    FAKE_SLOW=1 "$tree/scripts/run.sh" &
    script=$!
    await build_alive || fail "the build did not start"
    build=$(cat "$tree/build.pid")
    kill -s "$signal" "$script"
    await eval '! alive "$script"' || {
        kill "$build" 2>/dev/null || true
        kill "$script" 2>/dev/null || true
        fail "$signal left the script building"
    }
    status=0
    wait "$script" || status=$?
    expected=$((128 + $(kill -l "$signal")))
    [ "$status" -eq "$expected" ] || fail "after $signal the script ended with $status, not $expected"
    if ! await eval '! alive "$build"'; then
        kill "$build" 2>/dev/null || true
        fail "$signal left the build running"
    fi
    [ ! -e "$tree/game" ] || fail "the game started after $signal"
done

rm -f "$tree/game"
"$tree/scripts/run.sh" rotate &
script=$!
wait "$script" || fail "a start without a signal failed"
[ "$(cat "$tree/game")" = "$script rotate" ] || fail "the game was not the script's own process: $(cat "$tree/game")"
echo "PASS"
