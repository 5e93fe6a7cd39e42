#!/usr/bin/env bash
# Builds the Debian package from a built tree with CPack, unpacks it with dpkg -x and checks
# that what a punter installs is in place: both programs, running from where they land, the
# desktop entry, the icon, the user guide, the manual pages, the completion, the AppStream
# metadata and the declared dependencies; lintian finds nothing to warn about.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log" >&2
  exit 1
}
shopt -s nullglob
debs=("$work"/out/marovellix_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "FAIL: expected one package, found: ${debs[*]:-none}" >&2; exit 1; }
deb=${debs[0]}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ "$(basename "$deb")" = "marovellix_${version}_amd64.deb" ] || fail "package file name $(basename "$deb")"

# Control fields: the version the about box shows, Qt's libraries as dpkg-shlibdeps found them
# (never written by hand here) and Qt's French translation.
[ "$(dpkg-deb -f "$deb" Version)" = "1.35" ] || fail "version $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt6core6 libqt6widgets6 libqt6gui6 libqt6svg6 libqt6sql6 libc6 qt6-translations-l10n qt6-qpa-plugins libqt6sql6-sqlite; do
  grep -Eq "(^|, )$dep( |,|$)" <<<"$depends" || fail "Depends lacks $dep: $depends"
done

root=$work/root
dpkg -x "$deb" "$root"

for program in marovellix marovellix-cli; do
  file -b "$root/usr/bin/$program" | grep -q '^ELF 64-bit LSB pie executable' || fail "usr/bin/$program is not a program"
  [ -x "$root/usr/bin/$program" ] || fail "usr/bin/$program is not executable"
done
systems=$("$root/usr/bin/marovellix-cli" systems | wc -l) || fail "the unpacked marovellix-cli does not run"
[ "$systems" -ge 53 ] || fail "marovellix-cli systems listed $systems lines"

desktop=$root/usr/share/applications/marovellix.desktop
if [ -f "$desktop" ]; then
  desktop-file-validate "$desktop" || fail "desktop entry does not validate"
  exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -x "$root/usr/bin/$exec_name" ] || fail "desktop entry starts '$exec_name', not in usr/bin"
  grep -q '^Comment\[fr\]=' "$desktop" || fail "desktop entry has no French comment"
else
  fail "no usr/share/applications/marovellix.desktop"
fi

# The icon at every size the desktop asks for, under the name the desktop entry gives.
icon=$(sed -n 's/^Icon=//p' "$desktop" 2>/dev/null)
for size in 16 32 48 256; do
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
  file -b "$png" 2>/dev/null | grep -q "^PNG image data, $size x $size," || fail "no ${size}x${size} icon '$icon'"
done
[ -s "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon '$icon'"

# The user guide where the installed program looks for it: share/marovellix beside bin.
guide=$root/usr/bin/../share/marovellix/marovellix.html
grep -q '<html' "$guide" 2>/dev/null || fail "no user guide in usr/share/marovellix"
for picture in $(grep -o '<img src="[^"]*"' "$guide" 2>/dev/null | sed 's/<img src="//; s/"$//'); do
  file -b "$(dirname "$guide")/$picture" | grep -q '^PNG image data' || fail "the guide shows $picture, not installed"
done

# Nothing outside /usr, nothing owned by anyone but root.
outside=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '^\./usr/' | grep -vx '\./' || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
owners=$(dpkg-deb -c "$deb" | awk '$2 != "root/root"' || true)
[ -z "$owners" ] || fail "files not owned by root: $owners"

# Checks that need a tool the test command's set-up installs; without it the check is reported
# as not run (exit status 77, a CTest skip), never as passed.
missing=()
have() { command -v "$1" >/dev/null || { missing+=("$1"); return 1; }; }

# Both programs answer --version without a display; their French manual pages, made from their
# --help, hold the tool's every command.
for program in marovellix marovellix-cli; do
  [ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/$program" --version)" = "$program $version" ] \
    || fail "$program --version does not say $program $version"
  page=$root/usr/share/man/man1/$program.1.gz
  gzip -t "$page" 2>/dev/null || { fail "no gzipped manual page $program.1"; continue; }
  if have man; then
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=100 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$program.1 has warnings: $warnings"
    text=$(LC_ALL=C.UTF-8 MANWIDTH=100 man -l "$page" 2>/dev/null)
    for heading in NOM SYNOPSIS DESCRIPTION OPTIONS FICHIERS; do
      grep -qx "$heading" <<<"$text" || fail "$program.1 has no $heading section"
    done
    grep -q -- '--version' <<<"$text" || fail "$program.1 does not show --version"
    # UTF-8 read as Latin-1 somewhere on the way ("synthÃ¨se").
    ! grep -q 'Ã' <<<"$text" || fail "$program.1 has mis-encoded accents: $(grep -m1 'Ã' <<<"$text")"
    grep -A1 -x NOM <<<"$text" | grep -q "^ *$program - [a-zé]" || fail "$program.1 names itself wrongly"
  fi
done
commands=$("$root/usr/bin/marovellix-cli" --help | awk '/^Comman[a-z]* ?:/ { on = 1; next } on && !NF { exit } on { print $1 }')
[ "$(wc -w <<<"$commands")" -ge 6 ] || fail "marovellix-cli --help lists the commands: $commands"
if have man; then
  text=$(LC_ALL=C.UTF-8 MANWIDTH=100 man -l "$root/usr/share/man/man1/marovellix-cli.1.gz" 2>/dev/null)
  grep -qx 'STATUT DE SORTIE' <<<"$text" || fail "marovellix-cli.1 has no exit statuses"
  commands_part=$(sed -n '/^COMMANDES$/,/^FICHIERS$/p' <<<"$text")
  for command in $commands; do
    grep -qx "   $command" <<<"$commands_part" || fail "marovellix-cli.1 lacks the command $command"
    option=$("$root/usr/bin/marovellix-cli" "$command" --help | grep -Eo -- '--[a-z][a-z-]+' | grep -vx -- --help | head -1)
    [ -z "$option" ] || grep -q -- "$option" <<<"$commands_part" || fail "marovellix-cli.1 lacks $command $option"
  done
fi

# The completion, where bash-completion loads it for marovellix-cli, run as bash would.
completion=$root/usr/share/bash-completion/completions/marovellix-cli
if [ ! -f "$completion" ]; then
  fail "no bash completion for marovellix-cli"
elif [ ! -f /usr/share/bash-completion/bash_completion ]; then
  missing+=(bash-completion)
else
  mkdir -p "$work/files" && touch "$work/files/tickets.txt"
  completed=$(cd "$work/files" && PATH=$root/usr/bin:$PATH bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"
    complete_line() {
      COMP_WORDS=("$@") COMP_CWORD=$(($# - 1)) COMP_LINE="$*" COMP_POINT=${#COMP_LINE} COMPREPLY=()
      _marovellix_cli marovellix-cli "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
      echo "$*|${COMPREPLY[*]}"
    }
    complete_line marovellix-cli co
    complete_line marovellix-cli compare --ar
    complete_line marovellix-cli compare --arrival ""
    complete_line marovellix-cli compare -a 7,3,12,1,9 t
    complete_line marovellix-cli tickets -o t
    complete_line marovellix-cli tickets --sys
    complete_line marovellix-cli tickets 7 ""' bash "$completion" 2>&1)
  expected='marovellix-cli co|compare
marovellix-cli compare --ar|--arrival
marovellix-cli compare --arrival |
marovellix-cli compare -a 7,3,12,1,9 t|tickets.txt
marovellix-cli tickets -o t|tickets.txt
marovellix-cli tickets --sys|--system
marovellix-cli tickets 7 |'
  [ "$completed" = "$expected" ] || fail "the completion gave:
$completed"
fi

# What software centres read.
metainfo=$root/usr/share/metainfo/fr.marovellix.marovellix.metainfo.xml
if [ ! -f "$metainfo" ]; then
  fail "no AppStream metadata"
elif have appstreamcli; then
  appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 || fail "AppStream: $(cat "$work/appstream.log")"
  launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
  [ -f "$root/usr/share/applications/$launchable" ] || fail "AppStream launches '$launchable', not installed"
  grep -q '<release version="'"$version"'"' "$metainfo" || fail "AppStream has no release $version"
fi

# Debian's own checks: no error, no warning.
if have lintian; then
  # lintian may leave scratch files (mldbm-elf-*) in its temporary folder: give it ours.
  mkdir -p "$work/lintian-tmp"
  TMPDIR="$work/lintian-tmp" lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 || fail "lintian:
$(grep -v 'root privileges' "$work/lintian.log")"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures failed" >&2
  exit 1
fi
if ((${#missing[@]})); then
  echo "SKIPPED: ${missing[*]} not installed (bash scripts/setup.sh all installs them); the other checks passed"
  exit 77
fi
echo "package $(basename "$deb"): $(dpkg-deb -c "$deb" | grep -vc '/$') files in place, lintian clean"
