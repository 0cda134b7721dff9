#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/) and runs each one for SECONDS (default
# 60), one after another, from its seed corpus. Inputs that find new paths gather in
# build-fuzz/corpus/<target>/; crashes, hangs (an input over one second) and out-of-memory inputs
# land in fuzz/regressions/<target>/, which the test suite replays. A summary of executions and
# coverage per target ends the run. Every target runs whatever the others do (one that does not
# build or cannot start counts as a failure); the run ends by naming each target that failed, with
# status 1. `ctest --test-dir build-fuzz` runs each target once over its seeds and saved inputs in
# this build.
# VESK_FUZZ_TIMEOUT (seconds, default 1) is the wall-clock time that makes an input a hang: raise
# it when the targets share a loaded machine, or starved inputs are saved as hangs.
#   scripts/fuzz.sh [seconds] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
hang_seconds="${VESK_FUZZ_TIMEOUT:-1}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(xml_document archive lzss lang_text_table flag_arc akb script script_value_table wave
        flag_buffer hit_area_table cast_names ogg face_voice read_buffer media_file slot_table thumbnail
        cg_tables walk_map mover_block event_areas slot_move_journal slot_move_recovery script_commands movie_container
        movie_pipeline)
fi

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVESK_FUZZ=ON -DVESK_BUILD_TESTS=OFF -DVESK_BUILD_BENCH=OFF >/dev/null
# Built together, and target by target when that fails, so that one that does not build stops
# only itself.
failed=()
runnable=()
if cmake --build build-fuzz -j "$(nproc)" --target fuzz_corpus "${targets[@]/#/fuzz_}"; then
    runnable=("${targets[@]}")
else
    cmake --build build-fuzz -j "$(nproc)" --target fuzz_corpus || { echo "the seed corpora do not build" >&2; exit 1; }
    for target in "${targets[@]}"; do
        if cmake --build build-fuzz -j "$(nproc)" --target "fuzz_$target"; then
            runnable+=("$target")
        else
            failed+=("$target (does not build)")
        fi
    done
fi

export VESK_HEADLESS=1
summary=()
for target in "${runnable[@]}"; do
    corpus="build-fuzz/corpus/$target"
    saved="fuzz/regressions/$target"
    log="build-fuzz/fuzz-$target.log"
    mkdir -p "$corpus" "$saved"
    echo "== $target: $seconds s"
    status=0
    # The command groups size memory from the script, a movie its pictures from the stream: any
    # single allocation past the limit is a find.
    extra=()
    [ "$target" != script_commands ] || extra=(-malloc_limit_mb=512)
    [ "$target" != movie_pipeline ] || extra=(-malloc_limit_mb=256)
    "./build-fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout="$hang_seconds" -rss_limit_mb=2048 "${extra[@]}" \
        -artifact_prefix="$saved/" -print_final_stats=1 "$corpus" "build-fuzz/fuzz-corpus/$target" \
        >"$log" 2>&1 || status=$?
    # A log without a status line is a target that never ran: the figures stay "?".
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1 || true)
    last=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
    cov=$(echo "$last" | grep -o 'cov: [0-9]*' | grep -o '[0-9]*' || true)
    features=$(echo "$last" | grep -o 'ft: [0-9]*' | grep -o '[0-9]*' || true)
    [ "$status" -eq 0 ] || failed+=("$target (status $status, see $log)")
    summary+=("$(printf '%-20s executions %-10s coverage %-6s features %-6s %s' "$target" "${runs:-?}" \
        "${cov:-?}" "${features:-?}" "$([ "$status" -eq 0 ] && echo ok || echo "FOUND (see $log)")")")
done
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
    echo "failed: ${#failed[@]} of ${#targets[@]} targets" >&2
    printf '  %s\n' "${failed[@]}" >&2
    exit 1
fi
