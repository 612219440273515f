#!/usr/bin/env bash
# Peak memory and time of quorin-batch importing and saving generated files, then opening the
# saved documents and saving them again (a run always saves), with the ratio of the peak to
# the document's size.
# Usage: scripts/peak-memory.sh [path/to/quorin-batch [folder of generated CSVs]]
#   (default build-release/src/batch/quorin-batch; CSVs missing from the folder are generated)
set -euo pipefail
batch=${1:-build-release/src/batch/quorin-batch}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
shapes="100k_x20 1m_x20 10k_x1000 10m_x2 100k_text 1m_text"
if [ $# -ge 2 ]; then
  for name in $shapes; do
    if [ -e "$2/$name.csv" ]; then ln -s "$(realpath "$2/$name.csv")" "$dir/$name.csv"; fi
  done
fi
python3 "$(dirname "$0")/gen-csv.py" "$dir" $shapes
csvdir=$dir
mb() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1048576 }'; }
printf '%-10s %-9s %9s %10s %9s %9s %s\n' shape step wall peak_MB csv_MB tvq_MB peak/size
for name in $shapes; do
  csv="$csvdir/$name.csv"; tvq="$dir/$name.tvq"
  printf 'importfile(%s,1,0,0,1,0,0,0,0)\r\n' "$csv" >"$dir/import.txt"
  printf 'open(%s)\r\n' "$tvq" >"$dir/open.txt"
  for step in import open+save; do
    case $step in
      import) args=(-o "$tvq" "$dir/import.txt") ;;
      open+save) args=(-o "$dir/again.tvq" "$dir/open.txt") ;;
    esac
    /usr/bin/time -v "$batch" "${args[@]}" >/dev/null 2>"$dir/time.txt" || true
    peak=$(awk -F': ' '/Maximum resident/ {print $2}' "$dir/time.txt")
    wall=$(awk -F': ' '/Elapsed \(wall/ {print $2}' "$dir/time.txt")
    size=$(stat -c %s "$tvq" 2>/dev/null || echo 0)
    ratio=$(awk -v p="$peak" -v s="$size" 'BEGIN { if (s > 0) printf "%.2f", p * 1024 / s; else print "-" }')
    printf '%-10s %-9s %9s %10s %9s %9s %s\n' "$name" "$step" "$wall" "$(mb $((peak * 1024)))" \
      "$(mb "$(stat -L -c %s "$csv")")" "$(mb "$size")" "$ratio"
  done
  rm -f "$dir/again.tvq"
done
