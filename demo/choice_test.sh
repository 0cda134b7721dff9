#!/usr/bin/env bash
# Runs the demo's choice scene headless on its own (after the opening text): the choice window's
# first page of eight plates with the next-page arrow, kept as <build>/demo_choice.png once a frame
# shows it whole, and the auto save the window wrote as it opened (slot 101), decoded by flagwrite.
# Plates are 474 wide (the widest text is five full-width characters): columns at x 422 and 1024,
# rows from y 164, 116 apart; the arrow below them at (757, 636).
#   choice_test.sh <demo folder> <sheetgen> <flagwrite> <build folder>
set -u
demo=$1
sheetgen=$2
flagwrite=$3
build=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1
export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR" "$work/frames"
save=$XDG_DATA_HOME/vesk/demo/Save
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A first start lays out the save folder and is ended once it has; the scene then runs as the
# start script.
(cd "$demo" && exec ./vesk >/dev/null 2>&1) &
first=$!
for _ in $(seq 600); do
    [ -f "$save/config.xml" ] && break
    sleep 0.1
done
sleep 1
kill -KILL $first 2>/dev/null
wait $first 2>/dev/null
[ -f "$save/config.xml" ] || { echo "FAIL: no config.xml"; exit 1; }
echo '<GameFile><Script><StartUp>choice_alone.mes</StartUp></Script></GameFile>' >>"$save/config.xml"

# Left caps of plates 0 and 6, the right cap of plate 7 and the arrow: sheet cells 0x7A00,
# 0x7A02 and 9, all in their normal state (the pointer rests outside the page).
page_shown() {
    "$sheetgen" find-cell "$1" 457 244 0x7A00 0 &&
        "$sheetgen" find-cell "$1" 457 592 0x7A00 0 &&
        "$sheetgen" find-cell "$1" 1478 592 0x7A02 0 &&
        "$sheetgen" find-cell "$1" 960 670 9 0
}
(cd "$demo" && VESK_FRAME_DUMP=$work/frames exec ./vesk >"$work/out.txt" 2>&1) &
first=$!
shown=
for _ in $(seq 1200); do
    for frame in $(ls "$work/frames" 2>/dev/null | sort -r | head -n 3); do
        if page_shown "$work/frames/$frame"; then
            cp "$work/frames/$frame" "$build/demo_choice.png"
            shown=1
            break 2
        fi
    done
    kill -0 $first 2>/dev/null || break
    sleep 0.1
done
# The auto save follows the fade-in.
for _ in $(seq 100); do
    [ -f "$save/FLAG101" ] && [ -f "$save/SaveData101.dat" ] && break
    kill -0 $first 2>/dev/null || break
    sleep 0.1
done
sleep 0.5
kill -KILL $first 2>/dev/null
wait $first 2>/dev/null
grep -q 'Box\|Error' "$work/out.txt" && fail "the scene showed a message: $(cat "$work/out.txt")"
[ -n "$shown" ] || fail "no frame shows the choice page"
if [ -n "$shown" ]; then
    # Nothing beside the two columns, no previous arrow above them.
    "$sheetgen" find-cell "$build/demo_choice.png" 300 244 0x7A00 && fail "a plate left of the columns"
    "$sheetgen" find-cell "$build/demo_choice.png" 960 130 8 && fail "a previous arrow on page 0"
fi

# The auto save of the opening: slot 101, written while variable 54 was 1, with the choice's
# text sprite.
if [ -f "$save/FLAG101" ] && [ -f "$save/SaveData101.dat" ]; then
    "$flagwrite" --dump flag "$save/FLAG101" >"$work/flag101.txt" 2>&1 || fail "FLAG101 does not decode"
    grep -q '^variable 54 1$' "$work/flag101.txt" || fail "FLAG101 lacks variable 54 = 1: $(cat "$work/flag101.txt")"
    grep -q '^value 53 101$' "$work/flag101.txt" || fail "FLAG101 lacks the choice's text sprite"
    "$flagwrite" --dump savedata "$save/SaveData101.dat" >/dev/null 2>&1 || fail "SaveData101.dat does not decode"
else
    fail "no auto save in slot 101"
fi

if [ $failures -eq 0 ]; then
    echo "1 passed, 0 failed"
    exit 0
fi
echo "$failures failed"
exit 1
