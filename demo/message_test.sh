#!/usr/bin/env bash
# Runs the demo's message scene headless on its own with auto mode on, so the messages advance by
# themselves. Frames are kept as <build>/demo_message_typing.png (a few characters of the first
# page shown), demo_message_page.png (the page complete with its prompt), demo_message_name.png
# (the speaker on the name plate) and demo_message_voice.png (the voiced line, its prompt in the
# column that says the voice still plays).
#   message_test.sh <demo folder> <sheetgen> <build folder>
set -u
demo=$1
sheetgen=$2
build=$3
work=$(mktemp -d)
first=
trap '[ -n "$first" ] && kill -KILL $first 2>/dev/null; rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1
export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR" "$work/frames"
save=$XDG_DATA_HOME/vesk/demo/Save
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

(cd "$demo" && exec ./vesk >/dev/null 2>&1) &
first=$!
for _ in $(seq 600); do
    [ -f "$save/config.xml" ] && break
    sleep 0.1
done
sleep 1
kill -KILL $first 2>/dev/null
wait $first 2>/dev/null
first=
[ -f "$save/config.xml" ] || { echo "FAIL: no config.xml"; exit 1; }
sed -i 's|</Config>|<AutoRead>1</AutoRead></Config>|' "$save/config.xml"
echo '<GameFile><Script><StartUp>messages_alone.mes</StartUp></Script></GameFile>' >>"$save/config.xml"

# The window's top is at 768. White pixels of the text in a rectangle of the frame:
white() { "$sheetgen" count "$1" "$2" $((768 + $3)) "$4" "$5" 0xFFFFFF; }
# The first line's first cell, and its last three cells (the line holds 18 characters).
first_cell() { [ "$(white "$1" 440 100 48 64)" -gt 0 ]; }
line_end() { [ "$(white "$1" 1160 100 140 64)" -gt 0 ]; }
# The prompt's frame: column 1 (0x7E23..0x7E25) once the voice is over, column 0 while it plays.
prompt_in() {
    local id
    for id in "${@:2}"; do
        "$sheetgen" find-cell "$1" 1692 974 "$id" && return 0
    done
    return 1
}
plate_frame() { [ "$("$sheetgen" count "$1" 104 908 1 1 0xE0E8F0)" -eq 1 ]; }
name_plate() { "$sheetgen" find-cell "$1" 1600 838 0x7E30 && [ "$(white "$1" 508 22 192 40)" -gt 0 ]; }

(cd "$demo" && VESK_FRAME_DUMP=$work/frames exec ./vesk >"$work/out.txt" 2>&1) &
first=$!
typing= page= name= voice=
for _ in $(seq 1800); do
    for frame in $(ls "$work/frames" 2>/dev/null | sort -r | sed -n 2,3p); do
        f=$work/frames/$frame
        plate_frame "$f" || continue
        if [ -z "$typing" ] && first_cell "$f" && ! line_end "$f"; then
            cp "$f" "$build/demo_message_typing.png"
            typing=1
        fi
        if [ -z "$page" ] && line_end "$f" && prompt_in "$f" 0x7E23 0x7E24 0x7E25; then
            cp "$f" "$build/demo_message_page.png"
            page=1
        fi
        if [ -z "$name" ] && name_plate "$f" && prompt_in "$f" 0x7E23 0x7E24 0x7E25; then
            cp "$f" "$build/demo_message_name.png"
            name=1
        fi
        if [ -z "$voice" ] && name_plate "$f" && prompt_in "$f" 0x7E20 0x7E21 0x7E22; then
            cp "$f" "$build/demo_message_voice.png"
            voice=1
        fi
    done
    [ -n "$typing" ] && [ -n "$page" ] && [ -n "$name" ] && [ -n "$voice" ] && break
    kill -0 $first 2>/dev/null || break
    sleep 0.1
done
kill -KILL $first 2>/dev/null
wait $first 2>/dev/null
first=
grep -q 'Box\|Error' "$work/out.txt" && fail "the scene showed a message: $(cat "$work/out.txt")"
[ -n "$typing" ] || fail "no frame shows the first page part typed"
[ -n "$page" ] || fail "no frame shows the first page complete with its prompt"
[ -n "$name" ] || fail "no frame shows the speaker's name plate"
[ -n "$voice" ] || fail "no frame shows the voiced line with the voice's prompt"

if [ $failures -eq 0 ]; then
    echo "1 passed, 0 failed"
    exit 0
fi
echo "$failures failed"
exit 1
