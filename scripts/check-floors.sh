#!/usr/bin/env bash
# Lists every include that runs from a room of src/ to a room on its own floor or above it, by
# the floor table of src/README.md, and fails when there is one (or when a folder of src/ has no
# floor). Usage: check-floors.sh [SOURCE_ROOT]
set -euo pipefail
root=${1:-$(dirname "${BASH_SOURCE[0]}")/..}
src=$root/src

declare -A floor
while IFS='|' read -r _ number room _; do
  number=${number//[[:space:]]/}
  room=${room//[[:space:]\`]/}
  [[ $number =~ ^[0-9]+$ ]] && floor[$room]=$number
done <"$src/README.md"
if ((${#floor[@]} == 0)); then
  echo "check-floors: no floor table in $src/README.md" >&2
  exit 1
fi

faults=0
for dir in "$src"/*/; do
  room=$(basename "$dir")
  if [[ -z ${floor[$room]:-} ]]; then
    echo "src/$room: this room has no floor in src/README.md"
    faults=$((faults + 1))
    continue
  fi
  while IFS=: read -r file line target; do
    other=${target%%/*}
    [[ $other == "$room" || -z ${floor[$other]:-} ]] && continue
    if ((floor[$other] >= floor[$room])); then
      echo "${file#"$root"/}:$line: $room (floor ${floor[$room]}) includes $target ($other, floor ${floor[$other]})"
      faults=$((faults + 1))
    fi
  done < <(grep -rHnoE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+/[^"]+"' "$dir" \
    | sed -E 's/#[[:space:]]*include[[:space:]]*"([^"]+)"/\1/; s/:[[:space:]]+/:/')
done

if ((faults)); then
  echo "check-floors: $faults include(s) against the floors"
  exit 1
fi
echo "check-floors: every include points down the floors (${#floor[@]} rooms)"
