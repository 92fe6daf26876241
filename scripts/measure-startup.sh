#!/usr/bin/env bash
# Prints the milliseconds from process start to the main window's first paint, for each of
# several starts, and their median. Needs a display (run it under xvfb-run).
set -euo pipefail
probe="${1:-build/release/bench/startup_probe}"
runs="${2:-9}"
times=()
for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    painted=$("$probe" 2>/dev/null)
    times+=($(( (painted - start) / 1000000 )))
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "start to first paint (ms): ${sorted[*]}"
echo "median: ${sorted[$(( runs / 2 ))]} ms"
