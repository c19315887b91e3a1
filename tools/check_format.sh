#!/usr/bin/env bash
# Usage: tools/check_format.sh
# Checks that every C++ source and header git tracks, in every folder, is laid
# out as .clang-format says (the layout clang-format 14 gives). Prints each file
# that drifts and exits 1 if there is one; `clang-format -i FILE` lays it out.
# Generated tables (*.inc) are left as their generator writes them.
# CLANG_FORMAT names another clang-format to use.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
clang_format="${CLANG_FORMAT:-clang-format}"
if ! command -v "$clang_format" >/dev/null; then
  echo "check_format.sh: $clang_format not found (Debian: apt-get install clang-format)" >&2
  exit 2
fi

files=()
while IFS= read -r -d '' file; do files+=("$file"); done < <(git ls-files -z -- '*.cpp' '*.h')

# One run over all the files: clang-format names each place that drifts, and
# only the first one of each file is asked for.
status=0
report="$("$clang_format" --dry-run -Werror --ferror-limit=1 "${files[@]}" 2>&1)" || status=$?
drifting="$(sed -n -E 's/^(.*):[0-9]+:[0-9]+: error: code should be clang-formatted.*/\1/p' <<<"$report" | sort -u)"
if [ -n "$drifting" ]; then
  echo "$drifting"
  echo "$(wc -l <<<"$drifting") of ${#files[@]} C++ files are not laid out as .clang-format says" \
       "(clang-format -i FILE lays one out)" >&2
  exit 1
fi
if [ "$status" != 0 ]; then  # clang-format failed for another reason
  echo "$report" >&2
  exit 2
fi
echo "format: all ${#files[@]} C++ files laid out as .clang-format says"
