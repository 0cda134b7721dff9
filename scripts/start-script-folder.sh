# Sourced by the measure scripts, from the built demo's folder.
# start_script_folder WORK SCRIPT [ENV=VALUE...]: a first start lays out a save folder under WORK,
# whose configuration then names SCRIPT as the start script.
start_script_folder() {
    local work=$1 script=$2
    shift 2
    # It ends itself after 20 frames, the folder laid out and its configuration written, however
    # long a busy machine takes; the kill is a net for a hang.
    env XDG_DATA_HOME="$work" XDG_RUNTIME_DIR="$work" "$@" VESK_CLOSE_AFTER_FRAMES=20 \
        timeout -s KILL 300 ./vesk >/dev/null 2>&1 || true
    echo "<GameFile><Script><StartUp>$script</StartUp></Script></GameFile>" >>"$work/vesk/demo/Save/config.xml"
}
