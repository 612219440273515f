#!/usr/bin/env bash
# Peak memory and time of quorin-batch importing, saving and opening generated files.
# Usage: scripts/peak-memory.sh [path/to/quorin-batch]   (default build-release/src/batch/quorin-batch)
set -euo pipefail
batch=${1:-build-release/src/batch/quorin-batch}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
python3 "$(dirname "$0")/gen-csv.py" "$dir"
for name in 100k_x20 1m_x20 10k_x1000; do
  csv="$dir/$name.csv"; tvq="$dir/$name.tvq"
  # Import and save; then open the saved document and save it again.
  printf 'importfile(%s,1,0,0,1,0,0,0,0)\r\n' "$csv" >"$dir/import.txt"
  printf 'open(%s)\r\n' "$tvq" >"$dir/resave.txt"
  for step in import resave; do
    if [ $step = import ]; then out=$tvq; else out=$dir/again.tvq; fi
    /usr/bin/time -v "$batch" -o "$out" "$dir/$step.txt" >/dev/null 2>"$dir/time.txt" || true
    peak=$(awk -F': ' '/Maximum resident/ {print $2}' "$dir/time.txt")
    wall=$(awk -F': ' '/Elapsed \(wall/ {print $2}' "$dir/time.txt")
    printf '%-10s %-7s wall %-9s peak %6d MB  csv %d MB  tvq %d MB\n' "$name" "$step" "$wall" \
      $((peak / 1024)) $(( $(stat -c %s "$csv") >> 20 )) $(( $(stat -c %s "$tvq" 2>/dev/null || echo 0) >> 20 ))
  done
done
