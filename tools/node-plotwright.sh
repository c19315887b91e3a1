#!/usr/bin/env bash
# Usage: node-plotwright.sh [ARGUMENTS...]
#
# Plays the WebAssembly build of the game (cmake --workflow --preset
# web) under node, in the current folder, with the arguments given, as
# build/default/plotwright would. PLOTWRIGHT_JS names another plotwright.js;
# its plotwright.wasm must lie beside it.
#
# --no-experimental-fetch: the loader Emscripten generates fetches the .wasm
# with fetch() wherever one exists, and node's fetch cannot read a file.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
exec node --no-experimental-fetch "${PLOTWRIGHT_JS:-$here/../build/web/plotwright.js}" "$@"
