#!/usr/bin/env bash
# Builds and runs every benchmark; each prints its ratios to baselines measured in the same run.
# MAROVELLIX_BENCH_DIR picks the folder the ticket files go to (default: the temporary folder).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build_dir=${MAROVELLIX_BUILD_DIR:-build}
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build_dir" -j"$(nproc)" --target generation_bench holes_bench arrival_bench cli_bench startup_bench history_bench history_window_bench
for bench in generation_bench holes_bench arrival_bench cli_bench startup_bench history_bench history_window_bench; do
  echo "== $bench"
  "$build_dir/bench/$bench" --benchmark_report_aggregates_only=true "$@"
done
