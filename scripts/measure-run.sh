# Sourced by the measuring scripts. measure_run TIME_FILE COMMAND...: runs COMMAND, in which
# /usr/bin/time writes "%e %U %S %M" of the game process to TIME_FILE, and prints that line as
# "wall user sys peak_kib". A run whose game failed (a status other than 0 or a signal, which
# /usr/bin/time says on a line of its own, or no figures at all, as when xvfb-run's display was
# taken by another server starting beside it) is said on standard error and made again, up to five
# times, then nothing is printed: its figures are those of a game that did not start, and would
# pull the medians down.
measure_run() {
    local out=$1 attempt
    shift
    for attempt in 1 2 3 4 5; do
        rm -f "$out"
        "$@" >/dev/null 2>&1 || true
        if [ -s "$out" ] && ! grep -q "exited with\|terminated by" "$out"; then
            tail -n 1 "$out" | awk '{print $1, $2, $3, $4}'
            return
        fi
        echo "failed run of ${*: -1} (attempt $attempt): $(head -n 1 "$out" 2>/dev/null)" >&2
    done
}
