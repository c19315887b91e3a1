#!/usr/bin/env bash
# Usage: killed_games.sh PROGRAM [ARGUMENTS...]
#
# A game whose window is closed part-way and which is continued with
# --resume must end exactly as the same game played through. Plays the
# whole scripted game of full_game.txt through once, then again killed at
# moments of every kind (at a wait, while the game computes, with a
# selection saved but not yet read back, at the release, at the very end)
# and resumed each time, and compares the record, Results.csv and the
# debrief each game leaves. Exits 1 when one differs.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$here/../.."
[ $# -ge 1 ] || { sed -n '2,2p' "$0" >&2; exit 2; }
program=("$@")
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The whole game with a kill added to the script line that begins with
# the given number: "N kill" at that wait, "N kill:MS" MS milliseconds
# after its answer.
killed_script() {  # killed_script KILLS...
  python3 - "$here/full_game.txt" "$@" <<'PYTHON'
import sys
lines = [l.split("#", 1)[0].rstrip() for l in open(sys.argv[1])]
lines = [l for l in lines if l.strip()]
for kill in sys.argv[2:]:
    number, action = kill.split(" ", 1)
    actions, bar, answer = lines[int(number)].partition("|")
    lines[int(number)] = (actions + " " + action).strip() + " |" + answer
print("\n".join(lines))
PYTHON
}

play() {  # play NAME SCRIPT
  mkdir -p "$work/$1/game"
  cp "$root/data/SampleCrosses.csv" "$work/$1/game/Crosses.csv"
  python3 "$root/tools/scripted_game.py" "$2" "$work/$1/game" "$work/$1/out" -- "${program[@]}" --seed 42 > /dev/null
}

play whole "$here/full_game.txt"
failed=0
# Each game is killed two or three times: kinds of moment mixed, lines of
# the script counted from 0.
for kills in "0 kill|3 kill:150|7 kill" "2 kill|4 kill:100|16 kill" "1 kill:300|9 kill|20 kill" "12 kill|17 kill:50|19 kill"; do
  IFS='|' read -r -a each <<< "$kills"
  killed_script "${each[@]}" > "$work/script.txt"
  rm -rf "$work/killed"
  if ! play killed "$work/script.txt"; then
    echo "DIFFERENT: killed at ($kills): the game did not play to its end"
    failed=1
    continue
  fi
  same=1
  for file in Plotwright-record.json Results.csv Plotwright-debrief.html; do
    if ! cmp -s "$work/whole/game/$file" "$work/killed/game/$file"; then
      echo "DIFFERENT: killed at ($kills): $file differs from the game played through"
      same=0 failed=1
    fi
  done
  [ "$same" = 0 ] || echo "identical: the game killed at ($kills) and resumed"
done
exit $failed
