# shellcheck shell=bash
# What a test run leaves behind: programs still running and files of the X servers it started.
# Sourced by scripts/test.sh; tests/scripts/leftovers_test.sh drives it against a fake X folder.
#
# A program is the run's when its environment holds the run's mark (every program the tests start
# inherits VESK_TEST_RUN). A play-through's server (Xvfb -displayfd) writes no lock file, so its
# socket names no owner once it has gone: the sockets of the run's servers are therefore noted
# while the servers listen, by leftovers_watch during the run and by leftovers_end_marked before it
# ends what is left. Only noted files are ever removed, and never a socket that some process still
# listens on: the X folder is shared with every other suite, desktop tool and xvfb-run.

# Whether a process listens on the Unix socket at PATH.
leftovers_listened() {
    # /proc/net/unix: Num RefCount Protocol Flags Type St Inode Path; flags 00010000 is a listener.
    awk -v path="$1" '$4 == "00010000" && $8 == path { found = 1 } END { exit !found }' /proc/net/unix
}

# Whether PID has ended (a zombie has: its sockets are closed).
leftovers_ended() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 0
    stat=${stat##*) }
    [ "${stat:0:1}" = Z ]
}

# Appends "PID SOCKET" to RECORD for each socket in X_DIR that PID listens on.
leftovers_note_sockets() {
    local pid=$1 x_dir=$2 record=$3
    find "/proc/$pid/fd" -mindepth 1 -maxdepth 1 -lname 'socket:*' -printf '%l\n' 2>/dev/null |
        awk -v dir="$x_dir/" -v pid="$pid" '
            FILENAME == "-" { gsub(/[^0-9]/, ""); own[$0] = 1; next }
            $4 == "00010000" && ($7 in own) && index($8, dir) == 1 { print pid, $8 }' - /proc/net/unix \
            >>"$record" || true # an fd gone while find reads the folder is no fault
}

# Runs until the shell that started it ends (or it is killed): every PERIOD seconds, each new
# listening socket in X_DIR whose listener carries MARK is noted in RECORD. Start it before the
# mark is exported, so that it and what it runs do not carry the mark. A server that comes and goes
# between two looks is not noted, and what it leaves stays.
leftovers_watch() {
    local x_dir=$1 mark=$2 record=$3 period=${4:-0.5} inode path seen=" " holder pid
    while kill -0 "$$" 2>/dev/null; do
        while read -r inode path; do
            [[ $seen == *" $inode "* ]] && continue
            seen+="$inode "
            # Children of the server may hold its socket too: the first holder with the mark is the run's.
            while read -r holder; do
                pid=${holder#/proc/}
                pid=${pid%%/*}
                if grep -qsaF -- "$mark" "/proc/$pid/environ"; then
                    echo "$pid $path" >>"$record"
                    break
                fi
            done < <(find /proc/[0-9]*/fd -mindepth 1 -maxdepth 1 -lname "socket:\[$inode\]" 2>/dev/null)
        done < <(awk -v dir="$x_dir/" '$4 == "00010000" && index($8, dir) == 1 { print $7, $8 }' /proc/net/unix)
        sleep "$period"
    done
}

# Ends every program that carries MARK (but this shell), each named and killed by its id, once
# the X sockets it listens on are noted in RECORD; waits for them to end. Sets leftovers_running
# to their count.
leftovers_end_marked() {
    local mark=$1 x_dir=$2 record=$3 environ pid killed=() wait
    leftovers_running=0
    for environ in /proc/[0-9]*/environ; do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        [ "$pid" = "$$" ] || [ "$pid" = "$BASHPID" ] && continue
        # Read straight from the file: a pipe into grep -q could fail its writer with SIGPIPE.
        grep -qsaF -- "$mark" "$environ" || continue
        echo "Left running by the tests: pid $pid: $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)" >&2
        leftovers_note_sockets "$pid" "$x_dir" "$record"
        kill -KILL "$pid" 2>/dev/null || true
        killed+=("$pid")
        leftovers_running=$((leftovers_running + 1))
    done
    for pid in "${killed[@]}"; do
        for ((wait = 0; wait < 100; ++wait)); do
            leftovers_ended "$pid" && break
            sleep 0.1
        done
    done
}

# Removes what the servers noted in RECORD left in X_DIR and, as lock files naming them, in
# LOCK_DIR (/tmp): a socket nobody listens on, a lock whose server has ended. Each is named.
# Sets leftovers_x_files to their count.
leftovers_remove_x_files() {
    local record=$1 x_dir=$2 lock_dir=$3 pid socket lock owner
    leftovers_x_files=0
    [ -f "$record" ] || return 0
    while read -r pid socket; do
        # Another server may listen there by now, on a display number the run's gave up.
        if [ -S "$socket" ] && ! leftovers_listened "$socket"; then
            echo "Left by the tests' X server: $socket" >&2
            rm -f "$socket"
            leftovers_x_files=$((leftovers_x_files + 1))
        fi
        lock="$lock_dir/.X${socket##*/X}-lock"
        owner=$(tr -dc '0-9' 2>/dev/null <"$lock" || true)
        if [ "$owner" = "$pid" ] && leftovers_ended "$pid"; then
            echo "Left by the tests' X server: $lock" >&2
            rm -f "$lock"
            leftovers_x_files=$((leftovers_x_files + 1))
        fi
    done < <(sort -u "$record")
}
