#!/usr/bin/env bash
# Usage: tools/lint.sh [build folder]
# Runs clang-tidy with the checks of .clang-tidy over the C++ sources of src/
# and tools/, and the headers of src/ and tools/ they include. How each file
# is compiled comes from the build folder's compile_commands.json (default:
# build/default, which `cmake --preset default` writes). Prints every finding
# and exits 1 if there is one.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build="${1:-build/default}"
if [ ! -f "$build/compile_commands.json" ]; then
  echo "lint.sh: no $build/compile_commands.json; configure first: cmake --preset default" >&2
  exit 2
fi
if ! command -v run-clang-tidy >/dev/null; then
  echo "lint.sh: run-clang-tidy not found (Debian: apt-get install clang-tidy)" >&2
  exit 2
fi

# The compilation database names files by absolute path; the sources the
# build generates and the tests are left out.
# shellcheck disable=SC2001  # escaping for a regex, which ${//} does not do alike on every bash
root="$(sed 's/[][\.*^$+?(){}|]/\\&/g' <<<"$(pwd)")"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
if run-clang-tidy -quiet -j2 -p "$build" -header-filter="^$root/(src|tools)/" "^$root/(src|tools)/.*\.cpp\$" \
     >"$log" 2>&1; then
  echo "lint: clang-tidy finds nothing in src/ and tools/"
  exit 0
fi
# The findings, without the commands run-clang-tidy echoes, the count of
# warnings each file's system headers raised (none of them shown), or colour.
sed 's/\x1b\[[0-9;]*m//g' "$log" | grep -v -E '^(clang-tidy(-[0-9]+)? |[0-9]+ warnings? generated\.$)' >&2 || true
exit 1
