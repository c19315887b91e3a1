# plotwright_windows_program(TARGET): what makes the executable TARGET the
# Windows game. With MinGW-w64 it starts at wmain (the command line in
# UTF-16, every letter intact) and carries the resources of
# packaging/windows/plotwright.rc: the icon, an ear of wheat that
# packaging/windows/make_icon.py draws; the manifest (asInvoker, UTF-8 as its
# code page, long paths, Windows 10 and 11); and the version information of
# its properties.
if(MINGW)
  enable_language(RC)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(WINDOWS_RESOURCES ${CMAKE_BINARY_DIR}/windows-resources)
  set(PLOTWRIGHT_ICON ${WINDOWS_RESOURCES}/plotwright.ico)
  set(PLOTWRIGHT_MANIFEST ${WINDOWS_RESOURCES}/plotwright.manifest)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/plotwright.manifest.in ${PLOTWRIGHT_MANIFEST} @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/plotwright.rc.in ${WINDOWS_RESOURCES}/plotwright.rc @ONLY)
  add_custom_command(
    OUTPUT ${PLOTWRIGHT_ICON}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/packaging/windows/make_icon.py ${PLOTWRIGHT_ICON}
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/windows/make_icon.py
    COMMENT "Drawing the icon of plotwright.exe"
    VERBATIM)
  add_custom_target(plotwright_icon DEPENDS ${PLOTWRIGHT_ICON})
  set_source_files_properties(${WINDOWS_RESOURCES}/plotwright.rc PROPERTIES OBJECT_DEPENDS
                                                                            "${PLOTWRIGHT_ICON};${PLOTWRIGHT_MANIFEST}")
endif()

function(plotwright_windows_program target)
  if(MINGW)
    target_sources(${target} PRIVATE ${WINDOWS_RESOURCES}/plotwright.rc)
    add_dependencies(${target} plotwright_icon)
    target_link_options(${target} PRIVATE -municode)
  endif()
endfunction()
