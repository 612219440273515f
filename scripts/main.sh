#!/usr/bin/env bash
# The main job: installs what is missing, builds everything and runs the bundled
# example script headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j "$(nproc)"
if [ -x build/src/batch/quorin-batch ] && [ -f examples/iris.txt ]; then
  build/src/batch/quorin-batch examples/iris.txt -o build/iris.tvq
else
  echo "Built the core, its tests and benchmarks in build/; the headless runner is not part of this build yet."
fi
