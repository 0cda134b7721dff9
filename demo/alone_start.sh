# Sourced by the headless checks of single scenes. start_alone <demo folder> <script> makes a work
# folder removed on exit, exports the dummy drivers and the folders under it, lays out the save
# folder by a first start (ended once it has) and sets the script as the start script. It defines
# work, save, failures and fail().
start_alone() {
    local demo=$1 script=$2 first
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1
    export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
    mkdir -p "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR" "$work/frames"
    save=$XDG_DATA_HOME/vesk/demo/Save
    failures=0
    (cd "$demo" && exec ./vesk >/dev/null 2>&1) &
    first=$!
    for _ in $(seq 600); do
        [ -f "$save/config.xml" ] && break
        sleep 0.1
    done
    sleep 1
    kill -KILL $first 2>/dev/null
    wait $first 2>/dev/null
    [ -f "$save/config.xml" ] || { echo "FAIL: no config.xml"; exit 1; }
    echo "<GameFile><Script><StartUp>$script</StartUp></Script></GameFile>" >>"$save/config.xml"
}
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
