#!/usr/bin/env bash
# Builds the whole test suite with the address and undefined-behaviour sanitizers (the
# "sanitize" preset, in build-sanitize/) and runs it; fails when a test fails or a sanitizer
# reports a fault.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
MAROVELLIX_PACKAGES_ONLY=1 bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
if [ ! -f build-sanitize/CMakeCache.txt ]; then
  cmake --preset sanitize
fi
cmake --build --preset sanitize -j"$(nproc)"
# Under the same watched home as the plain run (scripts/test.sh).
bash scripts/check-home-untouched.sh ctest --preset sanitize -j"$(nproc)"
