#!/usr/bin/env bash
# Kills marovellix-cli with SIGKILL at random moments while it writes a ticket file of about
# 480 MB (20 horses, 6 per ticket, every order) over an earlier file, and tells what each kill
# left: the earlier file as it was, the new file whole, or anything else; and the other files
# left in the folder (temporary files).
#
#   bench/kill_ticket_write.sh [CLI] [RUNS] [PARENT_FOLDER]
#
# CLI defaults to build/src/marovellix-cli, RUNS to 50, the folder to the temporary folder.
# HIDE_PROC=1 runs the tool with /proc hidden (a private mount namespace; needs root), the way it
# writes where it cannot use unnamed temporary files.
set -euo pipefail
cli=$(realpath "${1:-build/src/marovellix-cli}")
runs=${2:-50}
work=$(mktemp -d "${3:-${TMPDIR:-/tmp}}/kill-tickets-XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

run_tool() { # output file; runs in the background, the tool's pid in $!
  local args=(tickets -n 20 -k 6 --complete -o "$1" $(seq 1 20))
  if [ "${HIDE_PROC:-0}" = 1 ]; then
    unshare -m sh -c 'mount -t tmpfs none /proc && exec "$0" "$@"' "$cli" "${args[@]}" &
  else
    "$cli" "${args[@]}" &
  fi
}

"$cli" tickets --system 2 4 9 1 12 6 3 -o earlier.txt
# The time of a whole write varies several times over with the system's write-back; the kills
# are drawn over the shortest of three, and a kill that comes after the end is drawn again.
times=()
for _ in 1 2 3; do
  rm -f whole.txt
  start=$(date +%s%N)
  run_tool whole.txt
  wait $!
  times+=($((($(date +%s%N) - start) / 1000000)))
done
full_ms=$(printf '%s\n' "${times[@]}" | sort -n | head -1)
whole_size=$(stat -c %s whole.txt)
echo "a whole write: $whole_size bytes in ${times[*]} ms; kills drawn between 0 and $full_ms ms"

killed=0 late=0 intact=0 whole=0 other=0 leftovers=0
while [ "$killed" -lt "$runs" ] && [ "$late" -lt $((3 * runs)) ]; do
  cp earlier.txt tickets.txt
  delay=$(((RANDOM * 32768 + RANDOM) % (full_ms + 1)))
  run_tool tickets.txt
  pid=$!
  sleep "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))"
  kill -9 "$pid" 2>/dev/null || true
  status=0
  wait "$pid" 2>/dev/null || status=$?
  if [ "$status" != 137 ]; then
    late=$((late + 1))
    echo "    kill at $delay ms came after the end (status $status): not counted"
    find . -mindepth 1 -maxdepth 1 ! -name earlier.txt ! -name whole.txt -delete
    continue
  fi
  killed=$((killed + 1))
  size=$(stat -c %s tickets.txt)
  if cmp -s tickets.txt earlier.txt; then
    state="earlier file intact"; intact=$((intact + 1))
  elif [ "$size" = "$whole_size" ] && cmp -s tickets.txt whole.txt; then
    state="new file whole"; whole=$((whole + 1))
  else
    state="OTHER ($size bytes)"; other=$((other + 1))
  fi
  left=$(find . -mindepth 1 -maxdepth 1 ! -name earlier.txt ! -name whole.txt ! -name tickets.txt -printf '%f(%s) ')
  [ -n "$left" ] && leftovers=$((leftovers + 1))
  printf '%2d  kill at %5d ms  %-24s  left: %s\n' "$killed" "$delay" "$state" "${left:-nothing}"
  find . -mindepth 1 -maxdepth 1 ! -name earlier.txt ! -name whole.txt -delete
done
echo "kills during the write $killed (and $late after its end): earlier file intact $intact," \
  "new file whole $whole, anything else $other; kills that left another file: $leftovers"
