#!/usr/bin/env bash
# One measured run of the start-up scripts (scripts/measure-run.sh) over a game that crashes twice,
# then starts: the crashed runs are said and made again, and the figures are the started run's. A
# game that never starts gives no figures.
#   measure_run_test.sh <source folder>
set -euo pipefail
source "$1/scripts/measure-run.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

# The game: a crash (SIGSEGV) while its count of starts is below the first argument.
cat >"$work/game.sh" <<'GAME'
count=$(cat "$2" 2>/dev/null || echo 0)
echo $((count + 1)) >"$2"
[ "$count" -lt "$1" ] && kill -SEGV $$
exit 0
GAME
[ -x /usr/bin/time ] || fail "/usr/bin/time is missing: scripts/install-deps.sh installs it (Debian package time)"
timed=(/usr/bin/time -o "$work/time.txt" -f "%e %U %S %M")

figures=$(measure_run "$work/time.txt" "${timed[@]}" bash "$work/game.sh" 2 "$work/starts" 2>"$work/said.txt")
[ "$(cat "$work/starts")" = 3 ] || fail "the game started $(cat "$work/starts") times, not 3"
[ "$(grep -c 'failed run' "$work/said.txt")" = 2 ] || fail "the crashes were not said: $(cat "$work/said.txt")"
grep -q 'terminated by signal 11' "$work/said.txt" || fail "the crash's line is not named: $(cat "$work/said.txt")"
[[ "$figures" =~ ^[0-9.]+\ [0-9.]+\ [0-9.]+\ [0-9]+$ ]] || fail "the figures are not one started run's: '$figures'"

rm -f "$work/starts"
figures=$(measure_run "$work/time.txt" "${timed[@]}" bash "$work/game.sh" 9 "$work/starts" 2>/dev/null)
[ -z "$figures" ] || fail "a game that never started gave figures: '$figures'"
[ "$(cat "$work/starts")" = 5 ] || fail "a game that never started was tried $(cat "$work/starts") times, not 5"
echo "2 passed, 0 failed"
