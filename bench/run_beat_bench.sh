#!/usr/bin/env bash
# Runs the tempo benchmark at every setting, the exact and the older timer policy
# side by side, then 120/4 again with the other core fully loaded.
# Usage: bench/run_beat_bench.sh [build-dir]   (about seventeen minutes: 200 beats at 40/4 alone take five)
set -euo pipefail
BUILD=${1:-build}
BIN="$BUILD/bench/beat_bench"
BEATS=${BEATS:-200}
SETTINGS=("120 4" "96 4" "200 8" "240 32" "40 4")
out=$(mktemp -d)
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$out}

# The exact policy one setting at a time on an otherwise idle machine; then the
# older policy, all settings at once (it draws nothing and its errors are large
# enough not to need an idle machine).
i=0
for s in "${SETTINGS[@]}"; do
    set -- $s
    "$BIN" --tempo "$1" --unit "$2" --beats "$BEATS" > "$out/exact$i"
    i=$((i + 1))
done
i=0
for s in "${SETTINGS[@]}"; do
    set -- $s
    "$BIN" --tempo "$1" --unit "$2" --beats "$BEATS" --literal > "$out/literal$i" &
    i=$((i + 1))
done
wait
for j in $(seq 0 $((i - 1))); do cat "$out/exact$j" "$out/literal$j"; done

echo "ratio of tempo errors (literal / exact):"
for j in $(seq 0 $((i - 1))); do
    e=$(grep -o 'error *[+-][0-9.]*' "$out/exact$j" | awk '{print $2}')
    l=$(grep -o 'error *[+-][0-9.]*' "$out/literal$j" | awk '{print $2}')
    awk -v e="$e" -v l="$l" -v s="${SETTINGS[$j]}" 'BEGIN { ae = e < 0 ? -e : e; al = l < 0 ? -l : l;
        if (ae < 1e-6) ae = 1e-6; printf "  %-7s %10.0fx\n", s, al / ae }'
done

echo "with the other core fully loaded:"
nice -n 0 bash -c 'while :; do :; done' & LOAD=$!

"$BIN" --tempo 120 --unit 4 --beats "$BEATS" || true
kill $LOAD
rm -rf "$out"
