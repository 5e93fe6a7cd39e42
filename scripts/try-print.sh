#!/usr/bin/env bash
# Tries printing through a real print system: starts a private CUPS server (its own
# configuration folder, port and spool, nothing of the machine's own server touched) with a
# virtual PDF printer (cups-pdf), then runs the driver built from
# tests/print_system/try_print_driver.cpp against it. The driver prints with the real print
# dialog and the desktop platform (Qt's offscreen display): slips all at once, one at a time with
# Annuler at a prompt, the ticket list and the synthesis, then a queue that refuses jobs, a
# server that hangs (stopped with SIGSTOP) and a server stopped in the middle of a run. It
# checks the jobs on the server (titles, count, state) and reads back every PDF the virtual
# printer wrote: one page each, no blank one, every mark within 0.5 mm of its box.
#
# Needs root, or sudo without a password (the virtual printer's backend runs as root and reads
# its configuration from /etc/cups); installs cups, printer-driver-cups-pdf, cups-client and
# poppler-utils from Debian's archive when they are missing. Exits 77 (a skip for CTest) where no
# print server can be started.
# Usage: scripts/try-print.sh build/tests/try_print_driver
set -euo pipefail

skip() {
  echo "SKIP: $*"
  exit 77
}

[ $# -ge 1 ] || { echo "usage: $0 try_print_driver" >&2; exit 2; }
driver=$(realpath "$1")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
    exec sudo -n bash "${BASH_SOURCE[0]}" "$driver"
  fi
  skip "starting a print server needs root or sudo without a password"
fi

if ! command -v cupsd >/dev/null || [ ! -x /usr/lib/cups/backend/cups-pdf ] || ! command -v lpadmin >/dev/null \
  || ! command -v pdftotext >/dev/null; then
  MAROVELLIX_PACKAGES_ONLY=1 bash "$here/scripts/setup.sh" program cups printer-driver-cups-pdf cups-client poppler-utils \
    || skip "the print system's packages cannot be installed"
fi
cupsd=$(command -v cupsd || echo /usr/sbin/cupsd)

work=$(mktemp -d /tmp/try-print.XXXXXX)
chmod 755 "$work"
queue=marovellix-try-$$
pdfconf=/etc/cups/cups-pdf-$queue.conf
cleanup() {
  if [ -f "$work/cupsd.pid" ]; then
    pid=$(cat "$work/cupsd.pid")
    kill -s CONT "$pid" 2>/dev/null || true
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  fi
  rm -f "$pdfconf"
  if [ "${TRY_PRINT_KEEP:-0}" = 1 ]; then echo "kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

# A free port on the loopback.
port=
for _ in $(seq 50); do
  candidate=$((20000 + RANDOM % 20000))
  if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then port=$candidate; break; fi
done
[ -n "$port" ] || skip "no free port for the print server"

mkdir -p "$work"/{spool,tmp,cache,state,log,out,home}
chmod 1777 "$work/tmp" "$work/out"
cat >"$work/cups-files.conf" <<EOF
ServerRoot $work
RequestRoot $work/spool
TempDir $work/tmp
CacheDir $work/cache
StateDir $work/state
DataDir /usr/share/cups
ServerBin /usr/lib/cups
ErrorLog $work/log/error_log
AccessLog $work/log/access_log
PageLog $work/log/page_log
FileDevice No
SystemGroup root
EOF
cat >"$work/cupsd.conf" <<EOF
Listen 127.0.0.1:$port
LogLevel info
Browsing No
WebInterface No
PreserveJobHistory Yes
DefaultPolicy open
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy open>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
# cups-pdf reads the configuration named in its device address ("cups-pdf:/NAME") from
# /etc/cups; it is removed on exit.
cat >"$pdfconf" <<EOF
Out $work/out
AnonDirName $work/out
Spool $work/tmp
Log $work/log
Grp root
UserUMask 0022
EOF

"$cupsd" -f -c "$work/cupsd.conf" -s "$work/cups-files.conf" >"$work/log/cupsd.out" 2>&1 &
echo $! >"$work/cupsd.pid"
export CUPS_SERVER=127.0.0.1:$port
for _ in $(seq 50); do lpstat -r >/dev/null 2>&1 && break; sleep 0.1; done
lpstat -r >/dev/null 2>&1 || { cat "$work/log/cupsd.out" "$work/log/error_log" 2>/dev/null; skip "the print server did not start"; }
lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null
lpadmin -d "$queue"
lpstat -p "$queue" -d

cat >"$work/signal.sh" <<EOF
#!/bin/sh
kill -s "\$1" \$(cat "$work/cupsd.pid")
EOF
chmod 755 "$work/signal.sh"

status=0
env HOME="$work/home" QT_QPA_PLATFORM=offscreen TRY_PRINT_QUEUE="$queue" TRY_PRINT_OUTPUT="$work/out" \
  TRY_PRINT_SIGNAL_SERVER="$work/signal.sh" "$driver" || status=$?
echo "PDFs written by the virtual printer: $(find "$work/out" -name '*.pdf' | wc -l)"
if [ "$status" -ne 0 ]; then
  tail -n 30 "$work/log/error_log" 2>/dev/null || true
fi
exit "$status"
