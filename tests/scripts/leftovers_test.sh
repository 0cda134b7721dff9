#!/usr/bin/env bash
# The end of a test run (scripts/leftovers.sh) against a fake X folder, with Unix listeners standing
# in for X servers: the run's servers are those carrying its mark. What the run's servers left is
# removed; the sockets of servers started outside the run during it stay, listening or not, and so
# does a socket the run's server gave up and another server took.
#   leftovers_test.sh <source folder>
set -euo pipefail
source "$1/scripts/leftovers.sh"
fake=$(mktemp -d)
x_dir="$fake/.X11-unix"
mkdir "$x_dir"
record="$fake/x-servers"
mark="VESK_TEST_RUN=leftovers-test-$$-$(date +%s%N)"
servers=()
watch=""
finish() {
    [ -z "$watch" ] || kill "$watch" 2>/dev/null || true
    for pid in "${servers[@]}"; do
        kill -KILL "$pid" 2>/dev/null || true
    done
    rm -rf "$fake"
}
trap finish EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

# Until the command succeeds, looked at every 50th of a second; false after two minutes, a net
# for a machine so busy that a start or a kill takes seconds.
until_true() {
    local since=$SECONDS
    until "$@"; do
        [ $((SECONDS - since)) -lt 120 ] || return 1
        sleep 0.02
    done
}

listen='my $s; unlink $ARGV[0]; socket($s, AF_UNIX, SOCK_STREAM, 0) && bind($s, pack_sockaddr_un($ARGV[0])) && listen($s, 1) or die "$!"; sleep'
# Starts a listener on X_DIR/X<number>, with the run's mark or without any, once it listens.
serve() {
    local number=$1 marked=$2 run=(env -u VESK_TEST_RUN)
    [ "$marked" = marked ] && run=(env "$mark")
    "${run[@]}" perl -MSocket -e "$listen" "$x_dir/X$number" &
    server=$!
    # Not a job of this shell's: it would report each one killed.
    disown "$server"
    servers+=("$server")
    until_true leftovers_listened "$x_dir/X$number" || fail "the listener on X$number did not start"
}
noted() {
    until_true grep -qsxF -- "$1 $x_dir/X$2" "$record" || fail "the watch did not note X$2 of pid $1"
}
killed() {
    kill -KILL "$1"
    until_true leftovers_ended "$1" || fail "pid $1 did not end"
}

leftovers_watch "$x_dir" "$mark" "$record" 0.05 &
watch=$!
# The run's server with a lock file, killed before its clean-up.
serve 1 marked
printf '%10d\n' "$server" >"$fake/.X1-lock"
noted "$server" 1
killed "$server"
# Outside servers started during the run: one goes on, one is killed and leaves its socket.
serve 2 outside
outside_running=$server
serve 3 outside
killed "$server"
# The run's server killed, and its number taken by an outside server.
serve 4 marked
noted "$server" 4
killed "$server"
serve 4 outside
outside_on_4=$server
kill "$watch"
wait "$watch" 2>/dev/null || true
watch=""
# The run's server still running at the end, never seen by the watch.
serve 5 marked
left_over=$server

said=$({
    leftovers_end_marked "$mark" "$x_dir" "$record"
    leftovers_remove_x_files "$record" "$x_dir" "$fake"
    echo "counts $leftovers_running $leftovers_x_files"
} 2>&1)
echo "$said"

grep -qxF "counts 1 3" <<<"$said" || fail "not one program and three files counted"
grep -qF "Left running by the tests: pid $left_over:" <<<"$said" || fail "the run's running server not named"
for gone in "$x_dir/X1" "$fake/.X1-lock" "$x_dir/X5"; do
    [ ! -e "$gone" ] || fail "$gone of the run's server stays"
    grep -qxF "Left by the tests' X server: $gone" <<<"$said" || fail "$gone not named"
done
for kept in 2 3 4; do
    [ -S "$x_dir/X$kept" ] || fail "X$kept of an outside server was removed"
    ! grep -qF "$x_dir/X$kept" <<<"$said" || fail "X$kept of an outside server was named"
done
leftovers_listened "$x_dir/X2" && leftovers_listened "$x_dir/X4" || fail "an outside server lost its socket"
kill -0 "$outside_running" && kill -0 "$outside_on_4" || fail "an outside server was ended"
echo "PASS"
