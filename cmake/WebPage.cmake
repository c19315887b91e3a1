# The web page (web/): the game's engine for the browser and the page's own
# files, with the terminal's scripts and stylesheet taken from the npm
# packages that web/package-lock.json pins, gathered into one folder that
# plays offline, served or opened as a file: build/web/site.
add_executable(plotwright_web ${CMAKE_SOURCE_DIR}/src/app/browser_main.cpp)
target_link_libraries(plotwright_web PRIVATE plotwright_core)
set_target_properties(plotwright_web PROPERTIES OUTPUT_NAME plotwright-web)
plotwright_page_module(plotwright_web plotwright_core)

# The engine: the module's loader, its WebAssembly and the worker's code in
# one function, plotwright-engine.js, which the page starts as a Web Worker.
find_program(NODE_PROGRAM NAMES node nodejs REQUIRED)
set(ENGINE ${CMAKE_BINARY_DIR}/plotwright-engine.js)
add_custom_command(
  OUTPUT ${ENGINE}
  COMMAND ${NODE_PROGRAM} ${CMAKE_SOURCE_DIR}/cmake/PageEngine.cjs $<TARGET_FILE:plotwright_web>
          ${CMAKE_BINARY_DIR}/plotwright-web.wasm ${CMAKE_SOURCE_DIR}/web/plotwright-worker.js ${ENGINE}
  DEPENDS plotwright_web ${CMAKE_SOURCE_DIR}/cmake/PageEngine.cjs ${CMAKE_SOURCE_DIR}/web/plotwright-worker.js
  COMMENT "Joining the page's engine: the module, its WebAssembly and the worker"
  VERBATIM)

set(PLOTWRIGHT_SITE ${CMAKE_BINARY_DIR}/site)
set(WEB_SOURCE ${CMAKE_SOURCE_DIR}/web)
set(PAGE_FILES ${WEB_SOURCE}/index.html ${WEB_SOURCE}/plotwright-page.js ${WEB_SOURCE}/plotwright-page.css)

# npm ci installs exactly what package-lock.json names, in the build folder.
set(NPM_FOLDER ${CMAKE_BINARY_DIR}/npm)
set(NODE_MODULES ${NPM_FOLDER}/node_modules)
set(VENDORED
  ${NODE_MODULES}/@xterm/xterm/lib/xterm.js
  ${NODE_MODULES}/@xterm/xterm/css/xterm.css
  ${NODE_MODULES}/@xterm/addon-fit/lib/addon-fit.js)
find_program(NPM_PROGRAM npm REQUIRED)
add_custom_command(
  OUTPUT ${VENDORED}
  COMMAND ${CMAKE_COMMAND} -E copy ${WEB_SOURCE}/package.json ${WEB_SOURCE}/package-lock.json ${NPM_FOLDER}
  COMMAND ${NPM_PROGRAM} ci --no-audit --no-fund --loglevel=error
  COMMAND ${CMAKE_COMMAND} -E touch ${VENDORED}
  WORKING_DIRECTORY ${NPM_FOLDER}
  DEPENDS ${WEB_SOURCE}/package.json ${WEB_SOURCE}/package-lock.json
  COMMENT "Installing the web page's packages from npm"
  VERBATIM)
file(MAKE_DIRECTORY ${NPM_FOLDER})

# The sample crosses the page starts with, as ./play does.
file(READ ${CMAKE_SOURCE_DIR}/data/SampleCrosses.csv SAMPLE_CROSSES)
string(REPLACE "\n" "\\n" SAMPLE_CROSSES "${SAMPLE_CROSSES}")
file(WRITE ${CMAKE_BINARY_DIR}/sample-crosses.js
  "// The sample crosses the crosses editor starts with.\nwindow.PLOTWRIGHT_SAMPLE_CROSSES = \"${SAMPLE_CROSSES}\";\n")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/SampleCrosses.csv)

add_custom_target(web_site ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PLOTWRIGHT_SITE}/vendor
  # The module as the page loaded it before it ran in a worker.
  COMMAND ${CMAKE_COMMAND} -E rm -f ${PLOTWRIGHT_SITE}/plotwright-web.js
  COMMAND ${CMAKE_COMMAND} -E copy ${PAGE_FILES} ${CMAKE_BINARY_DIR}/sample-crosses.js
          ${ENGINE} ${PLOTWRIGHT_SITE}
  COMMAND ${CMAKE_COMMAND} -E copy ${VENDORED} ${PLOTWRIGHT_SITE}/vendor
  COMMAND ${CMAKE_COMMAND} -E copy ${NODE_MODULES}/@xterm/xterm/LICENSE ${PLOTWRIGHT_SITE}/vendor/LICENSE-xterm
  COMMAND ${CMAKE_COMMAND} -E copy ${NODE_MODULES}/@xterm/addon-fit/LICENSE ${PLOTWRIGHT_SITE}/vendor/LICENSE-addon-fit
  DEPENDS ${ENGINE} ${PAGE_FILES} ${VENDORED}
  COMMENT "Gathering the web page in ${PLOTWRIGHT_SITE}"
  VERBATIM)
