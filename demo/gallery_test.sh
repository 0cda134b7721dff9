#!/usr/bin/env bash
# Runs the demo's gallery scene headless on its own: the gallery reopens on heroine group 0 at
# page level, with the seen second variant of the first row from that row's sheet, the second
# row locked and the third row from the page sheet. The frame that shows them is kept as
# <build>/demo_gallery.png.
#   gallery_test.sh <demo folder> <sheetgen> <build folder>
set -u
demo=$1
sheetgen=$2
build=$3
. "$(dirname "$0")/alone_start.sh"
start_alone "$demo" "gallery_alone.mes"
# The run is watched frame by frame (a frame still being written does not read yet) and ended
# once one shows the page, however busy the machine. Cell centres: (633, 245), (1131, 245), (1629, 245).
. "$(dirname "$0")/watch.sh"
: >"$work/input.txt"
(cd "$demo" && VESK_INPUT_SCRIPT=$work/input.txt VESK_FRAME_DUMP=$work/frames exec ./vesk >"$work/out.txt" 2>&1) &
first=$!
shown=
watch_start "$work/input.txt"
while watch_going 120000; do
    for frame in $(ls "$work/frames" 2>/dev/null | sort -r | head -n 3); do
        if "$sheetgen" find-cell "$work/frames/$frame" 633 245 0x3531 &&
            "$sheetgen" find-cell "$work/frames/$frame" 1131 245 0x1B31 &&
            "$sheetgen" find-cell "$work/frames/$frame" 1629 245 0x3432; then
            cp "$work/frames/$frame" "$build/demo_gallery.png"
            shown=1
            break 2
        fi
    done
    kill -0 $first 2>/dev/null || break
done
kill -KILL $first 2>/dev/null
wait $first 2>/dev/null
grep -q 'Box\|Error' "$work/out.txt" && fail "the scene showed a message: $(cat "$work/out.txt")"
[ -n "$shown" ] || fail "no frame shows the gallery's seen and locked cells"
# The gallery's own tab pressed, the previous-page arrow disabled on the first page.
if [ -n "$shown" ]; then
    "$sheetgen" find-cell "$build/demo_gallery.png" 175 303 0x100 || fail "tab 256 is not shown"
    "$sheetgen" find-cell "$build/demo_gallery.png" 1492 867 0x400 || fail "the previous arrow is not shown"
    # Behind the page, the background as it was before the gallery (r02_0.akb), not the overlay
    # picture the composition left in its work layer.
    "$sheetgen" find-cell "$build/demo_gallery.png" 960 1060 0x3A5C || fail "the background behind the gallery is lost"
fi

if [ $failures -eq 0 ]; then
    echo "1 passed, 0 failed"
    exit 0
fi
echo "$failures failed"
exit 1
