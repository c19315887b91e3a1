#!/usr/bin/env bash
# Usage: bench/startup_memory.sh [path/to/plotwright] [plants per cross]
# Plays the start-up of the largest game the rules allow: all 120 crosses
# (105 pairs of different founders and the 15 founders with themselves) of
# 2000 plants, 240000 entries. The player then asks for single-seed descent,
# which the budget refuses, so the game ends right after start-up. Reports
# the whole process's peak memory and time as /usr/bin/time -v measures them,
# and fails when the peak is above 256 MB.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
binary="$(realpath "${1:-$here/../build/default/plotwright}")"
plants="${2:-2000}"
limit_kb=$((256 * 1024))

folder="$(mktemp -d)"
trap 'rm -rf "$folder"' EXIT
for first in $(seq 1 15); do
  for second in $(seq "$first" 15); do echo "$first,$second,$plants"; done
done > "$folder/Crosses.csv"

# Enter once Crosses.csv is ready, task 3, and Enter to leave.
(cd "$folder" && printf '\n3\n\n' | /usr/bin/time -v "$binary" --seed 1 > console.txt 2> time.txt)
if ! grep -q "Program terminated" "$folder/console.txt"; then
  echo "the game did not end as expected after start-up:" >&2
  tail -20 "$folder/console.txt" >&2
  exit 1
fi
peak_kb="$(awk -F: '/Maximum resident set size/ { print $2 + 0 }' "$folder/time.txt")"
elapsed="$(awk '/Elapsed \(wall clock\)/ { print $NF }' "$folder/time.txt")"
entries=$((120 * plants))
echo "start-up of $entries entries: peak $((peak_kb / 1024)) MB ($peak_kb kB), wall clock $elapsed"
if [ "$peak_kb" -gt "$limit_kb" ]; then
  echo "peak memory above 256 MB" >&2
  exit 1
fi
