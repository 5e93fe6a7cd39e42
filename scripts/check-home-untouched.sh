#!/usr/bin/env bash
# Runs a command (the test suite) with a home and a temporary folder that are watched: both are
# made afresh, the home given a little content of its own, and everything in them (names, sizes,
# modes, times) listed before and after. Anything added, changed or removed fails the run with
# the difference, so a test that writes where the user keeps things, or leaves a temporary
# folder behind, is caught. The XDG folders are unset, so they fall back into the watched home.
# Usage: scripts/check-home-untouched.sh COMMAND [ARGUMENT]...
set -euo pipefail

[ $# -ge 1 ] || { echo "usage: $0 COMMAND [ARGUMENT]..." >&2; exit 2; }

watched=$(mktemp -d "${TMPDIR:-/tmp}/marovellix-watched.XXXXXX")
trap 'rm -rf "$watched"' EXIT
mkdir -p "$watched/home/.config/QtProject" "$watched/home/.cache" "$watched/home/Documents" "$watched/tmp"
printf '[Qt]\nkept=as it was\n' >"$watched/home/.config/QtProject.conf"
printf 'a letter\n' >"$watched/home/Documents/lettre.txt"
touch -d '2020-01-01 12:00' "$watched/home" "$watched/home"/.config "$watched/home"/.config/* \
  "$watched/home/.cache" "$watched/home/Documents" "$watched/home/Documents/lettre.txt" "$watched/tmp"

listing() {
  (cd "$watched" && find . -printf '%p %y %s %m %T@\n' | LC_ALL=C sort)
}
listing >"$watched.before"
trap 'rm -rf "$watched" "$watched.before"' EXIT

status=0
env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME -u XDG_STATE_HOME -u XDG_RUNTIME_DIR \
  HOME="$watched/home" TMPDIR="$watched/tmp" "$@" || status=$?

if ! listing | diff -u "$watched.before" - >"$watched.diff"; then
  echo "check-home-untouched: the run changed the home or the temporary folder it was given:" >&2
  tail -n +3 "$watched.diff" | grep '^[-+]' >&2
  rm -f "$watched.diff"
  exit 1
fi
rm -f "$watched.diff"
exit "$status"
