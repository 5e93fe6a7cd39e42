#!/usr/bin/env bash
# Makes a French manual page from a built program's own --help and --version with help2man, so
# that the page follows the program. For a program with commands (marovellix-cli), the page gets
# a COMMANDES section holding each command's --help, the commands being those the main help lists
# under its "Commands:" heading. The parts no --help holds (the one-line description, files,
# see also) come from an include file.
#
# Usage: manpage.sh locale DIR
#          compiles the fr_FR.UTF-8 locale into DIR, so that help2man writes French headings
#          even where the system lacks that locale
#        manpage.sh page LOCALE_DIR OUTPUT.gz PROGRAM INCLUDE [with-commands]
set -euo pipefail

if [ "$1" = locale ]; then
  mkdir -p "$2"
  # localedef warns (status 1) about details of the locale source while still writing it.
  localedef -i fr_FR -f UTF-8 "$2/fr_FR.UTF-8" || [ -s "$2/fr_FR.UTF-8/LC_CTYPE" ]
  exit 0
fi

locale_dir=$2 output=$3 program=$4 include=$5 with_commands=${6:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
h2m=(env LOCPATH="$locale_dir" LC_ALL=fr_FR.UTF-8 help2man --no-info --locale=fr_FR.UTF-8 --section=1 --manual="Commandes de Marovellix+")

cp "$include" "$work/include.h2m"
if [ -n "$with_commands" ]; then
  version=$("$program" --version | sed -n '1s/.* //p')
  commands=$("$program" --help | awk '/^Comman[a-z]* ?:/ { on = 1; next } on && !NF { exit } on { print $1 }')
  [ -n "$commands" ] || { echo "manpage.sh: $program --help lists no command" >&2; exit 1; }
  {
    echo "[COMMANDES]"
    for command in $commands; do
      # One page per command, of which the part after the name becomes a subsection: its
      # synopsis, its description and its options.
      "${h2m[@]}" --version-string="$version" --name="$command" "$program $command" >"$work/$command.1"
      echo ".SS \"$command\""
      sed -n '/^\.SH SYNOPSIS/,$p' "$work/$command.1" | sed '1d' \
        | sed -e 's/^\.SH DESCRIPTION$/.PP/' -e 's/^\.SH \(.*\)$/.PP\n.B "\1"/' -e 's/^\.SS \(.*\)$/.PP\n.B \1/'
    done
  } >>"$work/include.h2m"
fi
"${h2m[@]}" --include="$work/include.h2m" "$program" >"$work/page.1"
gzip -9n <"$work/page.1" >"$output"
