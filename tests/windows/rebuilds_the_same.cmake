# Usage: cmake -DBUILD=FOLDER -DOBJECTS=FOLDER -DREBUILT=FOLDER -DPROGRAM=EXE -DZIP=ZIP
#              -P rebuilds_the_same.cmake
#
# Builds plotwright.exe and plotwright-windows.zip a second time, now, into
# REBUILT (the target windows_zip_rebuilt, its objects in OBJECTS), from
# objects compiled afresh and a guide page made again, in another time zone,
# and requires the same bytes as the build's own PROGRAM and ZIP. A time
# stamp of the link, of the resources or of the zip would differ: compiling
# alone takes longer than the second a stamp counts.
file(GLOB_RECURSE objects "${OBJECTS}/*.obj" "${OBJECTS}/*.res")
file(REMOVE ${objects} "${REBUILT}/plotwright.exe" "${REBUILT}/plotwright-windows.zip"
     "${REBUILT}/How to play.html")
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=NZST-12NZDT ${CMAKE_COMMAND} --build "${BUILD}"
                        --target windows_zip windows_zip_rebuilt
                RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the second build failed:\n${said}")
endif()
set(different "")
foreach(pair "${PROGRAM}|${REBUILT}/plotwright.exe" "${ZIP}|${REBUILT}/plotwright-windows.zip")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 first)
  list(GET pair 1 second)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${first}" "${second}" RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    string(APPEND different "  ${first}\n  ${second}\n")
  endif()
endforeach()
if(different)
  message(FATAL_ERROR "built twice from the same sources, these differ:\n${different}")
endif()
message("plotwright.exe and plotwright-windows.zip, built twice, are the same bytes")
