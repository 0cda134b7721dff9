#!/usr/bin/env bash
# Builds the benchmarks and prints each figure that has an aim against it: the median over several
# rounds (each benchmark in a process of its own, its baseline timed right after it in the same
# round), the range, met or not.
#   scripts/bench.sh             every benchmark, 5 rounds
#   BENCH_ROUNDS=9 BENCH_FILTER=Quick scripts/bench.sh
# Exits 0 whatever the figures: a loaded machine moves them, so it also says how loaded it was.
set -euo pipefail
cd "$(dirname "$0")/.."

rounds="${BENCH_ROUNDS:-5}"
filter="${BENCH_FILTER:-.}"

# binary  benchmark  counter  direction  aim
AIMS="
screens    BM_QuickSave          ratio_to_floor    <= 2.5
screens    BM_DrawTownMapFrame   ratio_to_baseline <= 4
foundation BM_Query10000         ratio_to_baseline <= 1.5
script     BM_InterpretLoop      per_second        >= 50000000
graphics   BM_ComposeScene       ratio_to_baseline <= 6
graphics   BM_SpriteBatchFrame   ratio_to_baseline <= 4
script     BM_MessageCtrlSkip    per_second        >= 60
screens    BM_BacklogOpen        ratio_to_baseline <= 3
screens    BM_BacklogOpenOverOtherDrawing ratio_to_baseline <= 3
foundation BM_LzssDecode         ratio_to_baseline <= 0.4
graphics   BM_DecodeAkbIntoNewLayer ratio_to_baseline <= 2.3
"

# Why an aim cannot be met where the work it measures cannot shrink: printed under a figure
# that misses its aim.
declare -A WHY=(
    [BM_BacklogOpenOverOtherDrawing]="after another screen drew on its layers, opening clears the text layer, clears the mask's alpha and copies the page background: three whole 1080p passes, each 2-3x the baseline's three typeset messages; its floor is those passes alone"
)

./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
binaries=$(awk 'NF {print $1}' <<<"$AIMS" | sort -u)
cmake --build build -j "$(nproc)" $(for b in $binaries; do printf -- '--target bench_%s ' "$b"; done) >/dev/null

out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
load_before="$(cut -d' ' -f1-3 /proc/loadavg)"
# One process per benchmark: one that aborts loses only its own figure.
while read -r b name _; do
    [ -n "$b" ] || continue
    [[ "$name" =~ $filter ]] || continue
    echo "running $name ($rounds rounds)..." >&2
    (cd build && ./bench/bench_"$b" --benchmark_filter="^$name\$" --benchmark_repetitions="$rounds" \
        --benchmark_enable_random_interleaving=true --benchmark_format=json >"$out/$name.json" 2>"$out/$name.err") ||
        echo "$name failed: $(tail -1 "$out/$name.err")" >&2
done <<<"$AIMS"
load_after="$(cut -d' ' -f1-3 /proc/loadavg)"

printf '%-30s %14s %27s %14s  %-8s %s\n' benchmark median range aim met note

# The median of one counter of a benchmark's rounds, empty when it has none.
median_of() {
    jq -r --arg n "$2" --arg c "$3" \
        '.benchmarks[]? | select(.run_name == $n and .run_type == "iteration") | .[$c] // empty' \
        "$out/$2.json" 2>/dev/null | sort -g |
        awk '{ v[NR] = $1 } END { if (NR) print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }' || true
}
while read -r b name counter direction aim; do
    [ -n "$b" ] || continue
    [[ "$name" =~ $filter ]] || continue
    values=$(jq -r --arg n "$name" --arg c "$counter" \
        '.benchmarks[]? | select(.run_name == $n and .run_type == "iteration") | .[$c] // empty' \
        "$out/$name.json" 2>/dev/null | sort -g || true)
    error=$(jq -r --arg n "$name" '[.benchmarks[]? | select(.run_name == $n and .error_occurred) |
        .error_message][0] // empty' "$out/$name.json" 2>/dev/null || true)
    if [ -z "$values" ]; then
        printf '%-30s %14s %27s %14s  %s\n' "$name" - - "$direction $aim" "no figure${error:+: $error}"
        continue
    fi
    # What the aim is measured against: the floor (the least the job must move) and the share
    # of time spent drawing, where the benchmark reports them.
    note=""
    floor=$(median_of "$b" "$name" floor_ratio)
    [ -z "$floor" ] || note="floor $(printf '%.3g' "$floor")x"
    share=$(median_of "$b" "$name" draw_share)
    [ -z "$share" ] || note="drawing $(awk -v s="$share" 'BEGIN { printf "%d", s * 100 + 0.5 }')% of the time"
    line=$(awk -v name="$name" -v dir="$direction" -v aim="$aim" -v counter="$counter" -v note="$note" '
        { v[NR] = $1 }
        END {
            n = NR; med = (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
            met = (dir == "<=") ? (med <= aim) : (med >= aim)
            fmt = (counter == "per_second") ? "%.4g/s" : "%.3gx"
            printf "%-30s %14s %27s %14s  %-8s %s\n", name, sprintf(fmt, med),
                sprintf(fmt " - " fmt, v[1], v[n]), dir " " aim, met ? "met" : "NOT MET", note
        }' <<<"$values")
    echo "$line"
    if [[ "$line" == *"NOT MET"* && -n "${WHY[$name]:-}" ]]; then
        echo "    why: ${WHY[$name]}"
    fi
done <<<"$AIMS"
echo "load average (1, 5, 15 min) before: $load_before, after: $load_after, on $(nproc) cores"
