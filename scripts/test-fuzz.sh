#!/usr/bin/env bash
# Builds the libFuzzer targets (the "fuzz" preset: clang, address and undefined-behaviour
# sanitizers) and runs each for a short fixed number of inputs from its checked-in seeds, so
# that the fuzz build cannot stop linking unnoticed and the readers meet a few thousand damaged
# inputs on every run. Fails on a build failure or on any crash, leak, sanitizer report or
# input slower than the timeout; the input that did it is kept in build-fuzz/findings.
# Installs clang and its fuzzer runtime from Debian's archive when they are missing.
# Usage: scripts/test-fuzz.sh [RUNS_SCALE]   (1 by default: about a minute and a half of runs
#        on two cores; 10 runs ten times as many inputs)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scale=${1:-1}
MAROVELLIX_PACKAGES_ONLY=1 bash scripts/setup.sh program clang libclang-rt-14-dev

build_dir=build-fuzz
targets=(game_files_fuzz ticket_text_fuzz forecast_text_fuzz compare_options_fuzz)
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  cmake --preset fuzz
fi
cmake --build --preset fuzz -j"$(nproc)" --target "${targets[@]}"

# Each run's new inputs, temporary files and home go to a folder removed afterwards; the seeds
# are read, never added to.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/marovellix-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
findings=$build_dir/findings
mkdir -p "$findings" "$scratch/home" "$scratch/tmp"

# target, seeds, dictionary (or -), longest input (0: libFuzzer's choice), runs. The game files
# go through real files on disk and run about 250 inputs a second, the text readers thousands.
plan=(
  "game_files_fuzz seeds game_files.dict 300 10000"
  "ticket_text_fuzz ticket_text_seeds ticket_text.dict 0 50000"
  "forecast_text_fuzz forecast_text_seeds - 0 50000"
  "compare_options_fuzz compare_options_seeds - 0 50000"
)
status=0
for line in "${plan[@]}"; do
  read -r target seeds dictionary longest runs <<<"$line"
  options=(-runs=$((runs * scale)) -timeout=10 -artifact_prefix="$findings/$target-" -print_final_stats=1)
  [ "$dictionary" = - ] || options+=(-dict="fuzz/$dictionary")
  [ "$longest" = 0 ] || options+=(-max_len="$longest")
  mkdir -p "$scratch/corpus-$target"
  echo "== $target: ${options[0]#-}"
  start=$SECONDS
  if env HOME="$scratch/home" TMPDIR="$scratch/tmp" QT_QPA_PLATFORM=offscreen \
    "$build_dir/fuzz/$target" "${options[@]}" "$scratch/corpus-$target" "fuzz/$seeds" >"$scratch/$target.log" 2>&1; then
    echo "   $(grep -E '^Done [0-9]+ runs' "$scratch/$target.log" || echo done) ($((SECONDS - start)) s)"
  else
    status=1
    echo "   FAILED after $((SECONDS - start)) s; the input that did it is in $findings:" >&2
    tail -n 40 "$scratch/$target.log" >&2
  fi
done
exit "$status"
