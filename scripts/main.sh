#!/usr/bin/env bash
# The main job: installs what is missing, builds everything and runs the bundled
# example script headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j "$(nproc)"
build/src/batch/quorin-batch examples/iris.txt -o build/iris.tvq
