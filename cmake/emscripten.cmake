# The game compiled to WebAssembly with Emscripten (Debian: emscripten), run
# under node as a console program on the real file system. Every setting the
# browser build needs that the other builds do not is here, one per reason;
# CMakeLists.txt includes this file when EMSCRIPTEN is set (the wasm-node
# preset). docs/web-build.md says how to build and run it.
#
# Not set here, because they are no compiler flags:
# - NODE_PATH=/usr/share/nodejs, the wasm-node preset's environment: Debian's
#   emcc links with JavaScript modules (acorn and others) that it finds only
#   there, at configure time (each check links a program) and at build time.
# - node --no-experimental-fetch, in tools/node-plotwright.sh: the generated
#   loader fetches plotwright.wasm with fetch() wherever one exists, and
#   node's fetch cannot read a file path.

# C++ exceptions. Emscripten leaves them out unless asked, at compile and at
# link time alike: a throw then aborts the program. The game ends at end of
# input, and on a console it can no longer write, by throwing FatalIoError to
# the driver, which prints the diagnostic and exits with status 2.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

# The game reads Crosses.csv and the reference files and writes Results.csv
# in the current folder, and reads its console from standard input: node's own
# file system and standard streams, not a virtual one held in memory.
add_link_options(-sNODERAWFS=1)

# main's return leaves through exit(): the C++ streams are flushed and the
# process ends with the game's exit status, as on any other system.
add_link_options(-sEXIT_RUNTIME=1)

# The game's memory grows as its tables do, up to WebAssembly's 2 GiB, instead
# of the fixed 16 MiB a module has by default, which a class's Crosses.csv
# (60 crosses of 2000 plants) overruns. Memory that runs out then throws
# std::bad_alloc, so the game reports its allocation error as elsewhere.
add_link_options(-sALLOW_MEMORY_GROWTH=1)
