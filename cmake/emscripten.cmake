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
function(plotwright_page_module target core)
  # The game's code that never waits for the player, so is never on the
  # stack while a read awaits the page, is left out of Asyncify's
  # instrumentation (cmake/AsyncifyRemoveList.cjs lists its functions):
  # the genetics, which computes and never prints; the record and the
  # reports, which replay games on answers of their own; the trial model,
  # the predictions and the screening; the conversions, digests and edit
  # descriptors; the population, the reference data, the standards, the
  # founders table and the reading of Crosses.csv; and the standard
  # library's strings, vectors, output streams, locales and file system. The
  # page's WebAssembly is a quarter smaller for it (855 KB, not 1.18 MB).
  set(quiet "/src/(genetics|record|reports)/|/src/trials/phenotyping|/src/selection/(genomewide_prediction|marker_screening)|/src/textio/(decimal_conversion|digest|edit)\\.|/src/game/(population|reference_data|standards|founders|crosses)\\.")
  set(list ${CMAKE_BINARY_DIR}/asyncify-remove.txt)
  find_program(NODE_PROGRAM NAMES node nodejs REQUIRED)
  add_custom_command(
    OUTPUT ${list}
    COMMAND ${NODE_PROGRAM} ${CMAKE_SOURCE_DIR}/cmake/AsyncifyRemoveList.cjs ${CMAKE_NM} ${list} "${quiet}"
            $<TARGET_OBJECTS:${core}>
    DEPENDS ${core} ${CMAKE_SOURCE_DIR}/cmake/AsyncifyRemoveList.cjs
    COMMENT "Listing the game's code that never waits for the player"
    COMMAND_EXPAND_LISTS VERBATIM)
  add_custom_target(${target}_asyncify_remove DEPENDS ${list})
  add_dependencies(${target} ${target}_asyncify_remove)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${list})
  target_link_options(${target} PRIVATE
    "-sASYNCIFY_REMOVE=@${list}"
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
