#!/usr/bin/env bash
# Runs the demo game headless into its title with the frame dump on: the title animation plays,
# then the main page shows its buttons over the title background. A frame of the animation and the
# first frame of the main page are kept as demo_title_anime.png and demo_title_page0.png in the
# build folder. In a fresh save folder (no save made yet) continue and load are drawn disabled; in
# a second run, once the system file says a quick save exists, continue is drawn enabled
# (demo_title_continue.png).
#   title_test.sh <demo folder> <initial save set folder> <sheetgen> <build folder> [<flagwrite>]
set -u
demo=$1
initial=$2
sheetgen=$3
build=$4
flagwrite=${5:-}
work=$(mktemp -d)
game=
trap '[ -n "$game" ] && kill -KILL $game 2>/dev/null; rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1
export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
save=$XDG_DATA_HOME/vesk/demo/Save
mkdir -p "$save" "$XDG_RUNTIME_DIR" "$work/frames"
cp "$initial"/* "$save/"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
. "$(dirname "$0")/watch.sh"
: >"$work/input.txt"

# Runs the game until the main page shows; its frame in $page.
run_to_page() {
    rm -rf "$work/frames" "$work/input.txt.turn" && mkdir -p "$work/frames"
    (cd "$demo" && VESK_INPUT_SCRIPT="$work/input.txt" VESK_FRAME_DUMP="$work/frames" exec ./vesk \
        >"$work/out.txt" 2>&1) &
    game=$!
    # Button centres: start (64 + 246, 504 + 39), continue 87 lower, load 87 lower again.
    page=
    watch_start "$work/input.txt"
    while watch_going 150000; do
        frame=$(ls "$work/frames" 2>/dev/null | sort | tail -n 2 | head -n 1)
        if [ -n "$frame" ] && "$sheetgen" find-cell "$work/frames/$frame" 310 543 0 0; then
            page=$work/frames/$frame
            break
        fi
        kill -0 $game 2>/dev/null || break
    done
    kill -KILL $game 2>/dev/null
    wait $game 2>/dev/null
    game=
}
run_to_page
anime=$(ls "$work/frames" | sort | sed -n 100p)
if [ -n "$anime" ]; then
    cp "$work/frames/$anime" "$build/demo_title_anime.png"
else
    fail "the animation left no frames"
fi
if [ -n "$page" ]; then
    cp "$page" "$build/demo_title_page0.png"
    "$sheetgen" find-cell "$page" 310 630 1 3 || fail "continue is not drawn disabled"
    "$sheetgen" find-cell "$page" 310 717 2 3 || fail "load is not drawn disabled"
    "$sheetgen" find-cell "$page" 310 978 5 0 || fail "exit is not drawn normal"
else
    fail "the title's main page was not shown"
fi
grep -q 'Box\|Error' "$work/out.txt" && fail "the game showed a message: $(cat "$work/out.txt")"

# The same folder once a quick save exists (variable 57 of the system file): continue is enabled.
if [ -n "$flagwrite" ]; then
    "$flagwrite" --dump flag "$save/FLAG000" >"$work/system.txt" && echo "variable 57 1" >>"$work/system.txt" &&
        "$flagwrite" --flag "$work/system.txt" "$save/FLAG000" || fail "the system file could not be written"
    page=
    run_to_page
    if [ -n "$page" ]; then
        cp "$page" "$build/demo_title_continue.png"
        "$sheetgen" find-cell "$page" 310 630 1 0 || fail "continue is not drawn enabled after a quick save"
    else
        fail "the title's main page was not shown with a quick save"
    fi
fi

if [ $failures -eq 0 ]; then
    echo "1 passed, 0 failed"
    exit 0
fi
exit 1
