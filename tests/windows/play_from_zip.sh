#!/usr/bin/env bash
# Usage: play_from_zip.sh ZIP WINE_RUN WINE_FOLDER
# Unzips plotwright-windows.zip as a student would, into a folder named in
# other letters, and under Wine: plays a whole game through "Play
# Plotwright.cmd" (whose closing pause returns at the end of the input) from
# the seed a teacher put in seed.txt; starts that file alone, as Windows does
# from inside the zip, where it says to unzip first; and sums up a class
# whose folders are named in other letters with "Class summary.cmd", the
# class's folder dropped onto it and the file double-clicked beside it.
set -euo pipefail
place="$(mktemp -d)" && trap 'rm -rf "$place"' EXIT
wine=("$2" "$3")
mkdir "$place/Klasse gü班" && cd "$place/Klasse gü班" && unzip -q "$1"
fail() { echo "FAILED: $*" >&2; exit 1; }

# Every text file has Windows line ends.
for text in *.cmd *.txt *.csv *.html; do
  ! grep -qv $'\r$' "$text" || fail "$text has a line without a Windows line end"
done
grep -q $'^  Line 15 ' Founders.txt || fail "Founders.txt holds no founders table"

# The teacher's seed, as Notepad saves it. Plant predictions, all kept;
# single-seed descent; line predictions, all kept; release line 1.
printf '42\r\n' > seed.txt
printf '\n2\n\n3\n2\n\n99\n1\n\n' | "${wine[@]}" cmd /c "Play Plotwright.cmd" > console.txt 2>&1 || true
cat console.txt
grep -q $'^  Seed 42, from seed.txt\r$' console.txt || fail "the game did not say it plays seed.txt's seed"
grep -q '"seed": -42,' Plotwright-record.json || fail "the game did not start from seed.txt's seed"
# The console shows Windows line ends, Results.csv keeps "\n" alone.
grep -q $'The genotypic values of the line you released are as follows:\r$' console.txt
grep -q "^Line_ID " Results.csv && ! grep -q $'\r' Results.csv

# A seed.txt that holds no whole number stops the game before it starts.
printf 'seed 42\r\n' > seed.txt
"${wine[@]}" cmd /c "Play Plotwright.cmd" < /dev/null > bad-seed.txt 2>&1 || true
grep -q "seed.txt must hold one whole number" bad-seed.txt || fail "a wrong seed.txt went unnoticed: $(cat bad-seed.txt)"
rm seed.txt

# Double-clicked inside the zip, the file runs alone from a folder of its own.
mkdir "$place/inside the zip" && cp "Play Plotwright.cmd" "$place/inside the zip/"
(cd "$place/inside the zip" && "${wine[@]}" cmd /c "Play Plotwright.cmd" < /dev/null > alone.txt 2>&1 || true)
grep -q "Unzip plotwright-windows.zip first" "$place/inside the zip/alone.txt" ||
  fail "Play Plotwright.cmd alone did not say to unzip first: $(cat "$place/inside the zip/alone.txt")"

# The teacher collects the records, a folder per student, and drops the
# class's folder (as Windows names it) onto Class summary.cmd. Both students
# handed in the game played here, so it is counted once.
class="Sammlung – 7b"
for student in Jürgen "Zoë 班"; do
  mkdir -p "$class/$student" && cp Plotwright-record.json "$class/$student/"
done
dropped="Z:$(pwd | tr / '\\')\\$class"
"${wine[@]}" cmd /c call "Class summary.cmd" "$dropped" < /dev/null > summary.txt 2>&1 || true
cat summary.txt
grep -q "^ Class summary of 2 records (1 not counted) written to Class-summary.html and Class-summary.csv" \
  summary.txt || fail "Class summary.cmd did not sum up $class"
# cmd writes its own lines to a pipe in the console's code page, which has
# no room for every letter; a console window shows them all.
LC_ALL=C grep -q '^  The class summary is "Z:\\.*\\Sammlung .* 7b\\Class-summary\.html":' summary.txt ||
  fail "Class summary.cmd did not say where the summary is"
grep -q "Zoë 班" "$class/Class-summary.html" || fail "the class summary lacks a student"
# Double-clicked, it sums up the folders beside it: the class's two and the
# game played here, one game handed in three times.
"${wine[@]}" cmd /c "Class summary.cmd" < /dev/null > beside.txt 2>&1 || true
grep -q "^ Class summary of 3 records (2 not counted)" beside.txt ||
  fail "Class summary.cmd double-clicked did not sum up its folder: $(cat beside.txt)"
[ -f Class-summary.html ] || fail "no Class-summary.html beside Class summary.cmd"
echo "the zip plays, sums up a class and says when it was not unzipped"
