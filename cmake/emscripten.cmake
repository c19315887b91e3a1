# The game compiled to WebAssembly with Emscripten (Debian: emscripten): as a
# console program that node runs on the real file system (plotwright.js), and
# as the module of the web page (plotwright-web.js, cmake/WebPage.cmake).
# Every setting these builds need that the other builds do not is here, one
# per reason; CMakeLists.txt includes this file when EMSCRIPTEN is set (the
# web preset). docs/web-build.md says how to build and run them.
#
# Not set here, because they are no compiler flags:
# - NODE_PATH=/usr/share/nodejs, the web preset's environment: Debian's
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

# The game's memory grows as its tables do, up to WebAssembly's 2 GiB, instead
# of the fixed 16 MiB a module has by default, which a class's Crosses.csv
# (60 crosses of 2000 plants) overruns. Memory that runs out then throws
# std::bad_alloc, so the game reports its allocation error as elsewhere.
add_link_options(-sALLOW_MEMORY_GROWTH=1)

# The console program for node.
function(plotwright_node_program target)
  target_link_options(${target} PRIVATE
    # The game reads Crosses.csv and the reference files and writes
    # Results.csv in the current folder, and reads its console from standard
    # input: node's own file system and standard streams.
    -sNODERAWFS=1
    # main's return leaves through exit(): the C++ streams are flushed and
    # the process ends with the game's exit status, as on any other system.
    -sEXIT_RUNTIME=1)
endfunction()

# The module of the web page. It runs in a Web Worker (web/plotwright-worker.js),
# and cmake/WebPage.cmake joins it, its WebAssembly and the worker's code into
# the one script the page starts the worker from.
function(plotwright_page_module target)
  target_link_options(${target} PRIVATE
    # Each console read awaits the page (an EM_ASYNC_JS function): Asyncify
    # unwinds the C++ stack while the player thinks and rewinds it after.
    -sASYNCIFY=1
    # Asyncify keeps the unwound stack here; the game's deepest read (a task
    # inside the menu inside the game) needs far less.
    -sASYNCIFY_STACK_SIZE=65536
    # One module instance per run of the game: the worker calls
    # createPlotwright({...}) for the founders table, for each check of the
    # crosses and for each game, and each starts with a fresh folder.
    -sMODULARIZE=1 -sEXPORT_NAME=createPlotwright
    # The worker writes Crosses.csv into the module's folder before the game
    # starts and reads and writes Results.csv at each wait.
    -sEXPORTED_RUNTIME_METHODS=FS -sFORCE_FILESYSTEM=1
    # A run that never waits (the founders table, a check) ends through
    # exit() and the worker's onExit.
    -sEXIT_RUNTIME=1
    # The module is only ever loaded inside the worker, which compiles the
    # WebAssembly itself (instantiateWasm), once for every run.
    -sENVIRONMENT=worker)
endfunction()
