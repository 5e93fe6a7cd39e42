#!/usr/bin/env bash
# Builds the program if needed and starts it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<'MSG'
Marovellix+ is built, but there is no display to show its window on (neither DISPLAY nor
WAYLAND_DISPLAY is set). Start it from a desktop session, or under a virtual display:

    xvfb-run -a -s "-screen 0 1024x768x24" build/src/marovellix
MSG
  exit 1
fi
exec "${MAROVELLIX_BUILD_DIR:-build}/src/marovellix" "$@"
