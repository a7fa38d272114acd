#!/usr/bin/env bash
# check_package.sh DEB WORKDIR
#
# Checks the Debian package as a user's machine would meet it: lintian finds no
# errors; the desktop entry and the AppStream metainfo validate; the unpacked
# files hold the executables, desktop entry, icons, metainfo, manual pages and
# completion; one version runs through the package, the metainfo, the manual
# pages and kinovka-cli; and the unpacked kinovka, started under Xvfb in a fresh
# home, reports the missing "filmy.xml" and then creates the empty catalogue in
# ~/.local/share/kinovka/ with "Nový".
set -euo pipefail
source "$(dirname "$0")/../common/x_session.sh"

deb=$(realpath "$1")
work=$2
timeout=${KINOVKA_SESSION_TIMEOUT:-60}  # seconds any one step may take

rm -rf "$work"
mkdir -p "$work"
work=$(realpath "$work")
root="$work/root"
app_id=example.kinovka.Kinovka
step=""
xvfb_pid=""
program_pid=""
finish() {
  local status=$?
  [ $status -ne 0 ] && echo "FAILED at: $step"
  [ $status -ne 0 ] && [ -f "$work/program.log" ] && { echo "--- program output"; cat "$work/program.log"; }
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  exit $status
}
trap finish EXIT

step="lintian"
# Warnings are shown; an error fails the check.
lintian --fail-on error --tag-display-limit 0 "$deb"

step="unpack"
dpkg-deb -x "$deb" "$root"
files=(usr/bin/kinovka usr/bin/kinovka-cli usr/share/applications/$app_id.desktop
       usr/share/icons/hicolor/scalable/apps/kinovka.svg usr/share/metainfo/$app_id.metainfo.xml
       usr/share/man/man1/kinovka.1.gz usr/share/man/man1/kinovka-cli.1.gz
       usr/share/bash-completion/completions/kinovka-cli usr/share/doc/kinovka/copyright
       usr/share/doc/kinovka/README.md usr/share/doc/kinovka/docs/cli.md)
for size in 16 24 32 48 64 128 256; do files+=("usr/share/icons/hicolor/${size}x$size/apps/kinovka.png"); done
for file in "${files[@]}"; do
  [ -s "$root/$file" ] || { echo "missing from the package: $file"; exit 1; }
done
for size in 16 24 32 48 64 128 256; do
  # Bytes 16 to 23 of a PNG: its width and height, big-endian.
  actual=$(od --endian=big -An -tu4 -j16 -N8 "$root/usr/share/icons/hicolor/${size}x$size/apps/kinovka.png" | xargs)
  [ "$actual" = "$size $size" ] || { echo "the ${size}px icon is $actual pixels"; exit 1; }
done

step="desktop entry and metainfo"
desktop-file-validate "$root/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml"

step="one version everywhere"
version=$(dpkg-deb -f "$deb" Version)
[ "$("$root/usr/bin/kinovka-cli" --version)" = "kinovka-cli $version" ]
grep -qF "<release version=\"$version\"" "$root/usr/share/metainfo/$app_id.metainfo.xml"
for page in kinovka kinovka-cli; do
  zcat "$root/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH .*\"Kinovka $version\"" ||
    { echo "$page(1) does not carry version $version"; exit 1; }
done

step="the manual page and the completion know every command and option"
zcat "$root/usr/share/man/man1/kinovka-cli.1.gz" | MANWIDTH=200 man -l - >"$work/kinovka-cli.txt" 2>"$work/man.log"
[ ! -s "$work/man.log" ] || { cat "$work/man.log"; exit 1; }
completion="$root/usr/share/bash-completion/completions/kinovka-cli"
cli="$root/usr/bin/kinovka-cli"
for command in $("$cli" --help | sed -n 's/^  \([a-z]\+\) .*/\1/p'); do
  grep -q "^ *$command " "$work/kinovka-cli.txt" || { echo "kinovka-cli(1) lacks the command $command"; exit 1; }
  grep -q "commands=\".*\b$command\b" "$completion" || { echo "the completion lacks the command $command"; exit 1; }
  for option in $("$cli" "$command" --help | sed -n 's/^  \(--[a-z]\+\).*/\1/p'); do
    grep -qe "$option\b" "$work/kinovka-cli.txt" || { echo "kinovka-cli(1) lacks $command $option"; exit 1; }
    # The completion offers each command's options in a line of its own.
    [ "$option" = --help ] || grep -qE "^ *([a-z]+ \| )*$command( \| [a-z]+)*\) options=.*$option\b" "$completion" ||
      { echo "the completion lacks $command $option"; exit 1; }
  done
done

step="the unpacked program in a fresh home"
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/setup.sh installs it)"; exit 1; }
done
home="$work/home"
mkdir -p "$home"
start_xvfb "$work"
(cd "$work" && exec env -u XDG_DATA_HOME HOME="$home" LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb \
  "$root/usr/bin/kinovka") >"$work/program.log" 2>&1 &
program_pid=$!

step="the missing-catalogue box"
# Outside Windows, Qt offers no way to read a message box's text from outside (the
# window tests check its wording). What shows that the box is about filmy.xml in
# the data folder is the lock the program holds on exactly that file meanwhile.
error=$(window Error)
data="$home/.local/share/kinovka"
[ -e "$data/filmy.xml.lock" ] && [ ! -e "$data/filmy.xml" ] ||
  { echo "the program is not looking for $data/filmy.xml:"; ls -la "$data"; exit 1; }
xdotool windowfocus --sync "$error" key Return

step="Nový"
main=$(window "Kinovka - databáze filmů v. 2.0 - vyrobil tým Kinovka")
eval "$(xdotool getwindowgeometry --shell "$main")"
# Toolbar buttons on the row 16 pixels down, "Nový" first and "Konec" last, where
# the desktop session finds them too (the window is not maximised without a window
# manager; its sizes are scaled for the DejaVu Sans 8 pt it is shown in).
xdotool mousemove --sync $((X + 33)) $((Y + 16)) click 1
catalogue="$data/filmy.xml"
within "$timeout" test -s "$catalogue" || { echo "no $catalogue"; exit 1; }
step="Konec"
xdotool mousemove --sync $((X + 631)) $((Y + 16)) click 1
within "$timeout" ended "$program_pid" || { echo "the program did not end"; exit 1; }
wait "$program_pid"
program_pid=""

step="the empty catalogue's bytes"
# K is not yet read-only in a catalogue the program has just created.
printf '%s' '<?xml version="1.0" standalone="yes"?>  <DATAPACKET Version="2.0"><METADATA><FIELDS>'\
'<FIELD attrname="K" fieldtype="i4" SUBTYPE="Autoinc"/>'\
'<FIELD attrname="S1" fieldtype="string" WIDTH="50"/><FIELD attrname="S2" fieldtype="string" WIDTH="50"/>'\
'<FIELD attrname="S3" fieldtype="i4"/><FIELD attrname="S4" fieldtype="string" WIDTH="2"/>'\
'<FIELD attrname="S5" fieldtype="string" WIDTH="11"/><FIELD attrname="S6" fieldtype="i4"/>'\
'<FIELD attrname="S7" fieldtype="string" WIDTH="100"/></FIELDS><PARAMS AUTOINCVALUE="1"/></METADATA>'\
'<ROWDATA></ROWDATA></DATAPACKET>' >"$work/expected-filmy.xml"
cmp "$catalogue" "$work/expected-filmy.xml"
[ "$(stat -c %a "$data")" = 700 ] || { echo "the data folder is not owner-only"; exit 1; }
echo "the package is complete and its program keeps the catalogue in the user's data folder"
