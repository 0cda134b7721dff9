#!/usr/bin/env bash
# scripts/run.sh on a terminal 150 columns wide (a pseudo-terminal from script(1)), over a stand-in
# build whose progress line is 128 characters long: the line is shown whole, not cut at 80.
#   run_width_test.sh <source folder>
set -euo pipefail
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/scripts" "$tree/build/demo" "$tree/bin"
cp "$1/scripts/run.sh" "$tree/scripts/"
printf '#!/bin/sh\nexit 0\n' >"$tree/scripts/install-deps.sh"
touch "$tree/build/CMakeCache.txt" "$tree/build/build.ninja"
printf '#!/bin/sh\nexit 0\n' >"$tree/build/demo/vesk"
line="[1/2] Drawing $(printf 'x%.0s' $(seq 110)) end"
printf '#!/bin/sh\necho "%s"\n' "$line" >"$tree/bin/cmake"
chmod +x "$tree/scripts/"*.sh "$tree/build/demo/vesk" "$tree/bin/cmake"

shown=$(PATH="$tree/bin:$PATH" script -qec "stty cols 150 rows 40; '$tree/scripts/run.sh'" /dev/null)
if [[ $shown != *"$line"* ]]; then
    echo "FAIL: the ${#line}-character progress line was not shown whole on a 150-column terminal:"
    echo "$shown" | cat -v
    exit 1
fi
echo "PASS"
