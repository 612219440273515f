#!/usr/bin/env bash
# The test command: installs what is missing, builds and runs every test, builds and checks
# the Debian package, then runs the suite again under AddressSanitizer+UBSan and
# ThreadSanitizer, then each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
fuzz_seconds=${QUORIN_FUZZ_SECONDS:-60}
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.ccache}

echo "== Build and test (build/)"
cmake -S . -B build -DQUORIN_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== Install rules and Debian package (from build/)"
bash scripts/check-package.sh build

echo "== AddressSanitizer + UBSan (build-asan/)"
cmake -S . -B build-asan -DQUORIN_SANITIZE=address -DQUORIN_WERROR=ON \
      -DQUORIN_BUILD_BENCH=OFF -DQUORIN_BUILD_GUI=OFF >/dev/null
cmake --build build-asan -j "$jobs" --target quorin_tests
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== ThreadSanitizer (build-tsan/)"
cmake -S . -B build-tsan -DQUORIN_SANITIZE=thread -DQUORIN_WERROR=ON \
      -DQUORIN_BUILD_BENCH=OFF -DQUORIN_BUILD_GUI=OFF >/dev/null
cmake --build build-tsan -j "$jobs" --target quorin_tests
# Newer kernels randomise mappings beyond what this TSan runtime accepts: run without ASLR.
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  setarch "$(uname -m)" -R ctest --test-dir build-tsan --output-on-failure -j "$jobs"

echo "== Fuzz targets (build-fuzz/, ${fuzz_seconds}s each)"
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DQUORIN_FUZZ=ON \
      -DQUORIN_BUILD_TESTS=OFF -DQUORIN_BUILD_GUI=OFF >/dev/null
cmake --build build-fuzz -j "$jobs"
for target in build-fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="build-fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds="fuzz/seeds/${name#fuzz_}"
  [ -d "$seeds" ] && cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true
  echo "-- $name"
  "$target" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
done
echo "All tests passed."
