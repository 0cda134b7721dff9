#!/usr/bin/env bash
# Runs one of the demo's extras scenes headless on its own (<scene>_alone.mes), driven by the
# scripted input input/<scene>.txt, and reads its frames back in order: each checkpoint is the
# first frame after the previous checkpoint's that shows all of its cells, kept as
# <build>/demo_<scene>_<checkpoint>.png.
# The music room's run also records its sound (<build>/demo_music.wav), leaves the room and ends,
# and the recording and the stored music volume are checked.
#   extras_test.sh <demo folder> <sheetgen> <flagwrite> <build folder> <gallery|replay|music>
#                  <sound checker>
set -u
demo=$1
sheetgen=$2
flagwrite=$3
build=$4
scene=$5
soundcheck=$6
here=$(cd "$(dirname "$0")" && pwd)
input=$here/input/$scene.txt
. "$(dirname "$0")/alone_start.sh"
start_alone "$demo" "${scene}_alone.mes"

# The run is watched and ended once a frame shows the scene's last checkpoint (a modal screen
# keeps the close box waiting), however busy the machine; else after 400,000 of the game's turns,
# a safety net. The music
# room's run closes itself once the room is left, writing the configuration as it ends.
sound=$work/sound.wav
close=
case $scene in
gallery) final=(1080,841,0x500) ;;
replay) final=(1131,245,0x3631 1629,245,0x3632) ;;
music) final=() sound=$build/demo_music.wav close=8000 ;;
esac
rm -f "$sound"
# The script is the game's own copy: its turn count is kept beside it.
cp "$input" "$work/input.txt"
. "$(dirname "$0")/watch.sh"
(cd "$demo" && VESK_INPUT_SCRIPT=$work/input.txt VESK_FRAME_DUMP=$work/frames VESK_SOUND_DUMP=$sound \
    VESK_CLOSE_AFTER_FRAMES=$close exec ./vesk >"$work/out.txt" 2>&1) &
run=$!
watch_start "$work/input.txt"
while watch_going 400000; do
    for frame in $([ ${#final[@]} -gt 0 ] && ls "$work/frames" 2>/dev/null | sort -r | head -n 3); do
        "$sheetgen" find-cells "$work/frames/$frame" "${final[@]}" && break 2
    done
    kill -0 $run 2>/dev/null || break
done
# The flag tool's listing of a game-state file of the save folder.
flags() { "$flagwrite" --dump flag "$save/$1" 2>&1; }
# What the scene has written into flag file 0 by its last checkpoint, waited for before the game is
# ended (the checks below say what is missing).
case $scene in
gallery) kept=('flag 3300 15' 'flag 1998 1') ;;
replay) kept=('flag 3102 1') ;;
music) kept=() ;;
esac
flags_kept() {
    local listing line
    listing=$(flags FLAG000)
    for line in "${kept[@]}"; do
        grep -qxF "$line" <<<"$listing" || return 1
    done
}
watch_start "$work/input.txt"
while ! flags_kept && watch_going 10000; do
    kill -0 $run 2>/dev/null || break
done
kill -KILL $run 2>/dev/null
wait $run 2>/dev/null
grep -q 'Box\|Error' "$work/out.txt" && fail "the scene showed a message: $(cat "$work/out.txt")"

mapfile -t frames < <(ls "$work/frames" | sort | sed "s|^|$work/frames/|")
next=0
# checkpoint <name> <x>,<y>,<id>[,<state>]...
checkpoint() {
    local name=$1 found
    shift
    found=$("$sheetgen" find-first "$@" -- "${frames[@]:next}")
    if [ -z "$found" ]; then
        fail "no frame shows $name ($*)"
        return 1
    fi
    while [ "${frames[$next]}" != "$found" ]; do
        next=$((next + 1))
    done
    next=$((next + 1))
    cp "$found" "$build/demo_${scene}_$name.png"
}
case $scene in
gallery)
    # The gallery at page level: the first row's second variant from its row sheet, the second
    # row locked, the third row from the page sheet; each seen through the picture command.
    checkpoint page 633,245,0x3531 1131,245,0x1B31 1629,245,0x3432
    # The first CG in the viewer's page mode: its first variant locked, the second seen.
    checkpoint viewer_page 689,471,0x1B31 1209,471,0x3531
    # The second variant, its base with the overlay over the middle.
    checkpoint variant 300,900,0x3A5A 960,540,0x3A7A
    # Stepped on past the unseen variant into the third CG, twice the screen's height: its top,
    # then panned by a drag of 600 pixels and a wheel step of one (its lower half starts at 1080).
    checkpoint tall_top 960,540,0x3A5D 960,1000,0x3A5D
    checkpoint tall_dragged 960,479,0x3A5D 960,480,0x3A6D
    checkpoint tall_wheeled 960,478,0x3A5D 960,479,0x3A6D
    # Back in the gallery, the group unlocked: the second row, locked before, from the page sheet.
    checkpoint unlocked 1131,245,0x3431 1629,245,0x3432
    # The music room's tab: the gallery ends with 100 and the music room (its play button) follows.
    checkpoint music_room 1080,841,0x500
    flags FLAG000 | grep -qx 'flag 3300 15' ||
        fail "flag file 0 does not hold the unlocked group's seen bits: $(flags FLAG000 | grep 'flag 33')"
    flags FLAG000 | grep -qx 'flag 1998 1' ||
        fail "flag file 0 does not keep the current flags: $(flags FLAG000 | grep 'flag 19')"
    ;;
replay)
    # The list's heroines, its own tab current beside them.
    checkpoint grid 543,213,0,0 839,213,1,0 30,401,257,2
    # Her first page in the scene list: her first scene seen, the second locked.
    checkpoint list 633,245,0x3630 1131,245,0x1B31
    # The replay, then the list again on the scene's page.
    checkpoint replay 960,540,0x3A5A
    checkpoint back 1131,245,0x1B31 1732,53,0x500
    # The unlock: the scenes locked before shown.
    checkpoint unlocked 1131,245,0x3631 1629,245,0x3632
    # The list comes back over the extras' backdrop, as the title's own replay does, not over the
    # replayed CG: the screen's lower right corner is free of the list.
    for shot in back unlocked; do
        "$sheetgen" find-cell "$build/demo_replay_$shot.png" 1700 1000 0x3A5A &&
            fail "the list's $shot frame stands over the replayed CG"
    done
    flags FLAG000 | grep -qx 'flag 3102 1' || fail "flag file 0 does not hold the unlocked scenes"
    ;;
music)
    # Listed tracks only: the first theme, not the track heard twice.
    checkpoint listed 1663,142,0x1920,0 1663,190,0x1921,3
    # The first row plays: its picture; next: the next listed track's picture.
    checkpoint playing 900,400,0x1A40
    checkpoint next 900,400,0x1A4B
    # The knob dragged from a half to a fifth, the bar empty beyond it.
    checkpoint slider 542,831,0x401 705,831,0x1962
    volume=$(sed -n '/<Music>/,/<\/Music>/s|.*<Volume>\([0-9]*\)</Volume>.*|\1|p' "$save/config.xml")
    echo "stored music volume: ${volume:-none}"
    [ "$volume" = 20 ] || fail "config.xml holds the music volume ${volume:-none}, not the dragged 20"
    "$soundcheck" --music-room "$sound" "${volume:-0}" || fail "the music room's recording"
    ;;
esac

if [ $failures -eq 0 ]; then
    echo "1 passed, 0 failed"
    exit 0
fi
echo "$failures failed"
exit 1
