#!/usr/bin/env bash
# Builds everything if needed (the program, the tool, every test program and benchmark) and runs
# the whole test suite; fails when a test fails. Tests that cannot run on this machine are
# listed by CTest as not run.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh all
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${MAROVELLIX_BUILD_DIR:-build}" --output-on-failure -j"$(nproc)"
