# Usage: cmake "-DCOMMAND=WORD|WORD|..." -DOUTPUT=FILE -P ProgramOutput.cmake
# Runs the command whose words are separated by '|' (empty words left out)
# and writes what it prints on its standard output to FILE, as it printed
# it. A command that fails writes nothing and stops the build.
string(REPLACE "|" ";" command "${COMMAND}")
list(REMOVE_ITEM command "")
execute_process(COMMAND ${command} RESULT_VARIABLE status OUTPUT_FILE "${OUTPUT}" ERROR_VARIABLE said)
if(NOT status EQUAL 0)
  file(REMOVE "${OUTPUT}")
  message(FATAL_ERROR "${command} ended with status ${status}:\n${said}")
endif()
