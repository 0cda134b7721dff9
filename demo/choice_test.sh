#!/usr/bin/env bash
# Runs the demo's choice scene headless on its own (after the opening text) with a scripted mouse:
# the choice window's first page of eight plates with the next-page arrow, kept as
# <build>/demo_choice.png; after a click on the arrow the second page with the ninth place, kept
# as <build>/demo_choice_page1.png; a click on that plate closes the window. The auto save the
# window wrote as it opened (slot 101) is decoded by flagwrite.
# Plates are 474 wide (the widest text is five full-width characters): columns at x 422 and 1024,
# rows from y 164, 116 apart; the arrow below them at (757, 636). Page 1: one plate at (723, 164),
# the previous arrow above it at (757, 104).
#   choice_test.sh <demo folder> <sheetgen> <flagwrite> <build folder>
set -u
demo=$1
sheetgen=$2
flagwrite=$3
build=$4
. "$(dirname "$0")/alone_start.sh"
start_alone "$demo" "choice_alone.mes"
# The plates' geometry below is the Japanese labels': the game plays in Japanese.
sed -i 's#<Config>#<Config><Language>3</Language>#' "$save/config.xml"

# The player's mouse, lines of the input script appended as the frames show the pages: the
# next-page arrow once page 0 is up, then the one plate of page 1 (the ninth place) once it is;
# each again after 5,000 of the game's turns without the next page (each falls on nothing on the
# other page).
: >"$work/input.txt"
acted=
act() { # seen, x, y: a click on the spot, once for the page and again while it stays
    if [ "$acted" != "$1" ] || [ $(($(game_turns) - acted_at)) -ge 5000 ]; then
        echo "0 move $2 $3" >>"$work/input.txt"
        echo "0 click $2 $3" >>"$work/input.txt"
        acted=$1
        acted_at=$(game_turns)
    fi
}

# Page 0: the left caps of plates 0 and 6 and the right cap of plate 7 in their normal state,
# the next arrow; page 1: the previous arrow and the left cap of its one plate, centred.
page0() {
    "$sheetgen" find-cell "$1" 457 244 0x1C38 0 &&
        "$sheetgen" find-cell "$1" 457 592 0x1C38 0 &&
        "$sheetgen" find-cell "$1" 1478 592 0x1C3A 0 &&
        "$sheetgen" find-cell "$1" 960 670 9
}
page1() {
    "$sheetgen" find-cell "$1" 960 130 8 && "$sheetgen" find-cell "$1" 758 244 0x1C38 &&
        ! "$sheetgen" find-cell "$1" 457 244 0x1C38
}
# A frame that reads and shows none of the pages' cells (find-cell answers 1, not 2 for a file
# that does not read yet).
absent() {
    "$sheetgen" find-cell "$@"
    [ $? -eq 1 ]
}
closed() {
    absent "$1" 960 130 8 && absent "$1" 758 244 0x1C38 && absent "$1" 457 244 0x1C38
}
(cd "$demo" && VESK_INPUT_SCRIPT=$work/input.txt VESK_FRAME_DUMP=$work/frames exec ./vesk >"$work/out.txt" 2>&1) &
first=$!
# The frames in their order, each looked at once but the newest, which is looked at again while
# no newer one comes: page 0, then page 1, then the window closed by the pick.
seen=0
done_frames=0
watch_start "$work/input.txt"
while watch_going 120000; do
    frames=$(ls "$work/frames" 2>/dev/null | sort)
    count=$(echo "$frames" | grep -c . || true)
    for frame in $(echo "$frames" | tail -n +$((done_frames + 1))); do
        path=$work/frames/$frame
        if [ $seen -eq 0 ] && page0 "$path"; then
            cp "$path" "$build/demo_choice.png"
            seen=1
        elif [ $seen -eq 1 ] && page1 "$path"; then
            cp "$path" "$build/demo_choice_page1.png"
            seen=2
        elif [ $seen -eq 2 ] && closed "$path"; then
            seen=3
        fi
    done
    [ "$count" -gt 0 ] && done_frames=$((count - 1))
    [ $seen -eq 3 ] && break
    # A page that waits draws nothing new: the click for it is made (again) as the game turns.
    [ $seen -eq 1 ] && act 1 960 662
    [ $seen -eq 2 ] && act 2 960 218
    kill -0 $first 2>/dev/null || break
done
# The auto save follows the fade-in.
watch_start "$work/input.txt"
while watch_going 10000; do
    [ -f "$save/FLAG101" ] && [ -f "$save/SaveData101.dat" ] && break
    kill -0 $first 2>/dev/null || break
done
watch_start "$work/input.txt"
while watch_going 300; do :; done
kill -KILL $first 2>/dev/null
wait $first 2>/dev/null
grep -q 'Box\|Error' "$work/out.txt" && fail "the scene showed a message: $(cat "$work/out.txt")"
[ $seen -ge 1 ] || fail "no frame shows the choice's first page"
[ $seen -ge 2 ] || fail "no frame shows the second page after the arrow's click"
[ $seen -ge 3 ] || fail "the click on page 1's plate did not close the window"
if [ $seen -ge 1 ]; then
    # Nothing beside the two columns, no previous arrow above them.
    "$sheetgen" find-cell "$build/demo_choice.png" 300 244 0x1C38 && fail "a plate left of the columns"
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
