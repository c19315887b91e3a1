#!/usr/bin/env bash
# Usage: play_from_zip.sh ZIP WINE_RUN WINE_FOLDER
# Unzips plotwright-windows.zip as a student would, into a folder whose name
# has blanks and non-English letters, and plays a whole game under Wine by
# "Play Plotwright.cmd", the answers typed in advance. The pause at its end
# returns at the end of the input.
set -euo pipefail
zip="$1" wine_run="$2" wine_folder="$3"
place="$(mktemp -d)"
trap 'rm -rf "$place"' EXIT
folder="$place/Klasse gü班"
mkdir "$folder"
cd "$folder"
unzip -q "$zip"
# Crosses wait; plant predictions, all kept; single-seed descent; line
# predictions, all kept; release line 1; the end.
printf '\n2\n\n3\n2\n\n99\n1\n\n' | "$wine_run" "$wine_folder" cmd /c "Play Plotwright.cmd" > console.txt 2>&1

fail() { echo "play_from_zip: $1" >&2; cat console.txt >&2; exit 1; }
grep -q "The genotypic values of the line you released are as follows:" console.txt || fail "no verdict"
grep -q "Press <Enter> to EXIT" console.txt || fail "no end of game"
# The console shows Windows line ends; the files the game writes keep "\n".
grep -q $'Press <Enter> to EXIT\r$' console.txt || fail "the console lines do not end in CRLF"
grep -q "^Line_ID " Results.csv || fail "Results.csv does not hold the line table"
! grep -q $'\r' Results.csv || fail "Results.csv has CR line ends"
echo "play_from_zip: a whole game played from the zip in '$(basename "$folder")'"
