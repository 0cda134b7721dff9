#!/usr/bin/env bash
# Runs the demo's movie scene headless on its own (its end ends the game), keeping every frame
# and the sound, then checks them: the first movie's numbered pictures in order, a cross-fade
# that blends the first into the second, the second and the looped third movie, and sound.
# Four frames are kept as <build>/demo_movie_*.png.
#   movie_test.sh <demo folder> <moviecheck> <build folder>
set -u
demo=$1
check=$2
build=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1
export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR" "$work/frames"
save=$XDG_DATA_HOME/vesk/demo/Save
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A first short start lays out the save folder; the scene then runs as the start script.
(cd "$demo" && VESK_CLOSE_AFTER_FRAMES=20 timeout -s KILL 60 ./vesk >/dev/null 2>&1)
[ -f "$save/config.xml" ] || { echo "FAIL: no config.xml"; exit 1; }
echo '<GameFile><Script><StartUp>movie.mes</StartUp></Script></GameFile>' >>"$save/config.xml"
(cd "$demo" && VESK_FRAME_DUMP=$work/frames VESK_AUDIO_DUMP=$work/sound.wav timeout -s KILL 120 ./vesk \
    >"$work/out.txt" 2>&1) || fail "the scene exited with $?"
grep -q 'Box\|Error' "$work/out.txt" && fail "the scene showed a message: $(cat "$work/out.txt")"

first=0 last_first=-1 blend="" second="" third=0 order_ok=1 previous=-1
for frame in "$work"/frames/*.png; do
    read -r number tint < <("$check" frame "$frame") || continue
    if [ "$number" -ge 0 ] && [ "$number" -le 49 ] && [ "$tint" = "3060C0" ]; then
        [ "$number" -lt "$previous" ] && order_ok=0
        previous=$number
        [ $first -eq 0 ] && cp "$frame" "$build/demo_movie_first.png"
        first=$((first + 1)) last_first=$number
    elif [ -z "$second" ] && [ $first -gt 0 ] && [ "$tint" != "3060C0" ] && [ "$tint" != "C06030" ]; then
        blend=$frame
        cp "$frame" "$build/demo_movie_crossfade.png"
        second=pending
    elif [ "$number" -ge 100 ] && [ "$number" -le 149 ] && [ "$tint" = "C06030" ]; then
        [ "$second" != "seen" ] && cp "$frame" "$build/demo_movie_second.png"
        second=seen
    elif [ "$number" -ge 200 ] && [ "$number" -le 224 ]; then
        [ $third -eq 0 ] && cp "$frame" "$build/demo_movie_third.png"
        third=$((third + 1))
    fi
done
[ $first -ge 10 ] || fail "only $first frames of the first movie"
[ $order_ok -eq 1 ] || fail "the first movie's frames came out of order"
[ -n "$blend" ] || fail "no frame blends the first movie into the second"
[ "$second" = "seen" ] || fail "the second movie was not shown after the cross-fade"
[ $third -ge 25 ] || fail "only $third frames of the looped third movie"
peak=$("$check" peak "$work/sound.wav") || fail "no sound capture"
[ "${peak:-0}" -gt 300 ] || fail "the movies were not heard (peak ${peak:-none})"

if [ $failures -eq 0 ]; then
    echo "movie scene passed: $first first, $third third frames, sound peak $peak"
    exit 0
fi
echo "$failures failed"
exit 1
