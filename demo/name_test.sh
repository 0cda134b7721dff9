#!/usr/bin/env bash
# Runs the demo's name scene headless on its own in Japanese until the name entry shows its kana
# page with the default name and the caret on its first character; that frame is kept as
# <build>/demo_name_entry.png and the game is ended.
#   name_test.sh <demo folder> <sheetgen> <build folder>
set -u
demo=$1
sheetgen=$2
build=$3
work=$(mktemp -d)
game=
trap '[ -n "$game" ] && kill -KILL $game 2>/dev/null; rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1
export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR" "$work/frames"
save=$XDG_DATA_HOME/vesk/demo/Save

# A first short start lays out the save folder; the scene then runs as the start script.
# It ends itself after its 20 loop turns, with the folder and its configuration written.
(cd "$demo" && VESK_CLOSE_AFTER_FRAMES=20 timeout -s KILL 120 ./vesk >/dev/null 2>&1)
[ -f "$save/config.xml" ] || { echo "FAIL: no config.xml"; exit 1; }
sed -i 's|</Config>|<Language>3</Language></Config>|' "$save/config.xml"
echo '<GameFile><Script><StartUp>name_alone.mes</StartUp></Script></GameFile>' >>"$save/config.xml"
lock="$XDG_RUNTIME_DIR/vesk-mutex-__VESK_DEMO__.lock"
. "$(dirname "$0")/watch.sh"
: >"$work/input.txt"
shown=
status=
# A start that finds the first one's lock still held ends at once: it is tried again.
for attempt in 1 2 3; do
    for _ in $(seq 100); do
        flock -n "$lock" true 2>/dev/null && break
        sleep 0.1
    done
    rm -f "$work"/frames/* "$work/input.txt.turn"
    (cd "$demo" && VESK_INPUT_SCRIPT=$work/input.txt VESK_FRAME_DUMP=$work/frames exec ./vesk >"$work/out.txt" 2>&1) &
    game=$!
    watch_start "$work/input.txt"
    while watch_going 60000; do
        frame=$(ls "$work/frames" 2>/dev/null | sort | tail -n 2 | head -n 1)
        # The caret piece on the first character cell, and あ's cell of the kana page; the
        # entry's two bands drawn on the ground show past the name and the composition.
        if [ -n "$frame" ] && "$sheetgen" find-cell "$work/frames/$frame" 790 1006 0x600 &&
            "$sheetgen" find-cell "$work/frames/$frame" 505 106 0x1000 &&
            "$sheetgen" find-cell "$work/frames/$frame" 1380 1010 0x604 &&
            "$sheetgen" find-cell "$work/frames/$frame" 1300 900 0x603; then
            cp "$work/frames/$frame" "$build/demo_name_entry.png"
            shown=1
            break
        fi
        kill -0 $game 2>/dev/null || break
    done
    kill -KILL $game 2>/dev/null
    wait $game 2>/dev/null
    status=$?
    game=
    [ -n "$shown" ] && break
done
if [ -z "$shown" ]; then
    echo "FAIL: the name entry's kana page was not shown (status $status): $(cat "$work/out.txt")"
    exit 1
fi
echo "1 passed, 0 failed"
