#!/usr/bin/env bash
# Starts the real program on a virtual display and spends an evening with it the way a punter
# does, with the mouse and the keyboard: five forecasts and their synthesis, reduced system 12
# on nine horses, its ticket list printed to PDF, the comparison with an arrival and its
# payouts, the holes of the tickets, the tickets marked on slips into a PDF, the printer
# adjustments and the stakes, a ticket file from the generator opened again, a system of the
# punter's own, conditions on the tickets, a game saved, the program closed, started again and the game loaded. Each window
# is saved as a picture in docs/help/marovellix-aide/, where the user guide and the README show
# them; the first printed slip is rendered from its PDF. Fails when a step does not give what it
# should.
#
# Usage: bash scripts/screenshots.sh   (builds the program first, like scripts/run.sh)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

if [ -z "${MAROVELLIX_SCREENSHOTS_DISPLAY:-}" ]; then
  bash scripts/setup.sh program xvfb xauth poppler-utils xdotool x11-apps netpbm
  exec env MAROVELLIX_SCREENSHOTS_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

pictures=docs/help/marovellix-aide
work=$(mktemp -d)
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# A program folder of its own, so the run starts without a settings file.
mkdir -p "$work/programme" "$work/fichiers"
cp "${MAROVELLIX_BUILD_DIR:-build}/src/marovellix" "$work/programme/"
files=$work/fichiers

fail() {
  echo "screenshots: $*" >&2
  local id
  for id in $(xdotool search --onlyvisible --name . 2>/dev/null); do
    xwd -silent -id "$id" | xwdtopnm 2>/dev/null | pnmtopng >"${TMPDIR:-/tmp}/screenshots-failed-$id.png" || true
    echo "screenshots: \"$(xdotool getwindowname "$id")\" was open: ${TMPDIR:-/tmp}/screenshots-failed-$id.png" >&2
  done
  exit 1
}

# The visible window whose title starts with $1 (waits up to 10 s for it to appear).
window() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1" 2>/dev/null | head -1) && [ -n "$id" ] && {
      echo "$id"
      return
    }
    sleep 0.1
  done
  fail "no window \"$1\""
}
gone() {
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "^$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "window \"$1\" did not close"
}
# Clicks at a position inside a window, in the window's own coordinates.
click() {
  local X Y WINDOW SCREEN WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$(window "$1")")"
  xdotool mousemove $((X + $2)) $((Y + $3)) click 1
  sleep 0.3
}
# Clicks into a box, replaces its text by typing, and leaves it with Tab.
type_into() {
  click "$1" "$2" "$3"
  xdotool key ctrl+a
  xdotool type --delay 25 -- "$4"
  xdotool key Tab
  sleep 0.1
}
# Opens a list box and picks the entry that starts with the text typed.
pick() {
  click "$1" "$2" "$3"
  sleep 0.5
  xdotool type --delay 25 "$4"
  xdotool key Return
  sleep 0.3
}
# Waits until the window whose title starts with $1 has the keyboard.
focused() {
  local id
  id=$(window "$1")
  for _ in $(seq 100); do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$id" ] && {
      sleep 0.3
      return
    }
    sleep 0.1
  done
  fail "window \"$1\" never got the keyboard"
}
# Types a file name into the file dialog that is open, and accepts it.
file_name() {
  focused "$1"
  xdotool key ctrl+a
  xdotool type --delay 10 "$2"
  # The dialog completes file names as they are typed; a Return too early goes to the completion.
  sleep 0.5
  xdotool key Return
  gone "$1"
}
# Waits for the program to finish writing a file: there, and its size steady for half a second.
written() {
  local size=-1
  for _ in $(seq 100); do
    if [ -s "$1" ] && [ "$(stat -c %s "$1")" = "$size" ]; then
      return
    fi
    [ -e "$1" ] && size=$(stat -c %s "$1")
    sleep 0.5
  done
  fail "the program did not write $1"
}
shot() {
  sleep 0.5
  xwd -silent -id "$(window "$1")" | xwdtopnm 2>/dev/null | pnmtopng >"$pictures/$2.png"
  echo "$pictures/$2.png"
}
start_program() {
  (cd "$work/programme" && exec env LANG=fr_FR.UTF-8 ./marovellix) &
  program_pid=$!
  window "Marovellix+" >/dev/null
  sleep 1
}
quit_program() {
  click "Marovellix+" 592 477 # Quit
  wait "$program_pid" || fail "the program ended with status $?"
  program_pid=
}
main=Marovellix+
pdf_dialog="Aucune imprimante"

start_program

# Synthesis page: 16 runners, five forecasts of eight horses.
click $main 130 78
type_into $main 72 172 16
click $main 346 154 # "Saisie des pronos"
forecasts=("7 3 12 5 14 1 9 2" "3 7 5 12 1 14 2 11" "7 12 3 14 5 9 1 16" "12 7 3 5 1 2 14 8" "3 12 7 1 5 14 11 9")
columns=(46 109 172 235 298 362 425 488)
for n in 0 1 2 3 4; do
  [ "$n" -eq 0 ] || click "Saisie" 293 37 # next forecast
  i=0
  for horse in ${forecasts[n]}; do
    type_into "Saisie" "${columns[i]}" 96 "$horse"
    i=$((i + 1))
  done
done
shot "Saisie" saisie-pronos
click "Saisie" 565 193 # "Retour"
gone "Saisie"
shot $main principale-synthese
click $main 346 216 # "Voir la Synthese"
shot "Synthese" synthese
click "Synthese" 598 383 # "Retour"
gone "Synthese"

# Systems page: reduced system 12 (quinté+, nine horses, 30 tickets) on the synthesis' first nine.
click $main 327 78
pick $main 340 201 "quinté:  9 chevaux en 30"
columns=(57 120 183 246 309 373 436 499 562)
i=0
for horse in 7 3 12 5 1 14 2 9 11; do
  type_into $main "${columns[i]}" 312 "$horse"
  i=$((i + 1))
done
shot $main systemes-reduits

click $main 94 409 # "Voir les tickets"
shot "Liste des tickets" liste-tickets
click "Liste des tickets" 241 324 # "Imprimer la liste"
file_name "$pdf_dialog" "$files/liste.pdf"
written "$files/liste.pdf"
click "Liste des tickets" 594 324 # "Retour"
gone "Liste des tickets"
[ "$(pdftotext "$files/liste.pdf" - | grep -c '^[0-9]')" -eq 30 ] || fail "the printed list does not hold 30 tickets"

click $main 400 409 # "Générer un fichier"
file_name "Indiquer" "$files/systeme12.txt"
written "$files/systeme12.txt"
[ "$(wc -l <"$files/systeme12.txt")" -eq 30 ] || fail "the ticket file does not hold 30 tickets"

# The arrival and the payouts of the race, then the winnings.
click $main 570 409 # "Comparer avec l'arrivée"
rows=(80 106 132 158 184)
i=0
for horse in 7 12 3 5 14; do
  type_into "Comparer" 84 "${rows[i]}" "$horse"
  i=$((i + 1))
done
type_into "Comparer" 258 114 "12345,60"
type_into "Comparer" 348 114 "246,80"
type_into "Comparer" 438 114 "45,20"
type_into "Comparer" 528 114 "18,40"
type_into "Comparer" 618 114 "6,20"
type_into "Comparer" 258 152 "1250,30"
type_into "Comparer" 348 152 "98,40"
type_into "Comparer" 438 152 "12,10"
type_into "Comparer" 258 190 "342,50"
type_into "Comparer" 348 190 "68,50"
click "Comparer" 605 238 # "Voir les résultats"
shot "Comparer" comparer
click "Comparer" 625 528 # "Retour"
gone "Comparer"

# The holes of the 30 tickets, from the ticket list.
click $main 94 409 # "Voir les tickets"
click "Liste des tickets" 568 260 # "Trous"
shot "Trous" trous
click "Trous" 703 312 # "Retour"
gone "Trous"
click "Liste des tickets" 594 324 # "Retour"
gone "Liste des tickets"

# The tickets marked on quinté+ slips, a single stake, into a PDF.
click $main 245 408 # "Imprimer les tickets"
click "Imprimer les Tickets" 392 256 # "Quinte+"
click "Imprimer les Tickets" 46 246  # stake 1
shot "Imprimer les Tickets" imprimer-tickets
click "Imprimer les Tickets" 298 320 # "Imprimer"
file_name "$pdf_dialog" "$files/bulletins.pdf"
written "$files/bulletins.pdf"
gone "Imprimer les Tickets"
[ "$(pdfinfo "$files/bulletins.pdf" | sed -n 's/^Pages: *//p')" -eq 30 ] || fail "the slips PDF does not hold 30 slips"
# The first slip, from the top of its page where the marks are.
pdftoppm -r 100 -png -f 1 -l 1 -x 0 -y 0 -W 827 -H 260 "$files/bulletins.pdf" "$files/bulletin"
cp "$files"/bulletin-*1.png "$pictures/bulletin-imprime.png"
echo "$pictures/bulletin-imprime.png"

# The printer adjustments, 2 mm to the left and 3 mm down, and the about box.
click $main 107 23 # "Parametres"
type_into "Param" 296 80 -2
type_into "Param" 296 116 3
shot "Param" parametres
click "Param" 176 176 # "Mises..."
shot "Mises" mises
click "Mises" 650 356 # "Annuler"
gone "Mises"
click "Param" 227 258 # "OK"
gone "Param"
click $main 26 23 # about
shot "A propos" apropos
click "A propos" 232 248 # "OK"
gone "A propos"

# The generator: eight horses, five per ticket, the 7 as a base in first place, into a file.
click $main 210 155
pick $main 217 179 "8"
pick $main 427 194 "5"
pick $main 145 219 "1"
shot $main generateur
click $main 400 409 # "Générer un fichier"
focused "Veuillez confirmer"
xdotool key Return # "Oui" is the default answer
gone "Veuillez confirmer"
file_name "Indiquer" "$files/generateur.txt"
written "$files/generateur.txt"
[ "$(wc -l <"$files/generateur.txt")" -eq 35 ] || fail "the generator's file does not hold the 35 tickets"
grep -qv '^7,' "$files/generateur.txt" && fail "a generated ticket does not start with the base"
# The same file opened again as a ticket list.
click $main 364 115 # "Ouvrir un fichier de tickets"
file_name "Ouvrir un fichier" "$files/generateur.txt"
# Five horses a ticket fit several bets: the question offers the quinté+ first.
window "Pari" >/dev/null
xdotool key Return
window "Liste des tickets" >/dev/null
click "Liste des tickets" 594 324 # "Retour"
gone "Liste des tickets"

# Mon système: ten horses, four per ticket, the first three in some ticket; searched, then into a file.
click $main 337 155
pick $main 385 183 "4"
type_into $main 612 312 16
click $main 78 244 # "Chercher"
sleep 1
shot $main mon-systeme
click $main 400 409 # "Générer un fichier"
file_name "Indiquer" "$files/mon-systeme.txt"
written "$files/mon-systeme.txt"
[ "$(wc -l <"$files/mon-systeme.txt")" -eq 30 ] || fail "the own system's file does not hold its 30 tickets"

# Conditions on system 12: the synthesis' first five as favourites, at least three of them in a
# ticket; the page says so, then they are cleared again before the game is saved.
click $main 72 155
click $main 505 115 # "Conditions…"
click "Conditions" 86 220 # "Prendre la synthèse"
pick "Conditions" 366 42 "3"
shot "Conditions" conditions
click "Conditions" 310 220 # "OK"
gone "Conditions"
shot $main systemes-conditions
click $main 666 116 # "Effacer" the conditions

# Back to system 12, saved as a game; closed, started again, loaded: the same tickets.
click $main 72 155
click $main 74 115 # "Enregistrer le jeu"
file_name "Indiquer" "$files/soiree.mvx"
quit_program
settings=$work/programme/MAROVELL.PAR
[ "$(stat -c %s "$settings")" -eq 112 ] || fail "no settings file after closing"
[ "$(od -An -t d4 -j 20 -N 8 "$settings" | xargs)" = "-2 3" ] || fail "the printer adjustments were not kept"
start_program
click $main 202 115 # "Charger un jeu"
file_name "S.*lectionnez" "$files/soiree.mvx"
click $main 400 409 # "Générer un fichier"
file_name "Indiquer" "$files/rechargee.txt"
written "$files/rechargee.txt"
cmp -s "$files/systeme12.txt" "$files/rechargee.txt" || fail "the loaded game does not give the saved tickets"
quit_program
echo "screenshots: an evening went through; pictures in $pictures"
