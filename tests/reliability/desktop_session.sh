#!/usr/bin/env bash
# desktop_session.sh KINOVKA WORKDIR
#
# The real program under a real X server (Xvfb), driven by key and mouse events
# (xdotool) as a user drives it: start without a catalogue, "Nový", two films
# added with F4 (Czech letters typed as such), a sort by a column title, a jump
# by typed digits, a find, and the list saved as text through the file dialog.
# Each of the last steps is followed by an edit of the film it selected, so that
# the catalogue file shows where the cursor went. The catalogue and the text
# file are then compared byte for byte with what they must hold.
#
# No window manager runs: the program's windows are found by their titles and
# take the keyboard focus themselves. Exit status 77 (a skip, shown as such by
# ctest) only when Xvfb, xdotool or xmodmap is missing.
set -euo pipefail
source "$(dirname "$0")/../common/x_session.sh"

program=$1
work=$2
timeout=${KINOVKA_SESSION_TIMEOUT:-60}  # seconds any one step may take

for tool in Xvfb xdotool xmodmap; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (scripts/setup.sh installs it)"
    exit 77
  fi
done

rm -rf "$work"
mkdir -p "$work/bin"
# The catalogue lies beside the executable, so the program runs from a copy.
cp "$program" "$work/bin/kinovka"
catalogue="$work/bin/filmy.xml"
listfile="$work/seznam.txt"

xvfb_pid=""
program_pid=""
step="starting"
finish() {
  local status=$?
  if [ $status -ne 0 ]; then
    echo "FAILED at: $step"
    if [ -n "${DISPLAY:-}" ] && command -v import >/dev/null; then
      import -display "$DISPLAY" -window root "$work/failure.png" 2>/dev/null &&
        echo "screen saved as $work/failure.png"
    fi
    [ -f "$work/program.log" ] && { echo "--- program output"; cat "$work/program.log"; }
  fi
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  exit $status
}
trap finish EXIT

# --- the X server, on a display number it picks itself
start_xvfb "$work" -noreset
# The Czech letters typed below get keys of their own (each with its capital).
# Otherwise xdotool lends one spare key to each such letter in turn, and a slow
# program (the sanitizer build) may read a letter after its key has already
# been lent to the next one. The server keeps the keys because it does not
# reset when its last client leaves (-noreset).
for letter in scaron aacute eacute iacute; do
  xmodmap -e "keycode any = $letter"
done

# --- helpers

invisible() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
has_text() { [ -f "$1" ] && grep -qF -- "$2" "$1"; }

# Waits until no visible window has the title $1.
gone() {
  within "$timeout" invisible "$1" && return 0
  echo "window \"$1\" did not close"
  return 1
}

# Waits until the window $1 has the keyboard focus. The program gives it to each
# window it opens; where it has not within two seconds, it is given by hand, as
# a window manager would on a click.
focused() {
  within 2 has_focus "$1" && return 0
  xdotool windowfocus "$1" 2>/dev/null || true
  within "$timeout" has_focus "$1" && return 0
  echo "window $1 did not get the focus (it is on $(xdotool getwindowfocus getwindowname 2>&1))"
  return 1
}

# Waits until the file $1 holds the text $2.
holds() {
  within "$timeout" has_text "$1" "$2" && return 0
  echo "$1 never held: $2"
  return 1
}

keys() { xdotool key --delay 40 "$@"; }
type_text() { xdotool type --delay 40 -- "$1"; }

# A left click at x, y within the main window.
click() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$main")"
  xdotool mousemove --sync $((X + $1)) $((Y + $2)) click 1
}

# Where things are in the main window (it is not maximised without a window
# manager), with its sizes scaled for the DejaVu Sans 8 pt it is shown in:
# toolbar buttons on the row 16 pixels down, the grid's title row at 39.
readonly nove_x=33 opravit_x=160 seznamy_x=482 konec_x=631 toolbar_y=16
readonly cd_title_x=597 titles_y=39

# Fills the edit dialog's seven boxes from Edit1 on; "-" leaves a box as it is,
# "" empties it. Tab moves on and selects the next box's text, so typing replaces it.
fill() {
  local first=1
  for text in "$@"; do
    [ $first -eq 1 ] || keys Tab
    first=0
    case "$text" in
      -) ;;
      "") keys BackSpace ;;
      *) keys ctrl+a; type_text "$text" ;;
    esac
  done
}

# "Opravit" on the current film: its note becomes $1, saved with "&Uložit",
# until the catalogue holds $2.
edit_note() {
  click $opravit_x $toolbar_y
  local edit
  edit=$(window "Úprava CD v seznamu")
  focused "$edit"
  fill - - - - - - "$1"
  keys alt+s
  gone "Úprava CD v seznamu"
  holds "$catalogue" "$2"
}

# --- the session
step="start without a catalogue"
# On the X server, whatever platform the tests around it use (test.sh sets
# offscreen). A sanitizer build reports leaks at the end, except those of system
# libraries listed beside this script.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(dirname "$0")/system-leaks.supp"
(cd "$work" && LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb exec "$work/bin/kinovka") >"$work/program.log" 2>&1 &
program_pid=$!
error=$(window Error)
focused "$error"
keys Return
gone Error
main=$(window "Kinovka - databáze filmů v. 2.0 - vyrobil tým Kinovka")
focused "$main"

step="Nový"
click $nove_x $toolbar_y
holds "$catalogue" "<ROWDATA></ROWDATA>"

step="the first film with F4"
keys F4
add=$(window "Přidání CD do seznamu")
focused "$add"
fill "Kolya" "Kolja" "25" "CZ" "EN" "1" "Oscar"
keys alt+s
gone "Přidání CD do seznamu"
holds "$catalogue" 'S1="Kolya"'

step="the second film with F4, in Czech letters"
focused "$main"
keys F4
add=$(window "Přidání CD do seznamu")
focused "$add"
fill "Šakalí léta" - "2" "CZ" "" - "muzikál"
keys alt+s
gone "Přidání CD do seznamu"
holds "$catalogue" 'S1="&#138;akal&#237; l&#233;ta"'

step="sort by the title \"č. CD\", then type 25 to jump to Kolya and edit its note"
focused "$main"
click $cd_title_x $titles_y
sleep 0.5
keys 2 5
edit_note "Oscar 1997" 'S7="Oscar 1997"'

step="find \"šak\" with F7, then edit the note of the film found"
focused "$main"
keys F7
find=$(window "Hledání CD podle zadaných hodnot")
focused "$find"
type_text "šak"
keys Return
gone "Hledání CD podle zadaných hodnot"
focused "$main"
edit_note "muzikál, 1993" 'S7="muzik&#225;l, 1993"'

step="save the list as text"
focused "$main"
click $seznamy_x $toolbar_y
list=$(window "Práce se seznamem")
focused "$list"
keys alt+u
save=$(window "Uložit jako")
focused "$save"
keys ctrl+a
type_text "$listfile"
keys Return
gone "Uložit jako"
holds "$listfile" "Kolya"
focused "$list"
keys alt+z
gone "Práce se seznamem"

step="Konec"
focused "$main"
click $konec_x $toolbar_y
within "$timeout" ended "$program_pid" || { echo "the program did not end"; exit 1; }
wait "$program_pid"
program_pid=""

step="compare the files"
expected_catalogue='<?xml version="1.0" standalone="yes"?>  <DATAPACKET Version="2.0"><METADATA><FIELDS>'\
'<FIELD attrname="K" fieldtype="i4" readonly="true" SUBTYPE="Autoinc"/>'\
'<FIELD attrname="S1" fieldtype="string" WIDTH="50"/><FIELD attrname="S2" fieldtype="string" WIDTH="50"/>'\
'<FIELD attrname="S3" fieldtype="i4"/><FIELD attrname="S4" fieldtype="string" WIDTH="2"/>'\
'<FIELD attrname="S5" fieldtype="string" WIDTH="11"/><FIELD attrname="S6" fieldtype="i4"/>'\
'<FIELD attrname="S7" fieldtype="string" WIDTH="100"/></FIELDS><PARAMS AUTOINCVALUE="3"/></METADATA><ROWDATA>'\
'<ROW K="1" S1="Kolya" S2="Kolja" S3="25" S4="CZ" S5="EN" S6="1" S7="Oscar 1997"/>'\
'<ROW K="2" S1="&#138;akal&#237; l&#233;ta" S2="&#138;akal&#237; l&#233;ta" S3="2" S4="CZ" S5="" S6="1" '\
'S7="muzik&#225;l, 1993"/></ROWDATA></DATAPACKET>'
printf '%s' "$expected_catalogue" >"$work/expected-filmy.xml"

# The list in the order of "č. CD", fixed-width Windows-1250 lines ended by CR LF.
cp1250() { printf '%s' "$1" | iconv -f UTF-8 -t CP1250; }
film_line() {
  LC_ALL=C printf '%-50s %-50s %.4d %-2s %-11s %2s %-100s\r\n' \
    "$(cp1250 "$1")" "$(cp1250 "$2")" "$3" "$4" "$5" "$6" "$(cp1250 "$7")"
}
{
  LC_ALL=C printf '%-50s %-50s %-4s %-2s %-11s %-2s %-100s\r\n\r\n' "$(cp1250 "Název anglicky")" \
    "$(cp1250 "Název česky")" "$(cp1250 "č.CD")" Zn Titulky ks "$(cp1250 "Poznámka")"
  film_line "Šakalí léta" "Šakalí léta" 2 CZ "" 1 "muzikál, 1993"
  film_line "Kolya" "Kolja" 25 CZ EN 1 "Oscar 1997"
} >"$work/expected-seznam.txt"

status=0
for pair in "$catalogue:$work/expected-filmy.xml" "$listfile:$work/expected-seznam.txt"; do
  actual=${pair%%:*}
  expected=${pair#*:}
  if ! cmp "$actual" "$expected"; then
    status=1
    echo "--- $actual differs from $expected:"
    diff <(od -c "$expected") <(od -c "$actual") | head -20 || true
  fi
done
# The window let go of the catalogue's lock when it closed.
if [ -e "$catalogue.lock" ]; then echo "the lock's sidecar is still there"; status=1; fi
[ $status -eq 0 ] && echo "the catalogue and the list are exactly as expected"
exit $status
