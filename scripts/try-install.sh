#!/usr/bin/env bash
# Tries the Debian package the way a punter gets it: on a fresh Debian 12 root made with
# debootstrap (kept in ROOT and reused when it is there), `apt-get install ./marovellix_*.deb`
# without the recommended packages, then `man marovellix-cli` and the completion must work, an
# ordinary user starts the installed program under xvfb-run, clicks "Quit", and the settings file
# must have landed in that user's configuration folder.
# Needs root and Debian's archive. Usage: scripts/try-install.sh ROOT build/marovellix_1.35_amd64.deb
set -euo pipefail

root=$1
deb=$(realpath "$2")
[ "$(id -u)" -eq 0 ] || { echo "run as root (debootstrap, chroot, mounts)" >&2; exit 1; }

if [ ! -x "$root/usr/bin/apt-get" ]; then
  command -v debootstrap >/dev/null || apt-get install -y -qq debootstrap
  debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian
fi

mounts=()
cleanup() {
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount -l "${mounts[i]}" || true; done
}
trap cleanup EXIT
for fs in proc sys dev dev/pts; do
  mount --bind "/$fs" "$root/$fs"
  mounts+=("$root/$fs")
done
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root DEBIAN_FRONTEND=noninteractive "$@"; }

in_root apt-get update -qq
# What the package pulls onto this root (all of it on a fresh one).
pulled=$(in_root apt-get install --simulate --no-install-recommends "/tmp/$(basename "$deb")" | awk '$1 == "Inst" { print $2 }')
echo "apt-get installs $(grep -c . <<<"$pulled") packages without the recommended ones: $(tr '\n' ' ' <<<"$pulled")"
echo "and $(in_root apt-get install --simulate "/tmp/$(basename "$deb")" | grep -c '^Inst ') with them, as apt-get does by default"
# Without the recommended packages, so that the program's start below proves the declared
# dependencies enough.
in_root apt-get install -y --no-install-recommends "/tmp/$(basename "$deb")"
in_root dpkg -s marovellix | grep -E '^(Status|Version|Installed-Size):'
# The manual page and the completion the way a user meets them (man-db and bash-completion are
# what the check needs, not the package).
in_root apt-get install -y -qq --no-install-recommends man-db bash-completion >/dev/null
in_root man -P cat marovellix-cli 2>&1 | grep -qx 'NOM' || { echo "man marovellix-cli shows no page" >&2; exit 1; }
in_root man -P cat marovellix-cli | sed -n '1,4p'
in_root bash -c 'source /usr/share/bash-completion/bash_completion && __load_completion marovellix-cli && complete -p marovellix-cli' \
  || { echo "bash-completion does not find the completion of marovellix-cli" >&2; exit 1; }
# What the check itself needs to drive and look at the program, not the package; and xdg-utils,
# the package's one recommendation, through which the "?" button opens the guide.
in_root apt-get install -y -qq --no-install-recommends xvfb xauth xdotool x11-apps netpbm xdg-utils >/dev/null
in_root id parieur >/dev/null 2>&1 || in_root useradd -m parieur

cat >"$root/tmp/session.sh" <<'SESSION'
set -u
rm -rf ~/.config/MAROVELLIX+
marovellix &
program=$!
window=
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name '^marovellix' 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "no window appeared" >&2; kill "$program"; exit 1; }
sleep 2
xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >/tmp/installed.png
eval "$(xdotool getwindowgeometry --shell "$window")"
# The help button (662, 5, 38 x 36) hands the installed user guide to the browser, here a
# stand-in that notes what it was given.
printf '#!/bin/sh\necho "$@" >/tmp/browser-got\n' >/tmp/browser && chmod +x /tmp/browser
rm -f /tmp/browser-got
xdotool mousemove $((X + 681)) $((Y + 23)) click 1
for _ in $(seq 50); do [ -s /tmp/browser-got ] && break; sleep 0.1; done
echo "help opened: $(cat /tmp/browser-got 2>/dev/null)"
# "Quit" sits at 488, 457 (209 x 40) in the main window.
xdotool mousemove $((X + 590)) $((Y + 477)) click 1
wait "$program"
status=$?
echo "program exit status: $status"
ls -l ~/.config/MAROVELLIX+/
exit "$status"
SESSION
chroot "$root" env -i PATH=/usr/bin:/bin HOME=/home/parieur LANG=fr_FR.UTF-8 BROWSER=/tmp/browser \
  setpriv --reuid=parieur --regid=parieur --init-groups \
  timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" bash /tmp/session.sh
settings=$root/home/parieur/.config/MAROVELLIX+/MAROVELL.PAR
[ "$(stat -c %s "$settings")" -eq 112 ] || { echo "settings file missing or not 112 bytes" >&2; exit 1; }
grep -qx 'file:///usr/share/marovellix/marovellix.html' "$root/tmp/browser-got" || { echo "help did not open the installed guide" >&2; exit 1; }
[ ! -e "$root/usr/bin/MAROVELL.PAR" ] || { echo "settings written into /usr/bin" >&2; exit 1; }
echo "installed, started and closed; settings in ~parieur/.config/MAROVELLIX+ (screenshot: $root/tmp/installed.png)"
