#!/usr/bin/env bash
# Runs the demo game headless through its start-up paths: a first start that extracts the initial
# save set and saves the game's own state (flag file and save data 901, past the player's slots),
# a later start that extracts nothing and restarts from it, a start to its first frame that loads
# no movie library, a second instance that is refused
# with a line on standard error and status 1 while one runs, and a start without
# "SystemInfo.xml". The game ends itself after a number of frames
# (VESK_CLOSE_AFTER_FRAMES), without the exit question; the extracting start asks to quit with
# Alt+F4 instead, and its frame showing the exit dialog is kept as demo_exit_dialog.png in the
# build folder before the process is ended.
# The game-state files are compared as flagwrite's dumps with the listings in golden/.
#   headless_test.sh <demo folder> <initial save set folder> <flagwrite> <golden folder>
#                    <sheetgen> <build folder>
set -u
demo=$1
initial=$2
flagwrite=$3
golden=$4
sheetgen=$5
build=$6
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

run_game() { # folder, frames; prints nothing, returns the exit status (the kill a net for a hang)
    (cd "$1" && VESK_CLOSE_AFTER_FRAMES=$2 timeout -s KILL 200 ./vesk >"$work/out.txt" 2>&1)
}

dialog_off='<Dialog><02><Enable>0</Enable></02></Dialog><Demo><SkipTitle>1</SkipTitle></Demo>'
# Switches the exit confirmation off and skips the title in a configuration file, making the file
# when it is missing.
exit_dialog_off() {
    if [ -f "$1" ]; then
        sed -i "s|</Config>|$dialog_off</Config>|" "$1"
    else
        printf '\xEF\xBB\xBF<?xml version="1.0" encoding="UTF-8" ?>\n<Config>%s</Config>\n' "$dialog_off" >"$1"
    fi
}

# A first start with the exit confirmation on: the folders and the initial set are made; Alt+F4
# opens the exit dialog, whose frame is kept before the game is ended.
mkdir "$work/frames"
printf '300 down 18\n305 key 115\n310 up 18\n' >"$work/alt_f4.txt"
(cd "$demo" && VESK_INPUT_SCRIPT="$work/alt_f4.txt" VESK_FRAME_DUMP="$work/frames" exec ./vesk \
    >"$work/out.txt" 2>&1) &
first=$!
shown=
. "$(dirname "$0")/watch.sh"
watch_start "$work/alt_f4.txt"
while watch_going 60000; do
    frame=$(ls "$work/frames" 2>/dev/null | sort | tail -n 2 | head -n 1)
    if [ -n "$frame" ] && "$sheetgen" find-cell "$work/frames/$frame" 820 380 0x1D30; then
        cp "$work/frames/$frame" "$build/demo_exit_dialog.png"
        shown=1
        break
    fi
    kill -0 $first 2>/dev/null || break
done
kill -KILL $first 2>/dev/null
wait $first 2>/dev/null
first=
[ -n "$shown" ] || fail "Alt+F4 did not open the exit dialog"
[ -f "$save/config.xml" ] || fail "config.xml was not extracted"
"$flagwrite" --dump flag "$initial/FLAG000" >"$work/initial.txt"
grep -v '^flag ' "$golden/FLAG000.first.txt" | diff -q - "$work/initial.txt" >/dev/null ||
    fail "the golden FLAG000 is not the initial set's"
grep -q 'Box\|Error' "$work/out.txt" && fail "the first start showed a message: $(cat "$work/out.txt")"

# The same first play with the confirmation off, from the set as it was extracted: the game's
# own state saved as 901, no player's slot written, the flags merged at exit.
rm -f "$save"/*
cp "$initial"/* "$save/"
exit_dialog_off "$save/config.xml"
run_game "$demo" 300 || fail "first play exited with $?"
same_dump flag FLAG000 FLAG000.first.txt
same_dump flag FLAG901 FLAG901.txt
same_dump savedata SaveData901.dat SaveData901.txt
ls "$save" | grep -Eq '^(FLAG|SaveData)(00[1-9]|0[1-9][0-9]|[12][0-9][0-9]|300)' &&
    fail "the first play wrote into a player's slot: $(ls "$save")"
same_dump onemes onemes.dat onemes.txt
grep -q 'Box\|Error' "$work/out.txt" && fail "first play showed a message: $(cat "$work/out.txt")"

# A later start extracts nothing (the marker flag 100 stays), restarts from 901 and saves flag
# file 902 from the restored state; the configuration is written at exit.
{ cat "$golden/FLAG000.first.txt"; echo "flag 100 9"; } >"$work/marked.txt"
"$flagwrite" "$work/marked.txt" "$save/FLAG000" || fail "flagwrite could not mark FLAG000"
rm "$save/config.xml"
exit_dialog_off "$save/config.xml"
cp "$save/config.xml" "$work/config.before"
run_game "$demo" 300 || fail "second start exited with $?"
same_dump flag FLAG902 FLAG902.txt
same_dump flag FLAG000 FLAG000.second.txt
same_dump onemes onemes.dat onemes.txt
cmp -s "$work/config.before" "$save/config.xml" && fail "config.xml was not written at exit"
grep -q 'Box\|Error' "$work/out.txt" && fail "second start showed a message: $(cat "$work/out.txt")"

# A start up to its first frame loads none of FFmpeg's libraries: the first movie loads them.
(cd "$demo" && LD_DEBUG=files LD_DEBUG_OUTPUT="$work/loaded" VESK_CLOSE_AFTER_FRAMES=1 \
    timeout -s KILL 200 ./vesk >/dev/null 2>&1) || fail "the start to its first frame exited with $?"
grep -q 'libSDL2' "$work"/loaded.* || fail "the loader's log names no library"
grep -q 'libavcodec\|libavformat' "$work"/loaded.* && fail "the start loaded FFmpeg before any movie"

# A second instance is refused at once while the first runs: no window, one line, status 1.
# The second starts once the first has turned its loop, which it enters holding the lock; the lock
# file itself is left from the starts above, so its being there says nothing.
# exec: the background job's pid is the game's own, so the kill below reaches it.
: >"$work/running.txt"
(cd "$demo" && VESK_INPUT_SCRIPT="$work/running.txt" exec ./vesk >"$work/first.txt" 2>&1) &
first=$!
watch_start "$work/running.txt"
while watch_going 1; do
    kill -0 $first 2>/dev/null || break
done
first_state=
# The first copy as it stands, for a failure's line: whether it runs or how it ended, and what
# it said.
first_account() {
    if [ -z "$first_state" ] && ! kill -0 $first 2>/dev/null; then
        wait $first 2>/dev/null
        first_state="ended with status $?"
    fi
    account="the first instance ${first_state:-runs} at turn $(game_turns); its output: $(cat "$work/first.txt")"
}
if [ "$(game_turns)" -gt 0 ] && kill -0 $first 2>/dev/null; then
    (cd "$demo" && timeout -s KILL 20 ./vesk >"$work/second.txt" 2>&1)
    status=$?
    first_account
    [ $status -eq 1 ] || fail "the second instance exited with $status; $account"
    grep -q 'the game is already running' "$work/second.txt" ||
        fail "the second instance did not say why: $(cat "$work/second.txt"); $account"
    [ -z "$first_state" ] || fail "the first instance did not keep running; $account"
else
    first_account
    fail "the first instance did not start its loop; $account"
fi
if [ -z "$first_state" ]; then
    kill -KILL $first 2>/dev/null
    wait $first 2>/dev/null
fi
first=

# Without "SystemInfo.xml": "Load Error" with its path, then the game runs on its defaults.
# The default save folder holds the initial set with the confirmation off, so the game ends.
mkdir "$work/nosys"
cp "$demo"/vesk "$demo"/FileInfo.xml "$demo"/*.arc "$work/nosys/"
default_save="$XDG_DATA_HOME/KOVRA GAMES/tolmiqua/Save"
mkdir -p "$default_save"
cp "$initial"/* "$default_save/"
exit_dialog_off "$default_save/config.xml"
run_game "$work/nosys" 50 || fail "the start without SystemInfo.xml exited with $?"
grep -q "Load Error:" "$work/out.txt" || fail "no Load Error was shown"
grep -q "nosys/SystemInfo.xml" "$work/out.txt" || fail "the Load Error does not name the file"
[ -f "$default_save/onemes.dat" ] || fail "the default folders were not used"

if [ $failures -eq 0 ]; then
    echo "6 passed, 0 failed"
    exit 0
fi
echo "$failures failed"
exit 1
