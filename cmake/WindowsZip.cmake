# plotwright-windows.zip, what a teacher hands out on Windows: the game, the
# sample Crosses.csv, "Play Plotwright.cmd" to double-click, the player's
# guide as one web page, the founders table, "Class summary.cmd" for the
# teacher and a README. The text files get Windows line ends, so that any
# Notepad shows them right. The same sources make the same zip, byte for
# byte (packaging/windows/make_zip.py).
find_package(Python3 COMPONENTS Interpreter)
if(NOT Python3_Interpreter_FOUND)
  message(STATUS "Python 3 not found: plotwright-windows.zip is not made")
  return()
endif()
set(WINDOWS_PACKAGING ${CMAKE_SOURCE_DIR}/packaging/windows)

# The texts, made when CMake configures.
set(WINDOWS_TEXTS ${CMAKE_BINARY_DIR}/windows-texts)
configure_file(${WINDOWS_PACKAGING}/play.cmd ${WINDOWS_TEXTS}/play.cmd @ONLY NEWLINE_STYLE CRLF)
configure_file(${WINDOWS_PACKAGING}/class_summary.cmd ${WINDOWS_TEXTS}/class_summary.cmd @ONLY NEWLINE_STYLE CRLF)
configure_file(${WINDOWS_PACKAGING}/README.txt ${WINDOWS_TEXTS}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${CMAKE_SOURCE_DIR}/data/SampleCrosses.csv ${WINDOWS_TEXTS}/Crosses.csv @ONLY NEWLINE_STYLE CRLF)
# The founders table: what `plotwright.exe --founders` prints for the
# built-in data, as it prints it on Windows (with its line ends), run where it
# is built (under Wine when cross-compiling) in a folder without reference
# files of its own.
set(FOUNDERS_TABLE ${WINDOWS_TEXTS}/Founders.txt)
string(REPLACE ";" "|" founders_command "${CMAKE_CROSSCOMPILING_EMULATOR};$<TARGET_FILE:plotwright>;--founders")
add_custom_command(
  OUTPUT ${FOUNDERS_TABLE}
  COMMAND ${CMAKE_COMMAND} "-DCOMMAND=${founders_command}" -DOUTPUT=${FOUNDERS_TABLE}
          -P ${CMAKE_SOURCE_DIR}/cmake/ProgramOutput.cmake
  DEPENDS plotwright ${CMAKE_SOURCE_DIR}/cmake/ProgramOutput.cmake
  WORKING_DIRECTORY ${WINDOWS_TEXTS}
  COMMENT "Writing the founders table plotwright.exe prints"
  VERBATIM)

# plotwright_windows_zip(TARGET PROGRAM ZIP PAGES [ALL]): the custom target
# TARGET packs ZIP around the executable target PROGRAM, making the guide's
# page in the folder PAGES.
function(plotwright_windows_zip target program zip pages)
  set(guide "${pages}/How to play.html")
  add_custom_command(
    OUTPUT ${guide}
    COMMAND ${Python3_EXECUTABLE} ${WINDOWS_PACKAGING}/guide_page.py ${CMAKE_SOURCE_DIR}/docs/playing.md ${guide}
            --link founders.md=Founders.txt --link teaching.md=README.txt
    DEPENDS ${WINDOWS_PACKAGING}/guide_page.py ${CMAKE_SOURCE_DIR}/docs/playing.md
    COMMENT "Making the player's guide page"
    VERBATIM)
  add_custom_command(
    OUTPUT ${zip}
    COMMAND ${Python3_EXECUTABLE} ${WINDOWS_PACKAGING}/make_zip.py ${zip} plotwright.exe=$<TARGET_FILE:${program}>
            "Play Plotwright.cmd=${WINDOWS_TEXTS}/play.cmd" Crosses.csv=${WINDOWS_TEXTS}/Crosses.csv
            "How to play.html=${guide}" Founders.txt=${FOUNDERS_TABLE}
            "Class summary.cmd=${WINDOWS_TEXTS}/class_summary.cmd" README.txt=${WINDOWS_TEXTS}/README.txt
    DEPENDS ${program} ${WINDOWS_PACKAGING}/make_zip.py ${guide} ${WINDOWS_TEXTS}/play.cmd ${WINDOWS_TEXTS}/Crosses.csv
            ${FOUNDERS_TABLE} ${WINDOWS_TEXTS}/class_summary.cmd ${WINDOWS_TEXTS}/README.txt
    COMMENT "Packing ${zip}"
    VERBATIM)
  add_custom_target(${target} ${ARGN} DEPENDS ${zip})
endfunction()

set(WINDOWS_ZIP ${CMAKE_BINARY_DIR}/plotwright-windows.zip)
plotwright_windows_zip(windows_zip plotwright ${WINDOWS_ZIP} ${WINDOWS_TEXTS} ALL)

# The program and the zip once more, in build/windows/rebuilt, built only by
# the test WindowsZipRebuildsToTheSameBytes, which compares them with the
# first.
if(MINGW AND PLOTWRIGHT_TESTS)
  add_executable(plotwright_rebuilt EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/src/app/main.cpp)
  target_link_libraries(plotwright_rebuilt PRIVATE plotwright_core)
  plotwright_windows_program(plotwright_rebuilt)
  set_target_properties(plotwright_rebuilt PROPERTIES OUTPUT_NAME plotwright RUNTIME_OUTPUT_DIRECTORY
                                                                             ${CMAKE_BINARY_DIR}/rebuilt)
  plotwright_windows_zip(windows_zip_rebuilt plotwright_rebuilt ${CMAKE_BINARY_DIR}/rebuilt/plotwright-windows.zip
                         ${CMAKE_BINARY_DIR}/rebuilt)
  # The texts both zips share are made once, for the first.
  add_dependencies(windows_zip_rebuilt windows_zip)
endif()
