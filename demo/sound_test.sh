#!/usr/bin/env bash
# Runs the demo game headless with the null audio device recording into a WAV file, until the
# exec scene's closing confirmation shows (the sound scene follows the pictures and the story; the
# music then plays on through the characters and the exec scene), then checks the recording: the
# music's fade in and loop, the chime and the voiced lines.
# The save folder starts as the initial set with the title skipped and auto mode on at full speed,
# so the story runs at once.
#   sound_test.sh <demo folder> <recording> <checker> <initial save set folder> <sheetgen>
set -u
demo=$1
recording=$2
checker=$3
initial=$4
sheetgen=$5
work=$(mktemp -d)
game=
trap '[ -n "$game" ] && kill -KILL $game 2>/dev/null; rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1
export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_DATA_HOME/vesk/demo/Save" "$XDG_RUNTIME_DIR"
cp "$initial"/* "$XDG_DATA_HOME/vesk/demo/Save/"
sed -i -e 's|</Config>|<Demo><SkipTitle>1</SkipTitle></Demo><AutoMesSpeed>100</AutoMesSpeed><AutoVoiceWait>1</AutoVoiceWait></Config>|' \
    -e 's|<AutoRead>0</AutoRead>|<AutoRead>1</AutoRead>|' -e 's|</MesWnd>|<Speed>100</Speed></MesWnd>|' \
    "$XDG_DATA_HOME/vesk/demo/Save/config.xml"
grep -q '<AutoRead>1</AutoRead>' "$XDG_DATA_HOME/vesk/demo/Save/config.xml" || { echo "FAIL: auto mode not set"; exit 1; }
rm -f "$recording"
# The recording is a valid file at every moment. The run is ended once the frame shows the
# confirmation, however long a busy machine takes to get there; the limit is a safety net.
mkdir -p "$work/frames"
. "$(dirname "$0")/watch.sh"
: >"$work/input.txt"
(cd "$demo" && VESK_INPUT_SCRIPT=$work/input.txt VESK_SOUND_DUMP=$recording VESK_FRAME_DUMP=$work/frames \
    exec ./vesk >"$work/out.txt" 2>&1) &
game=$!
shown=
watch_start "$work/input.txt"
while watch_going 360000; do
    frame=$(ls "$work/frames" | tail -n 1)
    if [ -n "$frame" ] && "$sheetgen" find-cell "$work/frames/$frame" 540 640 0x1D31; then
        shown=1
        break
    fi
    kill -0 $game 2>/dev/null || break
done
kill -KILL $game 2>/dev/null
wait $game 2>/dev/null
game=
[ -n "$shown" ] || { echo "FAIL: the exec scene's confirmation did not show: $(cat "$work/out.txt")"; exit 1; }
if grep -q 'Box\|Error' "$work/out.txt"; then
    echo "FAIL: the game showed a message: $(cat "$work/out.txt")"
    exit 1
fi
"$checker" "$recording"
