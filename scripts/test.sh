#!/usr/bin/env bash
# Builds everything if needed (the program, the tool, every test program and benchmark) and runs
# the whole test suite; fails when a test fails. Tests that cannot run on this machine are
# listed by CTest as not run.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh all
export QT_QPA_PLATFORM=offscreen
# Under a watched home and temporary folder: a test that writes into the user's home, or leaves
# something in the temporary folder, fails the run (each test has folders of its own).
bash scripts/check-home-untouched.sh \
  ctest --test-dir "${MAROVELLIX_BUILD_DIR:-build}" --output-on-failure -j"$(nproc)"
