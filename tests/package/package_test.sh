#!/usr/bin/env bash
# Builds the Debian package from a built tree with CPack, unpacks it with dpkg -x and checks
# that what a punter installs is in place: both programs, running from where they land, the
# desktop entry, the icon, the user guide and the declared dependencies.
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
for dep in libqt6core6 libqt6widgets6 libqt6gui6 libc6 qt6-translations-l10n; do
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

if [ "$failures" -ne 0 ]; then
  echo "$failures failed" >&2
  exit 1
fi
echo "package $(basename "$deb"): $(dpkg-deb -c "$deb" | grep -vc '/$') files in place"
