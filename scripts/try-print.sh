#!/usr/bin/env bash
# Tries printing through a real print system: starts a private CUPS server (its own
# configuration folder, port and spool, nothing of the machine's own server touched) with a
# virtual PDF printer, then runs the driver built from
# tests/print_system/try_print_driver.cpp against it. The driver prints with the real print
# dialog and the desktop platform (Qt's offscreen display): slips all at once, one at a time with
# Annuler at a prompt, the ticket list and the synthesis, then a queue that refuses jobs, a
# server that hangs (stopped with SIGSTOP) and a server stopped in the middle of a run. It
# checks the jobs on the server (titles, count, state) and reads back every PDF the virtual
# printer wrote: one page each, no blank one, every mark within 0.5 mm of its box.
#
# Runs as whoever starts it and never asks for more: the server, its backend and its filters
# all run as that user, with the configuration, port, spool, logs and the virtual printer's
# output in a folder of their own (removed on exit). The virtual printer is a small backend of
# this script's own that files each job's PDF; it uses cups-pdf's PPD for the page sizes only.
# Installs cups, cups-filters, printer-driver-cups-pdf, cups-client and poppler-utils from
# Debian's archive when they are missing and the user may install packages. Exits 77 (a skip for
# CTest) where no print server can be started.
set -euo pipefail

skip() {
  echo "SKIP: $*"
  exit 77
}

[ $# -ge 1 ] || { echo "usage: $0 try_print_driver" >&2; exit 2; }
driver=$(realpath "$1")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

missing_tools() {
  ! command -v cupsd >/dev/null && [ ! -x /usr/sbin/cupsd ] && return 0
  [ -x /usr/lib/cups/filter/pdftopdf ] && [ -f /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd ] || return 0
  command -v lpadmin >/dev/null && command -v pdftotext >/dev/null || return 0
  return 1
}
if missing_tools; then
  # Only where installing needs no one's permission: a test never escalates.
  [ "$(id -u)" -eq 0 ] || skip "the print system's packages are missing (cups, cups-filters, printer-driver-cups-pdf, cups-client, poppler-utils)"
  MAROVELLIX_PACKAGES_ONLY=1 bash "$here/scripts/setup.sh" program cups cups-filters printer-driver-cups-pdf cups-client poppler-utils \
    || skip "the print system's packages cannot be installed"
fi
cupsd=$(command -v cupsd || echo /usr/sbin/cupsd)

work=$(mktemp -d "${TMPDIR:-/tmp}/try-print.XXXXXX")
queue=marovellix-try-$$
cleanup() {
  if [ -f "$work/cupsd.pid" ]; then
    pid=$(cat "$work/cupsd.pid")
    kill -s CONT "$pid" 2>/dev/null || true
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  fi
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

mkdir -p "$work"/{spool,tmp,cache,state,log,out,home,bin/backend}
# The server's helper programs are the system's, but for the backend folder, which holds only
# the virtual printer: no other backend (nor any other printer) can be reached from here.
for helper in filter cgi-bin daemon monitor notifier driver; do
  if [ -e "/usr/lib/cups/$helper" ]; then ln -s "/usr/lib/cups/$helper" "$work/bin/$helper"; fi
done
# The virtual printer: files each job, already a PDF, as OUT/job-ID.pdf (whole or not at all).
cat >"$work/bin/backend/marovellix-pdf" <<'EOF'
#!/bin/sh
if [ $# -eq 0 ]; then
  echo 'file marovellix-pdf "Unknown" "Marovellix+ virtual PDF printer"'
  exit 0
fi
out=${DEVICE_URI#marovellix-pdf:}
if [ $# -ge 6 ]; then cat "$6"; else cat; fi >"$out/.job-$1.part" || exit 1
mv "$out/.job-$1.part" "$out/job-$1.pdf"
echo "INFO: filed as $out/job-$1.pdf" >&2
EOF
chmod 755 "$work/bin/backend/marovellix-pdf"
# cups-pdf's page sizes and margins, with the job handed over as the PDF the system's pdftopdf
# makes rather than as PostScript.
sed -e 's|^\*% cupsFilter:.*|*cupsFilter2: "application/vnd.cups-pdf application/pdf 0 -"|' \
  /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd >"$work/virtual-pdf.ppd"
grep -q '^\*cupsFilter2:' "$work/virtual-pdf.ppd" || skip "cups-pdf's PPD has changed shape: no filter line to replace"

# Started by root (a container, CI), the server still runs as no one in particular: the folder
# becomes that account's and nothing of the print system ever has root's rights.
as_server=()
if [ "$(id -u)" -eq 0 ]; then
  command -v setpriv >/dev/null && id nobody >/dev/null 2>&1 || skip "no unprivileged account to run the print server as"
  as_server=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups --)
  chown -R nobody:"$(id -g nobody)" "$work"
  chmod 755 "$work" # the driver, run as root, reads the PDFs whatever the mode
  # A temporary folder under root's home cannot be entered by that account: the system's then.
  if ! "${as_server[@]}" test -w "$work/spool"; then
    moved=$(mktemp -d /tmp/try-print.XXXXXX)
    cp -a "$work/." "$moved/"
    rm -rf "$work"
    work=$moved
    chown nobody:"$(id -g nobody)" "$work"
    "${as_server[@]}" test -w "$work/spool" || skip "the print server's account cannot reach a folder of its own"
  fi
fi
group=$(if [ ${#as_server[@]} -gt 0 ]; then id -gn nobody; else id -gn; fi)
cat >"$work/cups-files.conf" <<EOF
ServerRoot $work
RequestRoot $work/spool
TempDir $work/tmp
CacheDir $work/cache
StateDir $work/state
DataDir /usr/share/cups
ServerBin $work/bin
ErrorLog $work/log/error_log
AccessLog $work/log/access_log
PageLog $work/log/page_log
FileDevice No
SystemGroup $group
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

"${as_server[@]}" "$cupsd" -f -c "$work/cupsd.conf" -s "$work/cups-files.conf" >"$work/log/cupsd.out" 2>&1 &
echo $! >"$work/cupsd.pid"
export CUPS_SERVER=127.0.0.1:$port
# "lpstat -r" ends with status 0 whether the scheduler answers or not: its words tell.
server_answers() {
  LC_ALL=C LANG=C lpstat -r 2>/dev/null | grep -qx "scheduler is running"
}
for _ in $(seq 100); do server_answers && break; sleep 0.1; done
server_answers || { cat "$work/log/cupsd.out" "$work/log/error_log" 2>/dev/null; skip "the print server did not start"; }
# (lpadmin warns that printer drivers are deprecated: said only when it fails.)
lpadmin -p "$queue" -E -v "marovellix-pdf:$work/out" -P "$work/virtual-pdf.ppd" 2>"$work/log/lpadmin.out" || {
  cat "$work/log/lpadmin.out"
  tail -n 30 "$work/log/error_log" 2>/dev/null
  echo "try-print: the virtual printer could not be added" >&2
  exit 1
}
lpadmin -d "$queue"
lpstat -p "$queue" -d

cat >"$work/signal.sh" <<EOF
#!/bin/sh
kill -s "\$1" \$(cat "$work/cupsd.pid")
EOF
chmod 755 "$work/signal.sh"

status=0
mkdir -p "$work/home"/{config,cache,data,runtime}
chmod 700 "$work/home/runtime"
env HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_CACHE_HOME="$work/home/cache" \
  XDG_DATA_HOME="$work/home/data" XDG_RUNTIME_DIR="$work/home/runtime" QT_QPA_PLATFORM=offscreen TRY_PRINT_QUEUE="$queue" TRY_PRINT_OUTPUT="$work/out" \
  TRY_PRINT_SIGNAL_SERVER="$work/signal.sh" "$driver" || status=$?
echo "PDFs written by the virtual printer: $(find "$work/out" -name '*.pdf' | wc -l)"
if [ "$status" -ne 0 ]; then
  tail -n 30 "$work/log/error_log" 2>/dev/null || true
fi
exit "$status"
