# plotwright-windows.zip, what a teacher hands out on Windows: the game, the
# sample Crosses.csv, "Play Plotwright.cmd" to double-click, and a README.
# The text files get Windows line ends, so that any Notepad shows them right.
set(WINDOWS_ZIP_FOLDER ${CMAKE_BINARY_DIR}/plotwright-windows)
set(WINDOWS_ZIP ${CMAKE_BINARY_DIR}/plotwright-windows.zip)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/play.cmd "${WINDOWS_ZIP_FOLDER}/Play Plotwright.cmd" @ONLY
               NEWLINE_STYLE CRLF)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/README.txt ${WINDOWS_ZIP_FOLDER}/README.txt @ONLY
               NEWLINE_STYLE CRLF)
configure_file(${CMAKE_SOURCE_DIR}/data/SampleCrosses.csv ${WINDOWS_ZIP_FOLDER}/Crosses.csv @ONLY NEWLINE_STYLE CRLF)
add_custom_command(
  OUTPUT ${WINDOWS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:plotwright> ${WINDOWS_ZIP_FOLDER}/plotwright.exe
  # A fixed date in the zip: the same sources make the same zip.
  COMMAND ${CMAKE_COMMAND} -E tar cf ${WINDOWS_ZIP} --format=zip "--mtime=2026-01-01 00:00:00 UTC"
          plotwright.exe Crosses.csv "Play Plotwright.cmd" README.txt
  WORKING_DIRECTORY ${WINDOWS_ZIP_FOLDER}
  DEPENDS plotwright "${WINDOWS_ZIP_FOLDER}/Play Plotwright.cmd" ${WINDOWS_ZIP_FOLDER}/README.txt
          ${WINDOWS_ZIP_FOLDER}/Crosses.csv
  COMMENT "Packing plotwright-windows.zip"
  VERBATIM)
add_custom_target(windows_zip ALL DEPENDS ${WINDOWS_ZIP})
