#!/usr/bin/env bash
# Runs the demo game headless for fifty seconds (the sound scene follows the pictures and
# the story) with the null audio device recording into a WAV
# file, then checks the recording: the music's fade in and loop, the chime and the voiced lines.
# The save folder starts as the initial set with the title skipped and auto mode on at full speed,
# so the story runs at once.
#   sound_test.sh <demo folder> <recording> <checker> <initial save set folder>
set -u
demo=$1
recording=$2
checker=$3
initial=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1
export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_DATA_HOME/vesk/demo/Save" "$XDG_RUNTIME_DIR"
cp "$initial"/* "$XDG_DATA_HOME/vesk/demo/Save/"
sed -i -e 's|</Config>|<Demo><SkipTitle>1</SkipTitle></Demo><AutoMesSpeed>100</AutoMesSpeed><AutoVoiceWait>1</AutoVoiceWait></Config>|' \
    -e 's|<AutoRead>0</AutoRead>|<AutoRead>1</AutoRead>|' -e 's|</MesWnd>|<Speed>100</Speed></MesWnd>|' \
    "$XDG_DATA_HOME/vesk/demo/Save/config.xml"
grep -q '<AutoRead>1</AutoRead>' "$XDG_DATA_HOME/vesk/demo/Save/config.xml" || { echo "FAIL: auto mode not set"; exit 1; }
rm -f "$recording"
# The story keeps running after its sounds; the recording is a valid file at every moment.
(cd "$demo" && VESK_SOUND_DUMP=$recording exec timeout -s KILL 50 ./vesk >"$work/out.txt" 2>&1) 2>/dev/null
if grep -q 'Box\|Error' "$work/out.txt"; then
    echo "FAIL: the game showed a message: $(cat "$work/out.txt")"
    exit 1
fi
"$checker" "$recording"
