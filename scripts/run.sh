#!/usr/bin/env bash
# Builds the program and its command-line tool if needed (nothing else) and starts the program.
# Without a display it stops after the build and says how to start it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh program
program=${MAROVELLIX_BUILD_DIR:-build}/src/marovellix
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  # The virtual display's packages, with the command that installs them when they are missing.
  virtual="under a virtual display:
"
  if ! command -v xvfb-run >/dev/null || ! command -v xauth >/dev/null; then
    sudo="sudo "
    if [ "$(id -u)" -eq 0 ]; then sudo=""; fi
    virtual="under a virtual display, once its packages are installed:

    ${sudo}apt-get install xvfb xauth"
  fi
  cat <<MSG
Marovellix+ is built: $program (and ${program}-cli).
There is no display to show its window on (neither DISPLAY nor WAYLAND_DISPLAY is set).
Start it from a desktop session with

    bash scripts/run.sh

or $virtual
    xvfb-run -a -s "-screen 0 1024x768x24" $program
MSG
  exit 0
fi
exec "$program" "$@"
