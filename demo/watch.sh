# Sourced by the headless checks that watch a running game. A game given an input script
# (VESK_INPUT_SCRIPT, an empty one will do) keeps the count of its loop's turns beside it, in
# <script>.turn; a watch is measured in those turns, which go on while a screen waits and draws
# nothing, so a busy machine that turns slower waits longer, not less.
#   watch_start <input script>   the watch starts at the game's count now
#   watch_going <turns>          sleeps a little; false once the game has turned that many turns
#                                since watch_start, or has not turned for two minutes (a hang)
#   game_turns                   the game's count
game_turns() {
    local count
    count=$(tr -dc '0-9' 2>/dev/null <"$watch_script.turn")
    echo "${count:-0}"
}
watch_start() {
    watch_script=$1
    watch_from=$(game_turns)
    watch_last=$watch_from
    watch_moved=$SECONDS
}
watch_going() {
    local now
    now=$(game_turns)
    if [ "$now" != "$watch_last" ]; then
        watch_last=$now
        watch_moved=$SECONDS
    fi
    [ $((now - watch_from)) -lt "$1" ] && [ $((SECONDS - watch_moved)) -lt 120 ] || return 1
    sleep 0.1
}
