#!/usr/bin/env bash
# Builds the program and its command-line tool if needed (nothing else) and starts the program.
# Without a display it stops after the build and says how to start it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh program
program=${MAROVELLIX_BUILD_DIR:-build}/src/marovellix
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat <<MSG
Marovellix+ is built: $program (and ${program}-cli).
There is no display to show its window on (neither DISPLAY nor WAYLAND_DISPLAY is set).
Start it from a desktop session with

    bash scripts/run.sh

or under a virtual display (Debian packages xvfb and xauth):

    xvfb-run -a -s "-screen 0 1024x768x24" $program
MSG
  exit 0
fi
exec "$program" "$@"
