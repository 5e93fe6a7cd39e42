#!/usr/bin/env bash
# Builds everything if needed and runs the whole test suite; fails when a test fails.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${MAROVELLIX_BUILD_DIR:-build}" --output-on-failure -j"$(nproc)"
