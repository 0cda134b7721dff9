#!/usr/bin/env bash
# Runs the demo game headless for thirty-five seconds (the sound scene follows the pictures and
# the story) with the null audio device recording into a WAV
# file, then checks the recording: the music's fade in and loop, the chime and the voiced lines.
#   sound_test.sh <demo folder> <recording> <checker>
set -u
demo=$1
recording=$2
checker=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1
export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
rm -f "$recording"
# The story keeps running after its sounds; the recording is a valid file at every moment.
(cd "$demo" && VESK_SOUND_DUMP=$recording exec timeout -s KILL 35 ./vesk >"$work/out.txt" 2>&1) 2>/dev/null
if grep -q 'Box\|Error' "$work/out.txt"; then
    echo "FAIL: the game showed a message: $(cat "$work/out.txt")"
    exit 1
fi
"$checker" "$recording"
