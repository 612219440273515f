#!/usr/bin/env bash
# Times quorin-batch importing the generated files beside pandas' read_csv of the same files.
# pandas is only needed here (apt-get install python3-pandas); nothing else depends on it.
set -euo pipefail
batch=${1:-build-release/src/batch/quorin-batch}
# The first python3 in PATH may be one without pandas; the system one may have it.
py=python3
if ! "$py" -c 'import pandas' 2>/dev/null; then py=/usr/bin/python3; fi
if ! "$py" -c 'import pandas' 2>/dev/null; then
  echo "python3-pandas is not installed: nothing to compare"; exit 0
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$py" "$(dirname "$0")/gen-csv.py" "$dir"
for name in 100k_x20 1m_x20 10k_x1000; do
  csv="$dir/$name.csv"
  printf 'importfile(%s,1,0,0,1,0,0,0,0)\r\n' "$csv" >"$dir/import.txt"
  # The run includes saving the .tvq file the batch program always writes.
  start=$(date +%s.%N); "$batch" -o "$dir/out.tvq" "$dir/import.txt" >/dev/null; end=$(date +%s.%N)
  ours=$(echo "$end - $start" | bc)
  theirs=$("$py" -c 'import sys,time,pandas
t=time.perf_counter(); pandas.read_csv(sys.argv[1]); print("%.3f" % (time.perf_counter()-t))' "$csv")
  printf '%-10s quorin-batch import %6.3f s   read_csv %6.3f s\n' "$name" "$ours" "$theirs"
done
