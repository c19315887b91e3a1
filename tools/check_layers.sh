#!/usr/bin/env bash
# Usage: tools/check_layers.sh [src folder]
# The folders of src/ are layers, from the bottom: textio, genetics,
# selection, trials, game, record, reports, app. A file may include headers of its own folder, of
# the folders below it, and the headers at the top of src/ (below them all);
# an include of a folder above its own is a cycle waiting to happen, and is
# reported here with its file and line. Exits 1 when there is one.
set -euo pipefail
src="${1:-$(dirname "${BASH_SOURCE[0]}")/../src}"
layers=(textio genetics selection trials game record reports app)

rank() {
  local i
  for i in "${!layers[@]}"; do
    if [ "${layers[$i]}" = "$1" ]; then echo "$i"; return; fi
  done
  echo -1
}

status=0
for folder in "${layers[@]}"; do
  [ -d "$src/$folder" ] || continue
  own=$(rank "$folder")
  while IFS=: read -r file line text; do
    included=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"/]+)\/.*/\1/' <<<"$text")
    [ "$included" != "$text" ] || continue  # a header at the top of src/
    other=$(rank "$included")
    if [ "$other" -lt 0 ] || [ "$other" -gt "$own" ]; then
      echo "$file:$line: $folder/ includes $included/, a layer above it:$text" >&2
      status=1
    fi
  done < <(grep -n -H -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$src/$folder"/* || true)
done
[ "$status" = 0 ] && echo "include layers: ${layers[*]} (each includes only itself and those before it)"
exit "$status"
