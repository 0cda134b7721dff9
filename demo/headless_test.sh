#!/usr/bin/env bash
# Runs the demo game headless through its start-up paths: a first start that extracts the initial
# save set and saves slot 1, a later start that extracts nothing and restarts from slot 1, a
# second instance that ends silently while one runs, and a start without "SystemInfo.xml". The
# game closes itself through the close box after a number of frames (VESK_CLOSE_AFTER_FRAMES).
# The game-state files are compared as flagwrite's dumps with the listings in golden/.
#   headless_test.sh <demo folder> <initial save set folder> <flagwrite> <golden folder>
set -u
demo=$1
initial=$2
flagwrite=$3
golden=$4
work=$(mktemp -d)
first=
trap '[ -n "$first" ] && kill -KILL $first 2>/dev/null; rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1
export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
save=$XDG_DATA_HOME/vesk/demo/Save
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# kind, file in the save folder, golden listing
same_dump() {
    "$flagwrite" --dump "$1" "$save/$2" >"$work/dump.txt" 2>&1
    diff -u "$golden/$3" "$work/dump.txt" >"$work/diff.txt" || fail "$2 differs from $3: $(cat "$work/diff.txt")"
}

run_game() { # folder, frames; prints nothing, returns the exit status
    (cd "$1" && VESK_CLOSE_AFTER_FRAMES=$2 timeout -s KILL 60 ./vesk >"$work/out.txt" 2>&1)
}

# A first start: the folders, the initial set, slot 1 saved, the flags merged at exit.
run_game "$demo" 300 || fail "first start exited with $?"
"$flagwrite" --dump flag "$initial/FLAG000" >"$work/initial.txt"
grep -v '^flag ' "$golden/FLAG000.first.txt" | diff -q - "$work/initial.txt" >/dev/null ||
    fail "the golden FLAG000 is not the initial set's"
same_dump flag FLAG000 FLAG000.first.txt
same_dump flag FLAG001 FLAG001.txt
same_dump savedata SaveData001.dat SaveData001.txt
same_dump onemes onemes.dat onemes.txt
[ -f "$save/config.xml" ] || fail "config.xml was not extracted"
grep -q 'Box\|Error' "$work/out.txt" && fail "first start showed a message: $(cat "$work/out.txt")"

# A later start extracts nothing (the marker flag 100 stays), restarts from slot 1 and saves
# FLAG002 from the restored state; the configuration is written at exit.
{ cat "$golden/FLAG000.first.txt"; echo "flag 100 9"; } >"$work/marked.txt"
"$flagwrite" "$work/marked.txt" "$save/FLAG000" || fail "flagwrite could not mark FLAG000"
rm "$save/config.xml"
run_game "$demo" 300 || fail "second start exited with $?"
same_dump flag FLAG002 FLAG002.txt
same_dump flag FLAG000 FLAG000.second.txt
same_dump onemes onemes.dat onemes.txt
[ -f "$save/config.xml" ] || fail "config.xml was not written at exit"
grep -q 'Box\|Error' "$work/out.txt" && fail "second start showed a message: $(cat "$work/out.txt")"

# A second instance ends at once and silently while the first runs.
# exec: the background job's pid is the game's own, so the kill below reaches it.
(cd "$demo" && exec ./vesk >/dev/null 2>&1) &
first=$!
for _ in $(seq 200); do
    ls "$XDG_RUNTIME_DIR"/*.lock >/dev/null 2>&1 && break
    sleep 0.05
done
sleep 0.5
(cd "$demo" && timeout -s KILL 20 ./vesk >"$work/second.txt" 2>&1)
status=$?
[ $status -eq 0 ] || fail "the second instance exited with $status"
grep -v '^ALSA' "$work/second.txt" | grep -q . && fail "the second instance said: $(cat "$work/second.txt")"
kill -0 $first 2>/dev/null || fail "the first instance did not keep running"
kill -KILL $first 2>/dev/null
wait $first 2>/dev/null

# Without "SystemInfo.xml": "Load Error" with its path, then the game runs on its defaults.
mkdir "$work/nosys"
cp "$demo"/vesk "$demo"/FileInfo.xml "$demo"/*.arc "$work/nosys/"
run_game "$work/nosys" 50 || fail "the start without SystemInfo.xml exited with $?"
grep -q "Load Error:" "$work/out.txt" || fail "no Load Error was shown"
grep -q "nosys/SystemInfo.xml" "$work/out.txt" || fail "the Load Error does not name the file"
[ -f "$XDG_DATA_HOME/KOVRA GAMES/tolmiqua/Save/FLAG000" ] || fail "the default folders were not used"

if [ $failures -eq 0 ]; then
    echo "4 passed, 0 failed"
    exit 0
fi
echo "$failures failed"
exit 1
