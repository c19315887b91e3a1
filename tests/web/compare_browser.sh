#!/usr/bin/env bash
# Usage: compare_browser.sh REFERENCE SITE [SHOTS]
#
# Plays the same games with the Linux build (REFERENCE, through its console)
# and on the web page in SITE (build/web/site, in headless Chromium through
# the page's controls), and checks that the page's console and every
# Results.csv are the same bytes, and that the record the page gives for
# download replays identically with the Linux build, and that the debrief
# the page shows is the Linux game's, the line naming the system aside, and
# that the page's "Replay a record" replays the Linux game's record. The
# command in ALSO_REPLAY, if set (the Windows game under Wine), must replay
# the page's records identically too. Last, a class of these records, from
# Linux and from the page, is summed up on the page, which must give the
# class summary and the debriefs that the Linux game's --class and --debrief
# write. SHOTS (default: build/web/screenshots) receives a screenshot of
# each screen of each game, and of the class summary.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$here/../.."
[ $# -ge 2 ] || { sed -n '2,2p' "$0" >&2; exit 2; }
reference="$1"
reference_program="$(cd "$(dirname "$reference")" && pwd)/$(basename "$reference")"
site="$(cd "$2" && pwd)"
shots="${3:-$root/build/web/screenshots}"
export NODE_PATH="${NODE_PATH:-$site/../npm/node_modules}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Whether PROGRAM replays the page's record identically (its words in
# $work/replay).
replays_identically() {  # replays_identically PROGRAM...
  (cd "$work/page" && "$@" --replay record.json > "$work/replay" 2>&1) &&
    [ "$(tail -n 1 "$work/replay" | tr -d '\r')" = " replay identical" ]
}

failed=0
compare() {  # compare NAME SCRIPT CROSSES SEED WIDTH
  local name="$1" script="$2" crosses="$3" seed="$4" width="$5"
  mkdir -p "$work/game"
  cp "$crosses" "$work/game/Crosses.csv"
  python3 "$root/tools/scripted_game.py" "$script" "$work/game" "$work/reference" -- "$reference" --seed "$seed" > /dev/null
  if ! node "$here/play_in_browser.cjs" "$site" "$crosses" "$seed" "$script" "$work/page" "$shots/$name" "$width" \
       > "$work/played" 2>&1; then
    echo "DIFFERENT: $name: the page's game failed:"; tail -n 5 "$work/played"; failed=1
    rm -rf "$work/game" "$work/reference" "$work/page"
    return
  fi
  if ! diff "$work/reference/console.txt" "$work/page/console.txt" > "$work/diff"; then
    echo "DIFFERENT: $name: the console differs:"; head -n 20 "$work/diff"; failed=1
  elif ! diff -r --exclude=record.json --exclude=debrief.html "$work/reference" "$work/page" > "$work/diff"; then
    echo "DIFFERENT: $name: the Results.csv files differ:"; head -n 20 "$work/diff"; failed=1
  elif ! replays_identically "$reference_program"; then
    echo "DIFFERENT: $name: the page's record does not replay:"; tail -n 3 "$work/replay"; failed=1
  elif [ -n "${ALSO_REPLAY:-}" ] && ! replays_identically $ALSO_REPLAY; then
    echo "DIFFERENT: $name: the page's record does not replay with $ALSO_REPLAY:"; tail -n 3 "$work/replay"; failed=1
  elif ! node "$here/replay_in_browser.cjs" "$site" "$work/game/Plotwright-record.json" "$shots/$name/9-replay.png" \
         > "$work/replay"; then
    echo "DIFFERENT: $name: the Linux game's record does not replay on the page:"; cat "$work/replay"; failed=1
  elif [ "$(ls "$work/game" | grep -c debrief)" != "$(ls "$work/page" | grep -c debrief)" ]; then
    echo "DIFFERENT: $name: the page shows a debrief where the Linux game writes none, or none where it does"; failed=1
  elif [ -f "$work/page/debrief.html" ] &&
       ! diff <(grep -v "played with Plotwright" "$work/game/Plotwright-debrief.html") \
              <(grep -v "played with Plotwright" "$work/page/debrief.html") > "$work/diff"; then
    echo "DIFFERENT: $name: the page's debrief differs from the Linux game's:"; head -n 20 "$work/diff"; failed=1
  else
    echo "identical: $name, seed $seed ($(ls "$work/reference" | grep -c results) Results.csv files)"
  fi
  mkdir -p "$work/records"
  cp "$work/game/Plotwright-record.json" "$work/records/linux-$name.json" 2> /dev/null || true
  cp "$work/page/record.json" "$work/records/page-$name.json" 2> /dev/null || true
  rm -rf "$work/game" "$work/reference" "$work/page"
}

# A teacher's class, in folders named in other letters, holding records of
# the games above from Linux and from the page: the page's class summary
# and debriefs must be the bytes the Linux game's --class and --debrief write.
class_summary() {
  local class="Sammlung – 7b" student problem=""
  local -A records=([Jürgen]=linux-sample-crosses [Zoë 班]=page-uploaded-file [Ana]=page-typed-ahead)
  for student in "${!records[@]}"; do
    if [ ! -f "$work/records/${records[$student]}.json" ]; then
      echo "DIFFERENT: class summary: the game ${records[$student]} left no record"; failed=1; return
    fi
    mkdir -p "$work/linux/$class/$student"
    cp "$work/records/${records[$student]}.json" "$work/linux/$class/$student/Plotwright-record.json"
  done
  cp -r "$work/linux" "$work/chosen"
  (cd "$work/linux" && "$reference_program" --class "$class" > /dev/null &&
     for student in "${!records[@]}"; do "$reference_program" --debrief "$class/$student/Plotwright-record.json"; done) \
    > /dev/null
  if ! node "$here/class_in_browser.cjs" "$site" "$work/chosen/$class" "$work/class" > "$work/played" 2>&1; then
    echo "DIFFERENT: class summary: the page failed:"; tail -n 5 "$work/played"; failed=1; return
  fi
  mkdir -p "$shots/class" && mv "$work/class/class-summary.png" "$shots/class/"
  if ! diff -r -I "played with Plotwright" --exclude=Plotwright-record.json "$work/linux/$class" "$work/class/$class" \
       > "$work/diff" 2>&1; then
    problem=" $(grep -c "^diff\|^Only" "$work/diff") files"
  fi
  if [ -n "$problem" ]; then
    echo "DIFFERENT: class summary: the page's differ from the Linux game's:$problem"; head -n 10 "$work/diff"; failed=1
  else
    echo "identical: the class summary and ${#records[@]} debriefs"
  fi
}

compare sample-crosses "$root/tests/platform/full_game.txt" "$root/data/SampleCrosses.csv" 42 1366
compare uploaded-file "$here/upload_game.txt" "$here/crosses.csv" 2024 1024
compare typed-ahead "$here/ahead_game.txt" "$here/large_crosses.csv" 7 1366
class_summary
exit $failed
