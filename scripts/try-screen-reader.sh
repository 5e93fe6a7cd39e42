#!/usr/bin/env bash
# The program under a real screen-reader bridge: a virtual display (Xvfb), a private D-Bus
# session with the accessibility bus, and tests/accessibility/screen_reader_walk.py pressing keys
# through the main window and the windows it opens and reading each focused control's role and
# name off the bus, with what the windows announce. Exits 77 (a skip for CTest)
# where the display, the bus or pyatspi cannot be had; the packages come from scripts/setup.sh
# (at-spi2-core python3-pyatspi dbus xdotool, mode all).
# Usage: scripts/try-screen-reader.sh build/src/marovellix [TABS]
set -euo pipefail

skip() {
  echo "SKIP: $*"
  exit 77
}

[ $# -ge 1 ] || { echo "usage: $0 marovellix [tabs]" >&2; exit 2; }
program=$(realpath "$1")
tabs=${2:-60}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

for tool in xvfb-run dbus-run-session xdotool /usr/libexec/at-spi-bus-launcher /usr/bin/python3; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed"

# Everything the run makes in a temporary folder (the program's settings folder, the display's
# authority file) goes in one of its own, removed on the way out.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/marovellix-a11y-run.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
status=0
TMPDIR=$scratch xvfb-run -a -s "-screen 0 1024x768x24" \
  dbus-run-session -- /usr/bin/python3 "$here/tests/accessibility/screen_reader_walk.py" "$program" "$tabs" || status=$?
exit "$status"
