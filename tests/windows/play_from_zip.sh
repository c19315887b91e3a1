#!/usr/bin/env bash
# Usage: play_from_zip.sh ZIP WINE_RUN WINE_FOLDER
# Unzips plotwright-windows.zip as a student would, into a folder named in
# other letters, and plays a whole game under Wine through "Play
# Plotwright.cmd", whose closing pause returns at the end of the input.
set -euo pipefail
place="$(mktemp -d)" && trap 'rm -rf "$place"' EXIT
mkdir "$place/Klasse gü班" && cd "$place/Klasse gü班" && unzip -q "$1"
# Plant predictions, all kept; single-seed descent; line predictions, all kept; release line 1.
printf '\n2\n\n3\n2\n\n99\n1\n\n' | "$2" "$3" cmd /c "Play Plotwright.cmd" > console.txt 2>&1 || true
cat console.txt
# The console shows Windows line ends, Results.csv keeps "\n" alone.
grep -q $'The genotypic values of the line you released are as follows:\r$' console.txt
grep -q "^Line_ID " Results.csv && ! grep -q $'\r' Results.csv
