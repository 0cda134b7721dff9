# Sourced by the headless checks of single scenes. start_alone <demo folder> <script> makes a work
# folder removed on exit, exports the dummy drivers and the folders under it, lays out the save
# folder by a first start (ended once it has, and has turned a while since) and sets the script as
# the start script. It defines work, save, failures and fail(), and the watch of watch.sh.
start_alone() {
    local demo=$1 script=$2 first
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1
    export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
    mkdir -p "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR" "$work/frames"
    save=$XDG_DATA_HOME/vesk/demo/Save
    failures=0
    . "$(dirname "${BASH_SOURCE[0]}")/watch.sh"
    : >"$work/first.txt"
    (cd "$demo" && VESK_INPUT_SCRIPT=$work/first.txt exec ./vesk >/dev/null 2>&1) &
    first=$!
    watch_start "$work/first.txt"
    while watch_going 60000; do
        [ -f "$save/config.xml" ] && break
    done
    watch_start "$work/first.txt"
    while watch_going 300; do :; done
    kill -KILL $first 2>/dev/null
    wait $first 2>/dev/null
    [ -f "$save/config.xml" ] || { echo "FAIL: no config.xml"; exit 1; }
    echo "<GameFile><Script><StartUp>$script</StartUp></Script></GameFile>" >>"$save/config.xml"
}
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
