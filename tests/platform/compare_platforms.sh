#!/usr/bin/env bash
# Usage: compare_platforms.sh REFERENCE -- PROGRAM [ARGUMENTS...]
#
# Plays the same scripted games with two builds of the game, the reference
# (the Linux build) and another (the Windows build under Wine, a build with
# another standard library), and checks that each shows the player the same
# console, carriage returns aside, and writes the same bytes in every
# Results.csv. The games: every task with the sample crosses at two seeds,
# one of them in a folder named with letters outside ASCII, and a game in
# which Results.csv is held open at a write and at a read-back. Each build
# then replays the record of the other's game, which must come out identical.
#
# To hold Results.csv, the other build's games use the command in HOLDER if
# it is set (a program that keeps the file open, as a spreadsheet on Windows
# does); the reference's games always use a spreadsheet's lock file. The line
# that says why the file cannot be used is the one line that may differ.
#
# Last, the teacher's commands: two of these records are collected in a
# class's folders named in other letters ("Sammlung – 7b/Jürgen"), and the
# other build replays one of them, writes its debrief and sums up the class,
# each given its path from the command line. Each must succeed, and the
# debrief and the class summary must be the same bytes as the reference's.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$here/../.."
[ $# -ge 3 ] && [ "$2" = "--" ] || { sed -n '2,2p' "$0" >&2; exit 2; }
reference="$1"
shift 2
other=("$@")
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The reason a held file gives, whichever way it is held.
same_reason() {
  tr -d '\r' < "$1" | sed -e "s/^    A spreadsheet's lock file says that RESULTS.CSV is open$/    (RESULTS.CSV is held)/" \
                          -e "s/^    Another program holds RESULTS.CSV open$/    (RESULTS.CSV is held)/"
}

play() {  # play NAME SCRIPT FOLDER SEED PROGRAM...
  local name="$1" script="$2" folder="$3" seed="$4"
  shift 4
  mkdir -p "$work/$name/$folder"
  cp "$root/data/SampleCrosses.csv" "$work/$name/$folder/Crosses.csv"
  local holder=()
  [ "$name" = reference ] && holder=(-u HOLDER)
  env "${holder[@]}" python3 "$root/tools/scripted_game.py" "$here/$script" "$work/$name/$folder" "$work/$name/out" -- \
    "$@" --seed "$seed" > /dev/null
}

# Replays the record of the game in FOLDER with PROGRAM; says what went
# wrong, if anything.
cross_replay() {  # cross_replay FOLDER PROGRAM...
  local folder="$1"
  shift
  local program=("$@") said status=0
  # The program as named from here, since it runs in the game's folder.
  [[ "${program[0]}" == */* && "${program[0]}" != /* ]] && program[0]="$PWD/${program[0]}"
  said="$(cd "$folder" && "${program[@]}" --replay Plotwright-record.json 2>&1 < /dev/null)" || status=$?
  if [ "$status" -ne 0 ] || ! printf '%s\n' "$said" | tr -d '\r' | tail -n 1 | grep -qx ' replay identical'; then
    echo "the record of $(basename "$(dirname "$folder")")'s game does not replay with $*:"
    printf '%s\n' "$said" | tail -n 3
    echo
  fi
}

failed=0
compare() {  # compare SCRIPT FOLDER SEED
  local script="$1" folder="$2" seed="$3"
  local label="${script%.txt} in '$folder', seed $seed"
  play reference "$script" "$folder" "$seed" "$reference"
  play other "$script" "$folder" "$seed" "${other[@]}"
  local problem=""
  if ! diff <(same_reason "$work/reference/out/console.txt") <(same_reason "$work/other/out/console.txt") \
       > "$work/console.diff"; then
    problem="the console differs:"$'\n'"$(head -n 20 "$work/console.diff")"
  elif ! diff -r --exclude=console.txt "$work/reference/out" "$work/other/out" > "$work/files.diff"; then
    problem="the Results.csv files differ:"$'\n'"$(head -n 20 "$work/files.diff")"
  fi
  if [ -z "$problem" ]; then
    problem="$(cross_replay "$work/reference/$folder" "${other[@]}")$(cross_replay "$work/other/$folder" "$reference")"
  fi
  if [ -n "$problem" ]; then
    echo "DIFFERENT: $label: $problem"
    failed=1
  else
    echo "identical: $label ($(ls "$work/reference/out" | grep -c results) Results.csv files)"
  fi
  mkdir -p "$work/records"
  cp "$work/reference/$folder/Plotwright-record.json" "$work/records/reference-$seed.json" 2> /dev/null || true
  cp "$work/other/$folder/Plotwright-record.json" "$work/records/other-$seed.json" 2> /dev/null || true
  rm -rf "$work/reference" "$work/other"
}

# Runs PROGRAM in FOLDER with the arguments after it; says what went wrong
# when it fails or, with --replay, does not end with "replay identical".
teacher_command() {  # teacher_command FOLDER PROGRAM... -- ARGUMENTS...
  local folder="$1" program=() said status=0
  shift
  while [ "$1" != "--" ]; do program+=("$1") && shift; done
  shift
  [[ "${program[0]}" == */* && "${program[0]}" != /* ]] && program[0]="$PWD/${program[0]}"
  said="$(cd "$folder" && "${program[@]}" "$@" 2>&1 < /dev/null)" || status=$?
  if [ "$status" -ne 0 ] || { [ "$1" = --replay ] && ! printf '%s\n' "$said" | tr -d '\r' | tail -n 1 |
                                                     grep -qx ' replay identical'; }; then
    echo "$* ended with status $status:"
    printf '%s\n' "$said" | tail -n 3
  fi
}

teachers() {
  local class="Sammlung – 7b" name problem="" said
  local record="$class/Jürgen/Plotwright-record.json"
  if [ ! -f "$work/records/reference-42.json" ] || [ ! -f "$work/records/other-0.json" ]; then
    echo "DIFFERENT: the games left no records for the teacher's commands"
    failed=1
    return
  fi
  for name in reference other; do
    mkdir -p "$work/$name/$class/Jürgen" "$work/$name/$class/Zoë 班"
    cp "$work/records/reference-42.json" "$work/$name/$record"
    cp "$work/records/other-0.json" "$work/$name/$class/Zoë 班/Plotwright-record.json"
  done
  for arguments in "--debrief|$record" "--class|$class"; do
    said="$(teacher_command "$work/reference" "$reference" -- "${arguments%%|*}" "${arguments#*|}")"
    [ -z "$said" ] || problem+=$'\n'"$said"
  done
  if [ -n "$problem" ]; then
    echo "DIFFERENT: the reference's teacher's commands in '$class' fail: $problem"
    failed=1
    return
  fi
  for arguments in "--replay|$record" "--debrief|$record" "--class|$class"; do
    said="$(teacher_command "$work/other" "${other[@]}" -- "${arguments%%|*}" "${arguments#*|}")"
    [ -z "$said" ] || problem+=$'\n'"$said"
  done
  local page
  for page in "$class/Jürgen/Plotwright-debrief.html" "$class/Class-summary.html" "$class/Class-summary.csv"; do
    if [ -z "$problem" ] && ! cmp -s "$work/reference/$page" "$work/other/$page"; then
      problem="$page differs from the reference's:"$'\n'
      problem+="$(diff "$work/reference/$page" "$work/other/$page" | head -n 10 || true)"
    fi
  done
  if [ -n "$problem" ]; then
    echo "DIFFERENT: the teacher's commands in '$class': $problem"
    failed=1
  else
    echo "identical: the replay, the debrief and the class summary in '$class'"
  fi
}

compare full_game.txt game 42
compare full_game.txt "gü班 Zoë" 0
compare held_file.txt game 1118
teachers
exit $failed
