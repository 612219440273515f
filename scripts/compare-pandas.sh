#!/usr/bin/env bash
# Times the import alone (the benchmark binary's BM_Import, no save) beside pandas' read_csv
# of the very same files, in one run. pandas is only needed here (apt-get install
# python3-pandas); nothing else depends on it.
set -euo pipefail
bench=${1:-build-release/bench/quorin_bench}
# The first python3 in PATH may be one without pandas; the system one may have it.
py=python3
if ! "$py" -c 'import pandas' 2>/dev/null; then py=/usr/bin/python3; fi
if ! "$py" -c 'import pandas' 2>/dev/null; then
  echo "python3-pandas is not installed: nothing to compare"; exit 0
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# The benchmark writes its generated files into $dir and keeps them for read_csv.
# Both sides: the best of five runs, which the other programs on the machine disturb least.
QUORIN_BENCH_CSV_DIR="$dir" "$bench" --benchmark_filter='BM_Import/' --benchmark_repetitions=5 \
  --benchmark_format=json --benchmark_out="$dir/ours.json" --benchmark_out_format=json >/dev/null
"$py" - "$dir" <<'PY'
import json, os, sys, time
import pandas
folder = sys.argv[1]
ours = {}
runs_of = {}
for b in json.load(open(os.path.join(folder, "ours.json")))["benchmarks"]:
    if b.get("run_type", "iteration") != "iteration":
        continue
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b.get("time_unit", "ns")]
    t = b["real_time"] * scale
    ours[b["label"]] = min(t, ours.get(b["label"], t))
    runs_of.setdefault(b["label"], []).append(t)
theirs = {}
for name in ours:
    path = os.path.join(folder, name + ".csv")
    runs = []
    for _ in range(5):
        # The frame is freed after the clock stops, as the benchmark frees its Grid.
        t = time.perf_counter(); frame = pandas.read_csv(path); runs.append(time.perf_counter() - t)
        del frame
    theirs[name] = min(runs)
    print("%-10s import %7.3f s   read_csv %7.3f s   ratio %.2f" %
          (name, ours[name], theirs[name], ours[name] / theirs[name]))
# Growth with the rows from the medians: a best run of the short import is luckier than
# one of the long.
def median(xs):
    xs = sorted(xs)
    return (xs[(len(xs) - 1) // 2] + xs[len(xs) // 2]) / 2
if "100k_x20" in ours and "1m_x20" in ours:
    r = median(runs_of["1m_x20"]) / median(runs_of["100k_x20"])
    print("10 x the rows: %.1f x the median time (%s)" % (r, "linear" if r <= 11 else "NOT linear"))
PY
