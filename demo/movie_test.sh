#!/usr/bin/env bash
# Runs the demo's movie scene headless on its own (its end ends the game), keeping every frame
# and the sound, then checks them: the first movie's numbered pictures in order, a cross-fade
# that blends the first into the second, the second and the third movie, and sound. That the
# looped third movie started again is heard: its 1 s track plays for longer than itself, as every
# mixed frame is kept whatever the load (a busy machine drops late pictures, never sound).
# Four frames are kept as <build>/demo_movie_*.png. With a folder holding a libavutil that cannot
# be loaded, the scene is played again without FFmpeg.
#   movie_test.sh <demo folder> <moviecheck> <build folder> <initial save set folder> [folder]
set -u
demo=$1
check=$2
build=$3
initial=$4
no_ffmpeg=${5:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1
export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR" "$work/frames"
save=$XDG_DATA_HOME/vesk/demo/Save
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The save folder starts as the initial set, as a first start lays it out; the scene then runs
# as the start script.
mkdir -p "$save"
cp "$initial"/* "$save/"
[ -f "$save/config.xml" ] || { echo "FAIL: no config.xml"; exit 1; }
echo '<GameFile><Script><StartUp>movie_alone.mes</StartUp></Script></GameFile>' >>"$save/config.xml"
# The scene's end ends the game; else it closes itself after 200,000 of its turns, and the kill is
# a net for a hang.
: >"$work/input.txt"
(cd "$demo" && VESK_INPUT_SCRIPT=$work/input.txt VESK_CLOSE_AFTER_FRAMES=200000 VESK_FRAME_DUMP=$work/frames \
    VESK_SOUND_DUMP=$work/sound.wav timeout -s KILL 600 ./vesk >"$work/out.txt" 2>&1) ||
    fail "the scene exited with $?"
grep -q 'Box\|Error' "$work/out.txt" && fail "the scene showed a message: $(cat "$work/out.txt")"

# Which clip a frame shows, by the colour below its number blocks (the encoder moves it a little).
clip_of() { # RRGGBB
    local r=$((16#${1:0:2})) g=$((16#${1:2:2})) b=$((16#${1:4:2})) name tint d
    for name in first:3060C0 second:C06030 third:30A050; do
        tint=${name#*:}
        d=$(( ${r}-16#${tint:0:2} )); [ $d -lt 0 ] && d=$((-d)); [ $d -gt 24 ] && continue
        d=$(( ${g}-16#${tint:2:2} )); [ $d -lt 0 ] && d=$((-d)); [ $d -gt 24 ] && continue
        d=$(( ${b}-16#${tint:4:2} )); [ $d -lt 0 ] && d=$((-d)); [ $d -gt 24 ] && continue
        echo "${name%%:*}"
        return
    done
    echo blend
}

nearest=""
first=0 blend=0 second=0 third=0 order_ok=1 previous=-1 third_numbers=""
for frame in "$work"/frames/*.png; do
    read -r number tint < <("$check" frame "$frame") || continue
    [ "$tint" = "000000" ] && continue # before the first picture
    case $(clip_of "$tint") in
    first)
        [ "$number" -lt "$previous" ] && order_ok=0
        previous=$number
        [ $first -eq 0 ] && cp "$frame" "$build/demo_movie_first.png"
        first=$((first + 1)) ;;
    blend)
        # Keep the frame nearest the half-way mix of the two movies' colours.
        r=$((16#${tint:0:2} - 0x78)) g=$((16#${tint:2:2} - 0x5F)) b=$((16#${tint:4:2} - 0x79))
        d=$((r * r + g * g + b * b))
        if [ $first -gt 0 ] && { [ -z "$nearest" ] || [ $d -lt $nearest ]; }; then
            nearest=$d
            cp "$frame" "$build/demo_movie_crossfade.png"
        fi
        blend=$((blend + 1)) ;;
    second)
        [ $second -eq 0 ] && cp "$frame" "$build/demo_movie_second.png"
        [ "$number" -ge 100 ] && [ "$number" -le 199 ] || order_ok=0
        second=$((second + 1)) ;;
    third)
        [ $third -eq 0 ] && cp "$frame" "$build/demo_movie_third.png"
        third_numbers="$third_numbers $number"
        third=$((third + 1)) ;;
    esac
done
# About 30 at full speed; a busy machine drops late frames, as a player's would.
[ $first -ge 5 ] || fail "only $first frames of the first movie"
[ $order_ok -eq 1 ] || fail "frames came out of order or with the wrong numbers"
[ $blend -ge 1 ] || fail "no frame blends the first movie into the second"
[ $second -ge 1 ] || fail "the second movie was not shown after the cross-fade"
# The third movie's 550 Hz track lasts 1,000 ms: heard for 1,100 or more, it played again. On a
# quiet machine it starts again at about 1,050 ms of the scene's 2,100 ms of playing.
third_heard=$("$check" tone "$work/sound.wav" 550) || fail "no sound capture"
[ "${third_heard:-0}" -ge 1100 ] ||
    fail "the third movie did not start again: its 1,000 ms track was heard for ${third_heard:-no} ms"
peak=$("$check" peak "$work/sound.wav") || fail "no sound capture"
[ "${peak:-0}" -gt 300 ] || fail "the movies were not heard (peak ${peak:-none})"

# Without FFmpeg's libraries (one that cannot be loaded stands first in the search) the scene plays
# on without its movies, says so once and ends as it does with them.
if [ -n "$no_ffmpeg" ]; then
    (cd "$demo" && LD_LIBRARY_PATH=$no_ffmpeg VESK_INPUT_SCRIPT=$work/input.txt VESK_CLOSE_AFTER_FRAMES=200000 \
        timeout -s KILL 600 ./vesk >"$work/out.txt" 2>&1) || fail "the scene without FFmpeg exited with $?"
    [ "$(grep -c 'FFmpeg cannot be loaded' "$work/out.txt")" = 1 ] ||
        fail "the scene without FFmpeg did not say so once: $(cat "$work/out.txt")"
fi

counts="$first first, $blend blended, $second second, $third third frames, the third's track heard ${third_heard:-no} ms, sound peak ${peak:-none}"
if [ $failures -eq 0 ]; then
    echo "movie scene passed: $counts"
    exit 0
fi
echo "$failures failed: $counts; the third movie's frame numbers:${third_numbers:- none}"
exit 1
