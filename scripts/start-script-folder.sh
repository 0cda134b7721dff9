# Sourced by the measure scripts, from the built demo's folder.
# start_script_folder WORK SCRIPT [ENV=VALUE...]: a first start lays out a save folder under WORK,
# whose configuration then names SCRIPT as the start script.
start_script_folder() {
    local work=$1 script=$2 first
    shift 2
    env XDG_DATA_HOME="$work" XDG_RUNTIME_DIR="$work" "$@" ./vesk >/dev/null 2>&1 &
    first=$!
    for _ in $(seq 600); do
        [ -f "$work/vesk/demo/Save/config.xml" ] && break
        sleep 0.1
    done
    sleep 1
    kill -KILL "$first" 2>/dev/null || true
    wait "$first" 2>/dev/null || true
    echo "<GameFile><Script><StartUp>$script</StartUp></Script></GameFile>" >>"$work/vesk/demo/Save/config.xml"
}
